#include "data/profileset.h"

#include "astro/filenames.h"
#include "data/profilefile.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace {

QStringList sortedDispersions(const ProfileSet &set, const QString &date, bool allDates)
{
    QStringList dms;
    for (const ProfileRecord &record : set) {
        if ((allDates || record.date == date) && !dms.contains(record.dm))
            dms.append(record.dm);
    }
    std::sort(dms.begin(), dms.end(), dmTextLess);
    return dms;
}

ProfileScanResult scanFailure(const QString &error)
{
    ProfileScanResult result;
    result.error = error;
    return result;
}

} // namespace

ProfileScanResult scanProfileDirectory(const QString &dir, const ProfileProgress &progress)
{
    ProfileScanResult result;
    // Every file is visited, so that the walk of a large tree can be abandoned
    // even where nothing matches; the name filter is "p20*.txt".
    QDirIterator walk(dir, QDir::Files, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        walk.next();
        if (progress && !progress(result.set.size(), 0))
            return scanFailure(QString());
        const QString name = walk.fileName();
        ProfileRecord record;
        if (!name.startsWith(QLatin1String("p20"), Qt::CaseInsensitive)
            || !name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive) || !parseProfileFileName(name, &record))
            continue;
        if (result.set.size() >= maxProfileFiles)
            return scanFailure(QStringLiteral("The selected directory contains more than %1 profile files. "
                                              "This data set is too large for the average profiles module.")
                                   .arg(maxProfileFiles));
        record.path = walk.fileInfo().absoluteFilePath();
        result.set.append(record);
    }
    if (result.set.isEmpty())
        return scanFailure(QStringLiteral("This directory contains no files matching %1").arg(profileNameTemplate()));
    for (int i = 0; i < result.set.size(); ++i) {
        if (ProfileFile::read(result.set.at(i).path).hasValues()) {
            result.ok = true;
            return result;
        }
        if (progress && !progress(i + 1, result.set.size()))
            return scanFailure(QString());
    }
    return scanFailure(QStringLiteral("The selected directory contains no readable average profile data."));
}

bool maximumSnrByDate(const ProfileSet &set, QMap<QString, double> *maxima, const ProfileProgress &progress)
{
    QMap<QString, double> result;
    QSet<QString> visited;
    for (int i = 0; i < set.size(); ++i) {
        const ProfileRecord &record = set.at(i);
        if (!visited.contains(record.path)) {
            visited.insert(record.path);
            double maximum = 0.0;
            if (ProfileFile::read(record.path).maximumValue(&maximum)) {
                const auto found = result.constFind(record.date);
                if (found == result.constEnd() || maximum > found.value())
                    result.insert(record.date, maximum);
            }
        }
        if (progress && !progress(i + 1, set.size()))
            return false;
    }
    if (maxima)
        *maxima = result;
    return true;
}

QStringList profileDates(const ProfileSet &set, ProfileDateOrder order, const QMap<QString, double> &maxima)
{
    QStringList dates;
    for (const ProfileRecord &record : set) {
        if (!dates.contains(record.date))
            dates.append(record.date);
    }
    std::sort(dates.begin(), dates.end());
    if (order == ProfileDateOrder::Text)
        return dates;
    // An insertion sort: stable, and sound with a tolerance, which a library
    // sort cannot be given (equality within 1e-12 is not transitive).
    for (int i = 1; i < dates.size(); ++i) {
        const QString date = dates.at(i);
        const double snr = maxima.value(date, 0.0);
        int j = i;
        while (j > 0 && snr > maxima.value(dates.at(j - 1), 0.0) + 1e-12) {
            dates[j] = dates.at(j - 1);
            --j;
        }
        dates[j] = date;
    }
    return dates;
}

QStringList profileDispersions(const ProfileSet &set)
{
    return sortedDispersions(set, QString(), true);
}

QStringList profileDispersionsOfDate(const ProfileSet &set, const QString &date)
{
    return sortedDispersions(set, date, false);
}

QString findProfileFile(const ProfileSet &set, const QString &date, const QString &dm)
{
    for (const ProfileRecord &record : set) {
        if (record.date == date && record.dm == dm)
            return record.path;
    }
    return QString();
}

QString profileModuleRayTag(const QString &dir, const ProfileSet &set)
{
    QString tag = moduleRayTag(dir);
    for (int i = 0; tag.isEmpty() && i < set.size(); ++i)
        tag = moduleRayTag(set.at(i).path);
    return tag;
}
