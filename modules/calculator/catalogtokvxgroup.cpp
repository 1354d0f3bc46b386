#include "modules/calculator/catalogtokvxgroup.h"

#include "modules/calculator/calculatorfields.h"
#include "modules/calculator/calculatorreport.h"

#include "astro/catalogtokvx.h"

using namespace CalculatorFields;

CatalogToKvxGroup::CatalogToKvxGroup(QWidget *parent)
    : CalculatorGroup(parent)
{
    m_ui.setupUi(this);
    setContent(m_ui.widgetCat2Kvx);
    connect(m_ui.cat2kvx_send, &QPushButton::clicked, this, &CatalogToKvxGroup::onSendClicked);
}

void CatalogToKvxGroup::setTresolution(const QString &text)
{
    m_tresolution = text;
}

void CatalogToKvxGroup::onSendClicked()
{
    resetInputStyling(content());
    const CatalogToKvxInput input{m_ui.cat2kvx_alfa->text(), m_ui.cat2kvx_delta->text(), m_ui.cat2kvx_date->text(),
                                  m_ui.cat2kvx_plosh->currentText(), m_tresolution};
    const CatalogToKvxResult result = catalogToKvx(input);
    if (!result.errors.isEmpty()) {
        emit resultTextChanged(CalculatorReport::errors(QStringLiteral("From catalog to KVX"), result.errors));
        return;
    }
    const KvxCrossing &first = result.crossings.first();
    showFound(m_ui.cat2kvx_fileName, first.fileName);
    showFound(m_ui.cat2kvx_time, first.telescopeTime.toString(QStringLiteral("hh:mm:ss.zzz")));
    showFound(m_ui.cat2kvx_sec, QString::number(first.secondsFromHour, 'f', 3));
    showFound(m_ui.cat2kvx_culmPoint, QString::number(first.wholePoint));
    emit resultTextChanged(CalculatorReport::catalogToKvx(input, result));
}
