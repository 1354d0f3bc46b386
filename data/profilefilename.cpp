#include "data/profilefilename.h"

#include <QRegularExpression>

namespace {

constexpr int defaultPeriodPrecision = 4;
// More decimals than a double holds only print noise.
constexpr int maxPeriodPrecision = 17;

} // namespace

QString profileNameTemplate()
{
    return QStringLiteral("pYYYY.MM.DD_dm{dm}_p{period}*.txt");
}

bool parseProfileFileName(const QString &fileName, ProfileRecord *record)
{
    static const QRegularExpression pattern(QStringLiteral("p(20\\d\\d\\.\\d\\d\\.\\d\\d)_dm(\\d+)_p([\\d.]+).*\\.txt"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return false;
    // The DM is kept as text, so that any number of digits reads without overflow.
    QString dm = match.captured(2);
    int zeros = 0;
    while (zeros + 1 < dm.size() && dm.at(zeros) == QLatin1Char('0'))
        ++zeros;
    dm.remove(0, zeros);
    if (record) {
        record->date = match.captured(1);
        record->dm = dm;
        record->period = match.captured(3);
    }
    return true;
}

int profilePeriodPrecision(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("_s(\\d+)\\.txt"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return defaultPeriodPrecision;
    const QString digits = match.captured(1);
    bool ok = false;
    const int precision = digits.toInt(&ok);
    return ok ? qMin(precision, maxPeriodPrecision) : maxPeriodPrecision;
}

bool dmTextLess(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}
