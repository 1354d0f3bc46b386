#include "modules/calculator/ffaperiodlistjob.h"

void FfaPeriodListJob::start(const FfaPlan &plan)
{
    run([this, plan](const std::atomic<bool> &stop, const std::function<void(int)> &progress) -> Delivery {
        FfaPeriodListText list = ffaPeriodListText(plan, ffaPeriodListEndLines, progress, &stop);
        if (list.cancelled)
            return {};
        return [this, list = std::move(list)] { emit finished(list); };
    });
}
