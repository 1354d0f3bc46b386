#include "synth/profilewriter.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cmath>

QString ProfileWriter::fileName(const Params &params)
{
    return QStringLiteral("p%1_dm%2_p%3_s%4.txt")
        .arg(params.date.toString(QStringLiteral("yyyy.MM.dd")))
        .arg(params.dm)
        .arg(QString::number(params.truePeriod, 'f', params.decimals))
        .arg(params.decimals);
}

QVector<double> ProfileWriter::trialPeriods(const Params &params)
{
    if (!params.periods.isEmpty())
        return params.periods;
    QVector<double> periods;
    for (int i = -3; i <= 3; ++i)
        periods.append(params.truePeriod + i * params.periodStep);
    return periods;
}

double ProfileWriter::expectedPeak(const Params &params, double period)
{
    const double dmOffset = params.dmTolerance > 0 ? (params.dm - params.trueDm) / params.dmTolerance : 0.0;
    const double periodOffset =
        params.periodTolerance > 0 ? (period - params.truePeriod) / params.periodTolerance : 0.0;
    // exp(-ln2 x^2) halves the peak at one tolerance.
    return params.snr * std::exp(-std::log(2.0) * (dmOffset * dmOffset + periodOffset * periodOffset));
}

QVector<double> ProfileWriter::profile(const Params &params, double period)
{
    const int points = std::max(1, params.phasePoints);
    const quint32 seeds[5] = {quint32(params.seed), quint32(params.seed >> 32), quint32(params.date.toJulianDay()),
                              quint32(params.dm), quint32(std::llround(period * 1e9))};
    QRandomGenerator random(seeds, 5);
    const double peak = expectedPeak(params, period);
    const double sigma = std::max(params.pulseWidth, 1e-6) / (2.0 * std::sqrt(2.0 * std::log(2.0)));
    QVector<double> values(points);
    for (int i = 0; i < points; ++i) {
        const double phase = (i + 0.5) / points - 0.5;
        const double u1 = 1.0 - random.generateDouble();
        const double u2 = random.generateDouble();
        const double noise = std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * M_PI * u2);
        values[i] = noise + peak * std::exp(-0.5 * phase * phase / (sigma * sigma));
    }
    return values;
}

bool ProfileWriter::write(const QString &dir, const Params &params, QString *path, QString *error)
{
    const QString target = QDir(dir).filePath(fileName(params));
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QByteArray text;
    for (double period : trialPeriods(params)) {
        text += "period=" + QByteArray::number(period, 'f', params.decimals) + '\n';
        const QVector<double> values = profile(params, period);
        int largest = 0;
        for (int i = 1; i < values.size(); ++i) {
            if (values.at(i) > values.at(largest))
                largest = i;
        }
        for (int i = 0; i < values.size(); ++i) {
            text += QByteArray::number(values.at(i), 'f', 4);
            if (params.markPeak && i == largest)
                text += " *";
            text += (i % 8 == 7 || i + 1 == values.size()) ? '\n' : ' ';
        }
    }
    if (file.write(text) != text.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (path)
        *path = target;
    return true;
}
