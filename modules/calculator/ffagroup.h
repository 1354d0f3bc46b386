#pragma once

#include "modules/calculator/calculatorgroup.h"
#include "ui_ffagroup.h"

#include "astro/ffaplan.h"

class FfaPeriodListJob;
struct FfaPeriodListText;

// "FFA info" (ffagroup.ui): reads the parameters of an FFA search, shows the plan
// ("Show info") or the list of its trial periods ("Show periods", built off
// the GUI thread with progress, published by resultListChanged), and the
// periodogram size in its result fields. With "bound with bin" checked the
// period minimum follows bins min x tres and cannot be edited. Owns the
// period list job; GUI thread.
class FfaGroup : public CalculatorGroup
{
    Q_OBJECT

public:
    explicit FfaGroup(QWidget *parent = nullptr);

    FfaInput input() const;
    // Stops a period list being built; its result is dropped.
    void cancelPeriodList();

signals:
    void resultListChanged(const QString &lines);

public slots:
    void onShowInfoClicked();
    void onShowPeriodsClicked();
    void onBoundToggled(bool bound);

private:
    // The plan of the fields, its size in the result fields; false (and the
    // errors published) when the input is impossible.
    bool planFromFields(const QString &calculator, FfaPlan *plan);
    void updateBoundPeriod();

    Ui::FfaGroup m_ui;
    FfaPeriodListJob *m_job = nullptr;
    FfaPlan m_listedPlan;       // the plan whose periods the job lists
};
