#include "astro/beamtables.h"

#include "astro/timecoords.h"

namespace {

const char *const knownPloshCodes[] = {"N0", "N1", "N2", "N4"};

struct ModuleRow
{
    char ploshDigit;
    int module;
    double rays[8];
};

const ModuleRow moduleRows[] = {
    {'1', 1, {42.18, 41.765, 41.345, 40.935, 40.515, 40.1, 39.68, 39.26}},
    {'1', 2, {38.845, 38.425, 38.005, 37.575, 37.155, 36.73, 36.305, 35.88}},
    {'1', 3, {35.405, 34.975, 34.55, 34.12, 33.68, 33.245, 32.81, 32.37}},
    {'1', 4, {31.94, 31.5, 31.06, 30.61, 30.17, 29.725, 29.275, 28.825}},
    {'1', 5, {28.33, 27.875, 27.42, 26.965, 26.505, 26.045, 25.575, 25.115}},
    {'1', 6, {24.645, 24.18, 23.71, 23.235, 22.755, 22.28, 21.795, 21.31}},
    {'2', 1, {20.775, 20.285, 19.79, 19.29, 18.795, 18.29, 17.785, 17.275}},
    {'2', 2, {16.765, 16.25, 15.73, 15.205, 14.675, 14.145, 13.605, 13.065}},
    {'2', 3, {12.465, 11.91, 11.355, 10.79, 10.22, 9.655, 9.075, 8.485}},
    {'2', 4, {7.9, 7.31, 6.7, 6.085, 5.465, 4.835, 4.2, 3.555}},
    {'2', 5, {2.835, 2.17, 1.5, 0.805, 0.105, -0.6, -1.33, -2.065}},
    {'2', 6, {-2.815, -3.58, -4.365, -5.17, -6.0, -6.845, -7.72, -8.47}},
    {'0', 3, {55.22, 54.88, 54.475, 54.075, 53.665, 53.265, 52.865, 52.455}},
    {'0', 4, {52.055, 51.65, 51.25, 50.845, 50.435, 50.035, 49.625, 49.22}},
    {'0', 5, {48.775, 48.365, 47.965, 47.555, 47.145, 46.735, 46.333, 45.92}},
    {'0', 6, {45.515, 45.105, 44.695, 44.285, 43.875, 43.46, 43.045, 42.635}},
};

struct PositionRow
{
    const char *code;
    const char *centralDeclination;
    double beams[8];
};

// Index order: row k is position index k + 1.
const PositionRow positionRows[] = {
    {"10 1 0", "84:58:48", {86.61, 86.14, 85.67, 85.21, 84.74, 84.28, 83.81, 83.35}},
    {"10 1 1", "84:45:00", {86.37, 85.9, 85.43, 84.97, 84.51, 84.04, 83.58, 83.13}},
    {"11 0 0", "81:18:18", {82.88, 82.43, 81.97, 81.52, 81.07, 80.63, 80.18, 79.73}},
    {"11 0 1", "81:05:24", {82.66, 82.2, 81.75, 81.3, 80.85, 80.4, 79.96, 79.52}},
    {"11 1 0", "77:45:24", {79.27, 78.83, 78.4, 77.96, 77.52, 77.09, 76.65, 76.25}},
    {"11 1 1", "77:31:48", {79.06, 78.62, 78.17, 77.74, 77.3, 76.87, 76.43, 76.0}},
    {"12 0 0", "74:16:30", {75.77, 75.34, 74.91, 74.48, 74.06, 73.63, 73.2, 72.78}},
    {"12 0 1", "74:45:00", {75.56, 75.13, 74.7, 74.27, 73.84, 73.41, 72.99, 72.57}},
    {"12 1 0", "70:52:30", {72.34, 71.92, 71.5, 71.08, 70.66, 70.24, 69.83, 69.41}},
    {"12 1 1", "70:39:54", {72.13, 71.71, 71.29, 70.87, 70.45, 70.03, 69.61, 69.2}},
    {"13 0 0", "67:32:06", {68.98, 68.56, 68.15, 67.74, 67.32, 66.91, 66.5, 66.09}},
    {"13 0 1", "67:19:30", {68.77, 68.35, 67.94, 67.53, 67.12, 66.7, 66.29, 65.88}},
    {"13 1 0", "64:13:48", {65.66, 65.25, 64.84, 64.43, 64.02, 63.62, 63.21, 62.8}},
    {"13 1 1", "63:31:48", {65.46, 65.05, 64.64, 64.23, 63.82, 63.41, 63.0, 62.6}},
    {"14 0 0", "60:57:36", {62.38, 61.97, 61.56, 61.16, 60.76, 60.35, 59.94, 59.54}},
    {"14 0 1", "60:45:36", {62.18, 61.77, 61.36, 60.96, 60.55, 60.14, 59.74, 59.34}},
    {"14 1 0", "57:42:18", {59.12, 58.72, 58.31, 57.91, 57.5, 57.1, 56.69, 56.29}},
    {"14 1 1", "57:30:18", {58.92, 58.52, 58.11, 57.7, 57.3, 56.9, 56.49, 56.09}},
    {"15 0 0", "54:27:54", {55.88, 55.47, 55.07, 54.67, 54.26, 53.86, 53.45, 53.05}},
    {"15 0 1", "54:15:36", {55.67, 55.27, 54.87, 54.46, 54.06, 53.66, 53.25, 52.85}},
};

constexpr int positionCount = int(sizeof positionRows / sizeof positionRows[0]);

QString beamKey(qint32 module, qint32 ray, QChar ploshDigit)
{
    return QStringLiteral("m%1_r%2_p%3").arg(module).arg(ray).arg(ploshDigit);
}

} // namespace

