#include "modules/calculator/catalogtokvxgroup.h"

#include "modules/calculator/calculatorfields.h"
#include "modules/calculator/calculatorreport.h"

#include "astro/catalogtokvx.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace CalculatorFields;

CatalogToKvxGroup::CatalogToKvxGroup(QWidget *parent)
    : CalculatorGroup(QStringLiteral("From catalog to KVX"), QStringLiteral("groupBoxCat2Kvx"),
                      QStringLiteral("widgetCat2Kvx"), false, parent)
{
    auto *grid = new QGridLayout(content());
    grid->setContentsMargins(0, 0, 0, 0);
    auto *points = new QLabel(QStringLiteral("points"));
    points->setObjectName(QStringLiteral("cat2kvx_labelPoints"));
    QPushButton *send = button(QStringLiteral("cat2kvx_send"), QStringLiteral("From catalog to KVX"));
    m_alpha = lineEdit(QStringLiteral("cat2kvx_alfa"), QStringLiteral("03:23:27"));
    m_delta = lineEdit(QStringLiteral("cat2kvx_delta"), QStringLiteral("39:44:52"));
    m_date = lineEdit(QStringLiteral("cat2kvx_date"), QStringLiteral("01.04.2015"));
    m_plosh = siteCombo(QStringLiteral("cat2kvx_plosh"), QStringLiteral("N1"));
    m_fileName = lineEdit(QStringLiteral("cat2kvx_fileName"), QString(), true);
    m_time = lineEdit(QStringLiteral("cat2kvx_time"), QString(), true);
    m_seconds = lineEdit(QStringLiteral("cat2kvx_sec"), QString(), true);
    m_point = lineEdit(QStringLiteral("cat2kvx_culmPoint"), QString(), true);

    grid->addWidget(caption(QStringLiteral("Catalog 2000: alfa, delta")), 0, 0);
    grid->addWidget(m_alpha, 0, 1);
    grid->addWidget(m_delta, 0, 2);
    grid->addWidget(caption(QStringLiteral("KVX date, plosh")), 1, 0);
    grid->addWidget(m_date, 1, 1);
    grid->addWidget(m_plosh, 1, 2);
    grid->addWidget(caption(QStringLiteral("Pnt/pnthr file name")), 2, 0);
    grid->addWidget(m_fileName, 2, 1, 1, 2);
    grid->addWidget(caption(QStringLiteral("KVX time, sec from hour")), 3, 0);
    grid->addWidget(m_time, 3, 1);
    grid->addWidget(m_seconds, 3, 2);
    grid->addWidget(caption(QStringLiteral("Culmination point")), 4, 0);
    grid->addWidget(m_point, 4, 1);
    grid->addWidget(points, 4, 2);
    grid->addWidget(send, 5, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    connect(send, &QPushButton::clicked, this, &CatalogToKvxGroup::onSendClicked);
}

void CatalogToKvxGroup::setTresolution(const QString &text)
{
    m_tresolution = text;
}

void CatalogToKvxGroup::onSendClicked()
{
    resetInputStyling(content());
    const CatalogToKvxInput input{m_alpha->text(), m_delta->text(), m_date->text(), m_plosh->currentText(),
                                  m_tresolution};
    const CatalogToKvxResult result = catalogToKvx(input);
    if (!result.errors.isEmpty()) {
        emit resultTextChanged(CalculatorReport::errors(QStringLiteral("From catalog to KVX"), result.errors));
        return;
    }
    const KvxCrossing &first = result.crossings.first();
    showFound(m_fileName, first.fileName);
    showFound(m_time, first.telescopeTime.toString(QStringLiteral("hh:mm:ss.zzz")));
    showFound(m_seconds, QString::number(first.secondsFromHour, 'f', 3));
    showFound(m_point, QString::number(first.wholePoint));
    emit resultTextChanged(CalculatorReport::catalogToKvx(input, result));
}
