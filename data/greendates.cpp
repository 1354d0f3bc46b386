#include "data/greendates.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {

// More than any list of dates needs; a larger file is read up to here.
constexpr qint64 maxGreenDatesBytes = qint64(16) << 20;

GreenDatesReport report(GreenDatesReport::Kind kind, bool ok, const QString &title, const QString &text)
{
    GreenDatesReport result;
    result.kind = kind;
    result.ok = ok;
    result.title = title;
    result.text = text;
    return result;
}

GreenDatesReport failure(const QString &title, const QString &text, const QString &reason)
{
    return report(GreenDatesReport::Kind::Warning, false, title,
                  reason.isEmpty() ? text : text + QLatin1Char('\n') + reason);
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The reason of the last failed system call, if one was recorded.
QString systemReason()
{
    return errno != 0 ? qt_error_string(errno) : QString();
}

bool isGreen(const DayPlot &day, const QSet<QString> &green)
{
    return !day.date.isEmpty() && green.contains(day.date);
}

// A free name for the old target directory: its name and time stamp, then
// "_2", "_3" ... appended to that while a directory entry of the name exists.
QString archivePath(const QDir &parent, const QString &targetName, const QDateTime &modified)
{
    const QDateTime stamp = modified.isValid() ? modified : QDateTime::currentDateTime();
    const QString archive = targetName + QLatin1Char('_') + stamp.toString(QStringLiteral("yyyy.MM.dd_hhmmss"));
    QString candidate = archive;
    for (int k = 2; QFileInfo::exists(parent.filePath(candidate)); ++k)
        candidate = archive + QLatin1Char('_') + QString::number(k);
    return parent.filePath(candidate);
}

bool renameEntry(const QString &from, const QString &to)
{
    errno = 0;
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

QString greenDatesFileName()
{
    return QStringLiteral("green_dates.txt");
}

QString greenDatesPath(const QString &dir)
{
    return QDir(dir).filePath(greenDatesFileName());
}

QSet<QString> parseGreenDates(const QString &text)
{
    QSet<QString> dates;
    for (const QStringRef &line : text.splitRef(QLatin1Char('\n'))) {
        const QStringList tokens = line.toString().simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (tokens.isEmpty())
            continue;
        bool ok = false;
        if (tokens.size() == 1 || (tokens.at(1).toInt(&ok) == 1 && ok))
            dates.insert(tokens.first());
    }
    return dates;
}

QSet<QString> readGreenDates(const QString &dir)
{
    const QString path = greenDatesPath(dir);
    // Only a regular file: a pipe of that name could block the read.
    QFile in(path);
    if (!QFileInfo(path).isFile() || !in.open(QIODevice::ReadOnly))
        return {};
    // The explicit size reads on past a NUL byte of a damaged file.
    const QByteArray bytes = in.read(maxGreenDatesBytes);
    return parseGreenDates(QString::fromUtf8(bytes.constData(), bytes.size()));
}

QByteArray greenDatesFileText(const QSet<QString> &dates)
{
    QStringList sorted = dates.values();
    std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    QByteArray text;
    for (const QString &date : sorted)
        text += date.toUtf8() + " 1\n";
    return text;
}

int greenDayCount(const QVector<DayPlot> &days, const QSet<QString> &green)
{
    return int(std::count_if(days.begin(), days.end(), [&](const DayPlot &day) { return isGreen(day, green); }));
}

QStringList greenDayFiles(const QVector<DayPlot> &days, const QSet<QString> &green)
{
    QStringList files;
    for (const DayPlot &day : days) {
        if (isGreen(day, green))
            files.append(day.filePath);
    }
    return files;
}

GreenDatesReport saveGreenDates(const QString &dir, const QSet<QString> &green, const QVector<DayPlot> &days)
{
    if (greenDayCount(days, green) == 0)
        return report(GreenDatesReport::Kind::Question, false, QStringLiteral("No green dates"),
                      QStringLiteral("There are no green dates selected. Clear the saved green dates list?"));
    const QString path = greenDatesPath(dir);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return failure(QStringLiteral("Error"), QStringLiteral("Cannot open the file for writing:\n%1").arg(native(path)),
                       out.errorString());
    const QByteArray text = greenDatesFileText(green);
    if (out.write(text) != text.size() || !out.commit())
        return failure(QStringLiteral("Error"), QStringLiteral("Cannot save the file:\n%1").arg(native(path)),
                       out.errorString());
    return report(GreenDatesReport::Kind::Information, true, QStringLiteral("Green dates saved"),
                  QStringLiteral("Saved %1 green dates to %2.").arg(QString::number(green.size()), greenDatesFileName()));
}

GreenDatesReport clearSavedGreenDates(const QString &dir)
{
    const QString path = greenDatesPath(dir);
    QFile file(path);
    if (file.exists() && !file.remove())
        return failure(QStringLiteral("Error"), QStringLiteral("Cannot delete the file:\n%1").arg(native(path)),
                       file.errorString());
    return report(GreenDatesReport::Kind::Information, true, QStringLiteral("Green dates cleared"),
                  QStringLiteral("The saved green dates list has been cleared."));
}

GreenDatesReport writeGreenFiles(const QString &dir, const QStringList &files)
{
    if (files.isEmpty())
        return report(GreenDatesReport::Kind::Warning, false, QStringLiteral("No green dates"),
                      QStringLiteral("There are no green-date files to copy."));
    const QFileInfo source(QDir::cleanPath(dir));
    const QDir parent = source.dir();
    const QString targetName = source.fileName() + QStringLiteral("_green");
    const QString target = parent.filePath(targetName);

    const QFileInfo existing(target);
    if (existing.exists() || existing.isSymLink()) {
        if (!renameEntry(target, archivePath(parent, targetName, existing.lastModified())))
            return failure(QStringLiteral("Cannot archive directory"),
                           QStringLiteral("Cannot rename the existing directory:\n%1").arg(native(target)),
                           systemReason());
    }
    errno = 0;
    if (!QDir().mkpath(target))
        return failure(QStringLiteral("Error"), QStringLiteral("Cannot create the directory:\n%1").arg(native(target)),
                       systemReason());

    QStringList failed;
    int copied = 0;
    for (const QString &path : files) {
        QFile file(path);
        const QString name = QFileInfo(path).fileName();
        if (file.copy(QDir(target).filePath(name)))
            ++copied;
        else
            failed.append(QStringLiteral("%1 (%2)").arg(name, file.errorString()));
    }
    if (!failed.isEmpty())
        return failure(QStringLiteral("Copy error"),
                       QStringLiteral("Some files could not be copied:\n%1").arg(failed.join(QLatin1Char('\n'))),
                       QString());
    QString shown = native(target).toHtmlEscaped();
    shown.replace(QLatin1Char('\\'), QStringLiteral("\\&#8203;"));
    GreenDatesReport done = report(GreenDatesReport::Kind::Information, true, QStringLiteral("Green dates copied"),
                                   QStringLiteral("Copied %1 green dates to the directory:<br><br>%2")
                                       .arg(QString::number(copied), shown));
    done.richText = true;
    return done;
}
