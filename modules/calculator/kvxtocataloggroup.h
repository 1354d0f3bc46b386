#pragma once

#include "modules/calculator/calculatorgroup.h"
#include "ui_kvxtocataloggroup.h"

#include "astro/kvxtocatalog.h"

// "From KVX to catalog" (kvxtocataloggroup.ui): reads the telescope date, the time or the point of
// the hour file (the two fields follow each other; the one edited last
// counts) and the KVX delta, and shows the J2000 place, the pulsar name and
// the rigorous ("Zuld") alpha. The sample interval comes from the form's
// common block through setTresolution. GUI thread.
class KvxToCatalogGroup : public CalculatorGroup
{
    Q_OBJECT

public:
    explicit KvxToCatalogGroup(QWidget *parent = nullptr);

    void setTresolution(const QString &text);
    KvxTimeField lead() const { return m_lead; }

public slots:
    void onSendClicked();
    void onTimeEdited(const QString &text);
    void onPointEdited(const QString &text);

private:
    // Brings the field that follows up to date with the one that leads.
    void updateFollower();

    Ui::KvxToCatalogGroup m_ui;
    QString m_tresolution;
    KvxTimeField m_lead = KvxTimeField::Time;
};
