#pragma once

#include <QString>
#include <QStringList>

struct CatalogToKvxInput;
struct CatalogToKvxResult;
struct FfaPeriodListText;
struct FfaPlan;
struct KvxToCatalogInput;
struct KvxToCatalogResult;

// The rich texts of the result panel for the coordinate and FFA calculators:
// title, parameters, results and a short explanation, in the style of
// "Get delta from ray", and the lists of input errors. Stateless.
class CalculatorReport
{
public:
    // "<p style='color: blue'><b>Calculator: %1</b></p><p>&nbsp;</p>"
    static QString title(const QString &calculator);
    // The title followed by the collected input errors, one per line.
    static QString errors(const QString &calculator, const QStringList &errors);

    static QString catalogToKvx(const CatalogToKvxInput &input, const CatalogToKvxResult &result);
    static QString kvxToCatalog(const KvxToCatalogInput &input, const KvxToCatalogResult &result);
    static QString ffaInfo(const FfaPlan &plan);
    // The head of "Show periods": the plan's size and, while the list is
    // built, the percentage done (percent < 0: the list is shown below).
    static QString ffaPeriods(const FfaPlan &plan, int percent);
    static QString ffaPeriodsShown(const FfaPlan &plan, const FfaPeriodListText &list);

    // Steps of a plan listed in the info table before the rest is summed up.
    static constexpr int shownSteps = 60;
};
