#pragma once

#include "astro/ffaperiodlist.h"
#include "data/backgroundjob.h"

// Builds the text of an FFA plan's trial periods on a worker thread (see
// BackgroundJob).
class FfaPeriodListJob : public BackgroundJob
{
    Q_OBJECT

public:
    using BackgroundJob::BackgroundJob;

    void start(const FfaPlan &plan);

signals:
    void finished(const FfaPeriodListText &list);
};
