#include "astro/profileview.h"

#include "astro/resultnumber.h"
#include "astro/seriesstats.h"

#include <QDir>

#include <algorithm>
#include <climits>
#include <cmath>

int firstMaximumIndex(const QVector<double> &values)
{
    if (values.isEmpty())
        return -1;
    return int(std::max_element(values.begin(), values.end()) - values.begin());
}

QVector<double> rotateMaxToCenter(const QVector<double> &values)
{
    const int n = values.size();
    const int k = firstMaximumIndex(values);
    const int c = n / 2;
    if (k == c || n == 0)
        return values;
    QVector<double> out(n);
    for (int j = 0; j < n; ++j)
        out[j] = values.at(((k - c + j) % n + n) % n);
    return out;
}

ProfileView profileView(const QVector<double> &raw, int window, bool maxToCenter)
{
    ProfileView view;
    if (window >= 1 && !raw.isEmpty()) {
        const auto [low, high] = std::minmax_element(raw.begin(), raw.end());
        view.range = paddedValueRange(*low, *high);
        view.rangeFixed = true;
    }
    view.values = window > 0 ? movingAverage(raw, window) : raw;
    if (maxToCenter)
        view.values = rotateMaxToCenter(view.values);
    view.maximumIndex = firstMaximumIndex(view.values);
    if (view.maximumIndex >= 0)
        view.maximum = view.values.at(view.maximumIndex);
    return view;
}

QStringList profileLegendLines(const ProfileCaption &caption)
{
    QStringList lines{QStringLiteral("dm=%1").arg(caption.dm), QStringLiteral("period=%1").arg(caption.period)};
    if (caption.showMax)
        lines << QStringLiteral("max=%1").arg(caption.maximum, 0, 'f', 1);
    if (caption.window > 0)
        lines << QStringLiteral("moving average window=%1").arg(caption.window);
    if (caption.showDate)
        lines << QString() << caption.date;
    return lines;
}

QVector<QPair<QString, QString>> profileInformationLines(const ProfileCaption &caption)
{
    QVector<QPair<QString, QString>> lines{
        {QStringLiteral("Dm:"), caption.dm},
        {QStringLiteral("Period:"), QStringLiteral("%1 sec").arg(caption.period)},
        {QStringLiteral("Max:"), resultNumberText(caption.maximum)}};
    if (caption.window > 0)
        lines.append({QStringLiteral("Average:"), QString::number(caption.window)});
    lines.append({QStringLiteral("File:"), caption.fileName});
    return lines;
}

int maxAverageWindow(double period, double tresolution)
{
    if (!(tresolution > 0.0))
        return INT_MAX;
    const double ratio = period / (2.0 * tresolution);
    if (!(ratio > 1.0))
        return 0;
    return ratio >= double(INT_MAX) ? INT_MAX : int(std::ceil(ratio));
}

QString averageWindowLimitText(int maximum, double period)
{
    return QStringLiteral("%1 is the maximum moving-average window for period %2")
        .arg(maximum)
        .arg(QString::number(period, 'g', 6));
}

double profilePointTime(double point, double period, int np)
{
    return np < 1 ? -1.0 : point * period / np;
}

QString profileImageFileName(const QString &pulsarName, const QString &moduleRayTag, bool oneGraph,
                             const QString &period, const QString &dm, const QString &date,
                             const QString &saveDir)
{
    QString name = pulsarName;
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    name += moduleRayTag;
    if (oneGraph)
        name += QStringLiteral("_p%1_dm%2").arg(period, dm);
    name += QStringLiteral("_%1.png").arg(date);
    return saveDir.isEmpty() ? name : QDir(saveDir).filePath(name);
}
