#include "modules/calculator/kvxtocataloggroup.h"

#include "modules/calculator/calculatorfields.h"
#include "modules/calculator/calculatorreport.h"

using namespace CalculatorFields;

KvxToCatalogGroup::KvxToCatalogGroup(QWidget *parent)
    : CalculatorGroup(parent)
{
    m_ui.setupUi(this);
    setContent(m_ui.widgetKvx2Cat);
    connect(m_ui.kvx2cat_send, &QPushButton::clicked, this, &KvxToCatalogGroup::onSendClicked);
    connect(m_ui.kvx2cat_time, &QLineEdit::textEdited, this, &KvxToCatalogGroup::onTimeEdited);
    connect(m_ui.kvx2cat_culmPoint, &QLineEdit::textEdited, this, &KvxToCatalogGroup::onPointEdited);
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
        const QString point = kvxPointForTime(m_ui.kvx2cat_time->text(), m_tresolution);
        if (!point.isEmpty())
            m_ui.kvx2cat_culmPoint->setText(point);
    } else {
        const QString time = kvxTimeForPoint(m_ui.kvx2cat_time->text(), m_ui.kvx2cat_culmPoint->text(), m_tresolution);
        if (!time.isEmpty())
            m_ui.kvx2cat_time->setText(time);
    }
}

void KvxToCatalogGroup::onSendClicked()
{
    resetInputStyling(content());
    const KvxToCatalogInput input{m_ui.kvx2cat_date->text(),      m_ui.kvx2cat_time->text(),
                                  m_ui.kvx2cat_culmPoint->text(), m_ui.kvx2cat_deltaKvx->text(),
                                  m_tresolution,                  m_lead};
    const KvxToCatalogResult result = kvxToCatalog(input);
    if (!result.errors.isEmpty()) {
        emit resultTextChanged(CalculatorReport::errors(QStringLiteral("From KVX to catalog"), result.errors));
        return;
    }
    showFound(m_ui.kvx2cat_pulsarName, result.pulsarName);
    showFound(m_ui.kvx2cat_alfa, result.alpha);
    showFound(m_ui.kvx2cat_delta, result.delta);
    showFound(m_ui.kvx2cat_alfaZuld, result.alphaRigorous);
    emit resultTextChanged(CalculatorReport::kvxToCatalog(input, result));
}
