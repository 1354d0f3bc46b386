#include "modules/calculator/kvxtocataloggroup.h"

#include "modules/calculator/calculatorfields.h"
#include "modules/calculator/calculatorreport.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace CalculatorFields;

KvxToCatalogGroup::KvxToCatalogGroup(QWidget *parent)
    : CalculatorGroup(QStringLiteral("From KVX to catalog"), QStringLiteral("groupBoxKvx2Cat"),
                      QStringLiteral("widgetKvx2Cat"), false, parent)
{
    auto *grid = new QGridLayout(content());
    grid->setContentsMargins(0, 0, 0, 0);
    QPushButton *send = button(QStringLiteral("kvx2cat_send"), QStringLiteral("From KVX to catalog"));
    m_date = lineEdit(QStringLiteral("kvx2cat_date"), QStringLiteral("01.04.2015"));
    m_time = lineEdit(QStringLiteral("kvx2cat_time"), QStringLiteral("12:13:20.66"));
    m_point = lineEdit(QStringLiteral("kvx2cat_culmPoint"), QStringLiteral("64090"));
    m_deltaKvx = lineEdit(QStringLiteral("kvx2cat_deltaKvx"), QStringLiteral("39:44:52"));
    m_pulsarName = lineEdit(QStringLiteral("kvx2cat_pulsarName"), QString(), true);
    m_alpha = lineEdit(QStringLiteral("kvx2cat_alfa"), QString(), true);
    m_delta = lineEdit(QStringLiteral("kvx2cat_delta"), QString(), true);
    m_alphaZuld = lineEdit(QStringLiteral("kvx2cat_alfaZuld"), QString(), true);

    grid->addWidget(caption(QStringLiteral("KVX date, time")), 0, 0);
    grid->addWidget(m_date, 0, 1);
    grid->addWidget(m_time, 0, 2);
    grid->addWidget(caption(QStringLiteral("Point number (bounds with time: points = sec / tres)")), 1, 0);
    grid->addWidget(m_point, 1, 1, 1, 2);
    grid->addWidget(caption(QStringLiteral("KVX delta")), 2, 0);
    grid->addWidget(m_deltaKvx, 2, 1, 1, 2);
    grid->addWidget(caption(QStringLiteral("Pulsar name")), 3, 0);
    grid->addWidget(m_pulsarName, 3, 1, 1, 2);
    grid->addWidget(caption(QStringLiteral("Coords 2000: alfa, delta")), 4, 0);
    grid->addWidget(m_alpha, 4, 1);
    grid->addWidget(m_delta, 4, 2);
    grid->addWidget(caption(QStringLiteral("Coords 2000: alfa (Zuld)")), 5, 0);
    grid->addWidget(m_alphaZuld, 5, 1, 1, 2);
    grid->addWidget(send, 6, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    connect(send, &QPushButton::clicked, this, &KvxToCatalogGroup::onSendClicked);
    connect(m_time, &QLineEdit::textEdited, this, &KvxToCatalogGroup::onTimeEdited);
    connect(m_point, &QLineEdit::textEdited, this, &KvxToCatalogGroup::onPointEdited);
}

void KvxToCatalogGroup::setTresolution(const QString &text)
{
    m_tresolution = text;
    updateFollower();
}

void KvxToCatalogGroup::onTimeEdited(const QString &)
{
    m_lead = KvxTimeField::Time;
    updateFollower();
}

void KvxToCatalogGroup::onPointEdited(const QString &)
{
    m_lead = KvxTimeField::Point;
    updateFollower();
}

void KvxToCatalogGroup::updateFollower()
{
    // A follower that cannot be computed keeps its text; the calculation then
    // names what is wrong with the leading field.
    if (m_lead == KvxTimeField::Time) {
        const QString point = kvxPointForTime(m_time->text(), m_tresolution);
        if (!point.isEmpty())
            m_point->setText(point);
    } else {
        const QString time = kvxTimeForPoint(m_time->text(), m_point->text(), m_tresolution);
        if (!time.isEmpty())
            m_time->setText(time);
    }
}

void KvxToCatalogGroup::onSendClicked()
{
    resetInputStyling(content());
    const KvxToCatalogInput input{m_date->text(), m_time->text(), m_point->text(), m_deltaKvx->text(),
                                  m_tresolution, m_lead};
    const KvxToCatalogResult result = kvxToCatalog(input);
    if (!result.errors.isEmpty()) {
        emit resultTextChanged(CalculatorReport::errors(QStringLiteral("From KVX to catalog"), result.errors));
        return;
    }
    showFound(m_pulsarName, result.pulsarName);
    showFound(m_alpha, result.alpha);
    showFound(m_delta, result.delta);
    showFound(m_alphaZuld, result.alphaRigorous);
    emit resultTextChanged(CalculatorReport::kvxToCatalog(input, result));
}