bool isKnownPlosh(const QString &plosh)
{
    for (const char *code : knownPloshCodes) {
        if (plosh == QLatin1String(code))
            return true;
    }
    return false;
}

const QHash<QString, double> &beamDeclinationTable()
{
    static const QHash<QString, double> table = [] {
        QHash<QString, double> result;
        for (const ModuleRow &row : moduleRows) {
            for (int ray = 1; ray <= 8; ++ray)
                result.insert(beamKey(row.module, ray, QLatin1Char(row.ploshDigit)), row.rays[ray - 1]);
        }
        return result;
    }();
    return table;
}

const QHash<QString, PositionCode> &positionCodeTable()
{
    static const QHash<QString, PositionCode> table = [] {
        QHash<QString, PositionCode> result;
        for (int i = 0; i < positionCount; ++i) {
            PositionCode entry;
            entry.index = i + 1;
            entry.centralDeclination = QLatin1String(positionRows[i].centralDeclination);
            result.insert(QLatin1String(positionRows[i].code), entry);
        }
        return result;
    }();
    return table;
}

const QVector<N4Beam> &n4BeamTable()
{
    // Stored by pairs of positions: for each beam, the odd position then the even one.
    static const QVector<N4Beam> table = [] {
        QVector<N4Beam> result;
        result.reserve(positionCount * 8);
        for (int pair = 0; pair + 1 < positionCount; pair += 2) {
            for (int beam = 1; beam <= 8; ++beam) {
                for (int i = pair; i <= pair + 1; ++i) {
                    N4Beam record;
                    record.position = i + 1;
                    record.beam = beam;
                    record.code = QLatin1String(positionRows[i].code);
                    record.declination = positionRows[i].beams[beam - 1];
                    result.append(record);
                }
            }
        }
        return result;
    }();
    return table;
}

double beamDeclination(qint32 module, qint32 ray, const QString &plosh)
{
    if (plosh == QLatin1String("N0") || plosh == QLatin1String("N1") || plosh == QLatin1String("N2")) {
        const auto &table = beamDeclinationTable();
        const auto it = table.constFind(beamKey(module, ray, plosh.back()));
        if (it != table.constEnd())
            return it.value();
    }
    if (plosh == QLatin1String("N4")) {
        for (const N4Beam &record : n4BeamTable()) {
            if (record.position == module && record.beam == ray)
                return record.declination;
        }
    }
    return unknownDeclination;
}

QString beamDeclinationText(qint32 module, qint32 ray, const QString &plosh)
{
    const double value = beamDeclination(module, ray, plosh);
    if (value < -100.0)
        return QString();
    return formatSexagesimal(value);
}

QString centralDeclinationText(qint32 module, const QString &plosh)
{
    double sum = 0.0;
    for (int ray = 1; ray <= 8; ++ray) {
        const double value = beamDeclination(module, ray, plosh);
        if (value < -100.0)
            return QString();
        sum += value;
    }
    return formatSexagesimal(sum * 0.125);
}
