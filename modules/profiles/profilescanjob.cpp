#include "modules/profiles/profilescanjob.h"

void ProfileScanJob::start(const QString &directory)
{
    run([this, directory](const std::atomic<bool> &stop, const std::function<void(int)> &progress) -> Delivery {
        // Told at most once per percent, so that a walk of many files does
        // not flood the GUI thread's queue.
        int lastPercent = -2;
        const auto tell = [&](int percent) {
            if (percent != lastPercent)
                progress(percent);
            lastPercent = percent;
        };
        // The check for readable data reads few files; the maximum-SNR map
        // reads them all, so the map is most of the bar.
        ProfileScanOutcome outcome;
        outcome.directory = directory;
        const ProfileScanResult scan = scanProfileDirectory(directory, [&](int done, int total) {
            tell(total > 0 ? 10 * done / total : -1);
            return !stop;
        });
        if (stop)
            return {};
        outcome.error = scan.error;
        if (scan.ok) {
            outcome.set = scan.set;
            const bool done = maximumSnrByDate(scan.set, &outcome.maxima, [&](int done, int total) {
                tell(10 + 90 * done / qMax(1, total));
                return !stop;
            });
            if (!done)
                return {};
            outcome.ok = true;
        }
        return [this, outcome = std::move(outcome)] { emit finished(outcome); };
    });
}
