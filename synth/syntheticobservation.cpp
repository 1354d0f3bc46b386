#include "synth/syntheticobservation.h"

#include "astro/dispersion.h"
#include "astro/filenames.h"
#include "synth/syntheticnativefile.h"
#include "synth/synthetictextform.h"
#include "synth/synthtext.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <limits>

namespace {

constexpr int minimumPadBytes = 10;   // "comment x\n" is the shortest padding line

// Samples in file order need little-endian bytes on disk.
void toLittleEndian(float *values, qint64 count)
{
    if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
        for (qint64 i = 0; i < count; ++i) {
            quint32 bits;
            std::memcpy(&bits, values + i, 4);
            bits = qToLittleEndian(bits);
            std::memcpy(values + i, &bits, 4);
        }
    }
}

} // namespace

SyntheticObservation::SyntheticObservation(const Params &params)
    : m_params(params)
{
    if (!m_params.frequencies.isEmpty()) {
        m_frequencies = m_params.frequencies;
    } else if (fitsOneBlock()) {
        const double step = (m_params.bandHigh - m_params.bandLow) / m_params.nBands;
        m_frequencies.reserve(m_params.nBands);
        for (int c = 0; c < m_params.nBands; ++c) {
            // Centres rounded to whole hertz print short and read back exactly.
            const double centre = m_params.bandLow + (c + 0.5) * step;
            m_frequencies.append(std::round(centre * 1e6) / 1e6);
        }
        if (m_params.descending)
            std::reverse(m_frequencies.begin(), m_frequencies.end());
    }
    if (!m_frequencies.isEmpty() && m_frequencies.size() == m_params.nBands) {
        const double last = m_frequencies.last();
        for (double f : qAsConst(m_frequencies)) {
            m_delays.append(f > 0 && last > 0
                                ? dispersionConstant * m_params.dm * (1.0 / (f * f) - 1.0 / (last * last))
                                : 0.0);
        }
    }
    if (!m_frequencies.isEmpty()) {
        double central = 0.0;
        for (double f : qAsConst(m_frequencies))
            central += f;
        central /= m_frequencies.size();
        const double spread = std::abs(m_frequencies.last() - m_frequencies.first());
        const double channelWidth = m_params.frequencies.isEmpty()
            ? std::abs(m_params.bandHigh - m_params.bandLow) / m_frequencies.size()
            : (m_frequencies.size() > 1 ? spread / (m_frequencies.size() - 1) : 0.0);
        QStringList fbands;
        QStringList wbands;
        for (double f : qAsConst(m_frequencies)) {
            fbands.append(synthNumberText(f));
            wbands.append(QString::number(channelWidth, 'f', 4));
        }
        m_bandTexts.fbands = fbands.join(QLatin1Char(' '));
        m_bandTexts.wbands = wbands.join(QLatin1Char(' '));
        m_bandTexts.fcentral = QString::number(central, 'f', 3);
        m_bandTexts.wbTotal = QString::number(channelWidth * m_frequencies.size(), 'f', 3);
    }
    m_sigmaSeconds = m_params.width / (2.0 * std::sqrt(2.0 * std::log(2.0)));
}

qint64 SyntheticObservation::valuesPerPoint() const
{
    if (m_params.nModules < 1 || m_params.nRays < 1 || m_params.nBands < 1)
        return 0;
    qint64 values = qint64(m_params.nModules) * m_params.nRays;
    if (__builtin_mul_overflow(values, qint64(m_params.nBands) + 1, &values))
        return -1;
    return values;
}

bool SyntheticObservation::fitsOneBlock() const
{
    // One generator block of points must fit in one buffer.
    const qint64 values = valuesPerPoint();
    return values >= 1 && values <= std::numeric_limits<int>::max() / pointsPerBlock;
}

QString SyntheticObservation::problem() const
{
    const Params &p = m_params;
    if (p.npoints < 1 || p.nModules < 1 || p.nRays < 1 || p.nBands < 1)
        return QStringLiteral("Points, modules, rays and bands must be at least 1.");
    if (p.firstModule < 1 || p.firstRay < 1 || p.firstPoint < 0)
        return QStringLiteral("First module and ray must be at least 1, the first point not negative.");
    if (!fitsOneBlock())
        return QStringLiteral("Too many values per point.");
    if (!(p.tresolution > 0) || !std::isfinite(p.tresolution))
        return QStringLiteral("The sample interval must be positive.");
    if (m_frequencies.size() != p.nBands)
        return QStringLiteral("There must be one frequency per band.");
    for (double f : m_frequencies) {
        if (!(f > 0) || !std::isfinite(f))
            return QStringLiteral("Channel frequencies must be positive.");
    }
    if (p.plosh.size() != 2 || p.plosh.contains(QLatin1Char(' ')))
        return QStringLiteral("The site code must be two characters.");
    if (p.plosh == QLatin1String("N4") && synthPositionIndex(p.positionCode) == 0)
        return QStringLiteral("Unknown N4 position code \"%1\".").arg(p.positionCode);
    if (p.snr > 0 && !(p.width > 0))
        return QStringLiteral("A pulse needs a positive width.");
    if (!p.utcBegin.isValid())
        return QStringLiteral("The begin date and time are not valid.");

    return QString();
}

QDateTime SyntheticObservation::localBegin() const
{
    return m_params.utcBegin.toUTC().addSecs(qint64(m_params.zone) * 3600);
}

double SyntheticObservation::channelDelaySeconds(int channel) const
{
    return m_delays.value(channel, 0.0);
}

double SyntheticObservation::pulsePeakPoint(qint64 k) const
{
    return (m_params.pulseEpoch + k * m_params.period) / m_params.tresolution - m_params.firstPoint;
}

QString SyntheticObservation::baseName() const
{
    QString name = hourFileBaseName(localBegin(), m_params.plosh);
    if (m_params.nModules == 1 && m_params.nRays == 1) {
        const int module = m_params.plosh == QLatin1String("N4") ? synthPositionIndex(m_params.positionCode)
                                                                 : m_params.firstModule;
        name += QStringLiteral("_m%1_r%2").arg(module).arg(m_params.firstRay);
    }
    return name;
}

QString SyntheticObservation::fileName(const QString &suffix) const
{
    return baseName() + QLatin1Char('.') + suffix;
}

QString SyntheticObservation::textFileName() const
{
    QString alphaDigits = m_params.alpha;
    alphaDigits.remove(QRegularExpression(QStringLiteral("\\D")));
    const QString base = QStringLiteral("%1_%2_%3")
                             .arg(localBegin().toString(QStringLiteral("ddMMyy")),
                                  localBegin().toString(QStringLiteral("HH")), m_params.plosh);
    return QStringLiteral("J%1_file%2_m%3_r%4_n%5.txt")
        .arg(alphaDigits.left(6), base)
        .arg(m_params.firstModule)
        .arg(m_params.firstRay)
        .arg(m_params.npoints);
}

QByteArray SyntheticObservation::passport(qint64 padBytes) const
{
    const Params &p = m_params;
    const bool n4 = p.plosh == QLatin1String("N4");
    const QDateTime local = localBegin();
    const QDateTime utc = p.utcBegin.toUTC();
    QStringList modules;
    for (int m = 0; m < p.nModules; ++m)
        modules.append(QString::number(p.firstModule + m));

    QStringList lines;
    const auto add = [&lines](const char *key, const QString &value) {
        lines.append(QString::fromLatin1(key).leftJustified(11) + QLatin1Char(' ') + synthOneLine(value));
    };
    add("source", n4 ? synthN4SourceText(p.positionCode) : p.source);
    add("alpha", p.alpha);
    add("delta", p.delta);
    add("fcentral", m_bandTexts.fcentral);
    add("wb_total", m_bandTexts.wbTotal);
    add("date_begin", QStringLiteral("%1 UTC %2")
                          .arg(local.toString(QStringLiteral("dd.MM.yyyy")), utc.toString(QStringLiteral("dd.MM.yyyy"))));
    add("time_begin", QStringLiteral("%1 UTC %2").arg(synthTimeText(local.time()), synthTimeText(utc.time())));
    if (p.writeZone)
        add("zone", QString::number(p.zone));
    add("area", p.plosh);
    add("modulus", modules.join(QLatin1Char(' ')));
    add("rays", QString::number(p.nRays));
    add("ray", QString::number(p.firstRay));
    add("npoints", QString::number(p.npoints));
    add("nbands", QString::number(p.nBands));
    if (p.tresInSeconds)
        add("tres", synthNumberText(p.tresolution));
    else
        add("tresolution", QString::number(p.tresolution * 1000.0, 'g', 12));
    if (p.firstPoint != 0)
        add("first_point", QString::number(p.firstPoint));
    add("wbands", m_bandTexts.wbands);
    add("fbands", m_bandTexts.fbands);
    if (padBytes > 0) {
        // "comment " + filler + line feed; the comment key is not read.
        const qint64 filler = std::max<qint64>(padBytes - 9, 1);
        lines.append(QStringLiteral("comment ") + QString(int(filler), QLatin1Char('x')));
    }
    lines.prepend(QStringLiteral("numpar      %1").arg(lines.size() + 1));
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

double SyntheticObservation::calibrationOffset(double t) const
{
    const Params &p = m_params;
    if (p.calibrationStart < 0 || t < p.calibrationStart || t >= p.calibrationStart + calibrationDuration)
        return 0.0;
    const double into = t - p.calibrationStart;
    if (into < p.calibrationEdge || into >= calibrationDuration - p.calibrationEdge)
        return -p.calibrationDip;
    return p.calibrationLevel;
}

double SyntheticObservation::pulseMean(double t, double delay) const
{
    // Mean of the Gaussian pulse over the sample interval [t, t + tres).
    const double tres = m_params.tresolution;
    const double sigma = m_sigmaSeconds;
    const double reach = 8.0 * sigma + tres;
    const double arrival = m_params.pulseEpoch + delay;
    const double amplitude = m_params.snr * (m_params.noiseSigma > 0 ? m_params.noiseSigma : 1.0);
    double nearest = 0.0;
    if (m_params.period > 0)
        nearest = std::round((t + 0.5 * tres - arrival) / m_params.period);
    double sum = 0.0;
    for (int dk = -1; dk <= 1; ++dk) {
        if (m_params.period <= 0 && dk != 0)
            continue;
        const double centre = arrival + (nearest + dk) * std::max(m_params.period, 0.0);
        const double a = t - centre;
        const double b = a + tres;
        if (a > reach || b < -reach)
            continue;
        const double scale = sigma * std::sqrt(2.0);
        sum += amplitude * sigma * std::sqrt(M_PI / 2.0) / tres * (std::erf(b / scale) - std::erf(a / scale));
    }
    return sum;
}

void SyntheticObservation::fillBlock(qint64 block, float *out) const
{
    const Params &p = m_params;
    const qint64 first = block * pointsPerBlock;
    const qint64 count = std::min<qint64>(pointsPerBlock, p.npoints - first);
    const quint32 seeds[5] = {quint32(p.seed), quint32(p.seed >> 32), quint32(block), quint32(quint64(block) >> 32),
                              0x5e1f00d5u};
    QRandomGenerator random(seeds, 5);
    bool haveSpare = false;
    double spare = 0.0;
    // Marsaglia's polar form of Box-Muller: a pair of normal deviates from a
    // point drawn uniformly in the unit disc, without trigonometric calls.
    const auto gaussian = [&]() {
        if (haveSpare) {
            haveSpare = false;
            return spare;
        }
        constexpr double scale = 2.0 / 4294967296.0;
        double u;
        double v;
        double radius2;
        do {
            u = (random.generate() + 0.5) * scale - 1.0;
            v = (random.generate() + 0.5) * scale - 1.0;
            radius2 = u * u + v * v;
        } while (radius2 >= 1.0);
        const double factor = std::sqrt(-2.0 * std::log(radius2) / radius2);
        spare = v * factor;
        haveSpare = true;
        return u * factor;
    };

    const int bands = p.nBands;
    const qint64 perPoint = valuesPerPoint();
    const double unit = p.noiseSigma > 0 ? p.noiseSigma : 1.0;
    QVector<double> pulse(bands, 0.0);
    for (qint64 i = 0; i < count; ++i) {
        const double t = double(p.firstPoint + first + i) * p.tresolution;
        double level = p.baseline + calibrationOffset(t) * unit;
        double transit = 0.0;   // the source's passage through the beam, 0..1
        if (p.transitWidth > 0 && (p.transitLevel != 0 || p.pulseFollowsTransit)) {
            const double x = (t - p.transitCentre) / p.transitWidth;
            transit = std::exp(-4.0 * std::log(2.0) * x * x);
        }
        if (p.transitLevel != 0)
            level += p.transitLevel * unit * transit;
        if (p.snr > 0) {
            const double scale = p.pulseFollowsTransit ? transit : 1.0;
            for (int c = 0; c < bands; ++c)
                pulse[c] = scale * pulseMean(t, m_delays.value(c));
        }
        float *point = out + i * perPoint;
        for (int m = 0; m < p.nModules; ++m) {
            const bool moduleHasPulse = p.pulseModule == 0 || p.pulseModule == p.firstModule + m;
            for (int r = 0; r < p.nRays; ++r) {
                const bool hasPulse = p.snr > 0 && moduleHasPulse && (p.pulseRay == 0 || p.pulseRay == p.firstRay + r);
                float *channels = point + (qint64(m) * p.nRays + r) * (bands + 1);
                double total = 0.0;
                for (int c = 0; c < bands; ++c) {
                    double value = level;
                    if (p.noiseSigma > 0)
                        value += p.noiseSigma * gaussian();
                    if (hasPulse)
                        value += pulse[c];
                    channels[c] = float(value);
                    total += channels[c];
                }
                channels[bands] = float(total);
            }
        }
    }
}

void SyntheticObservation::fillPoints(qint64 first, qint64 count, float *out) const
{
    if (!fitsOneBlock() || count < 1)
        return;
    const qint64 perPoint = valuesPerPoint();
    QVector<float> buffer;
    qint64 done = 0;
    // Points outside the observation read as zeros.
    for (; done < count && first + done < 0; ++done)
        std::fill_n(out + done * perPoint, perPoint, 0.0f);
    const qint64 inside = std::min(count, qint64(m_params.npoints) - first);
    if (inside < count)
        std::fill_n(out + std::max(inside, done) * perPoint, (count - std::max(inside, done)) * perPoint, 0.0f);
    count = std::max(inside, done);
    while (done < count) {
        const qint64 point = first + done;
        const qint64 block = point / pointsPerBlock;
        const qint64 offset = point - block * pointsPerBlock;
        const qint64 take = std::min(count - done, qint64(pointsPerBlock) - offset);
        if (offset == 0 && take == std::min<qint64>(pointsPerBlock, m_params.npoints - point)) {
            fillBlock(block, out + done * perPoint);
        } else {
            buffer.resize(int(pointsPerBlock * perPoint));
            fillBlock(block, buffer.data());
            std::copy_n(buffer.constData() + offset * perPoint, take * perPoint, out + done * perPoint);
        }
        done += take;
    }
}

float SyntheticObservation::sample(qint64 point, int moduleIndex, int rayIndex, int channel) const
{
    if (!fitsOneBlock() || moduleIndex < 0 || moduleIndex >= m_params.nModules || rayIndex < 0
        || rayIndex >= m_params.nRays || channel < 0 || channel >= nChannels())
        return 0.0f;
    QVector<float> values(static_cast<int>(valuesPerPoint()));
    fillPoints(point, 1, values.data());
    return values.at((moduleIndex * m_params.nRays + rayIndex) * nChannels() + channel);
}

bool SyntheticObservation::writeBinary(const QString &path, QString *error) const
{
    const QString wrong = problem();
    if (!wrong.isEmpty()) {
        if (error)
            *error = wrong;
        return false;
    }
    QSaveFile file(path);
    const auto fail = [&]() {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    const QByteArray header = passport();
    if (file.write(header) != header.size())
        return fail();
    const qint64 perPoint = valuesPerPoint();
    QVector<float> buffer(static_cast<int>(pointsPerBlock * perPoint));
    const qint64 blocks = (qint64(m_params.npoints) + pointsPerBlock - 1) / pointsPerBlock;
    for (qint64 block = 0; block < blocks; ++block) {
        const qint64 count = std::min<qint64>(pointsPerBlock, m_params.npoints - block * pointsPerBlock);
        fillBlock(block, buffer.data());
        toLittleEndian(buffer.data(), count * perPoint);
        const qint64 bytes = 4 * count * perPoint;
        if (file.write(reinterpret_cast<const char *>(buffer.constData()), bytes) != bytes)
            return fail();
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool SyntheticObservation::writeText(const QString &path, QString *error) const
{
    return writeSyntheticText(*this, path, error);
}

bool SyntheticObservation::write(const QString &path, QString *error) const
{
    if (QFileInfo(path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0)
        return writeText(path, error);
    return writeBinary(path, error);
}

NativeFile SyntheticObservation::toNativeFile(const QString &path) const
{
    return syntheticNativeFile(*this, path);
}

bool SyntheticObservation::writeSparse(const QString &path, qint64 totalBytes, const Params &params,
                                       qint64 densePoints, Params *usedParams, QString *error)
{
    const auto failWith = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    Params used = params;
    used.npoints = 1;
    SyntheticObservation probe(used);
    if (!probe.problem().isEmpty())
        return failWith(probe.problem());
    const qint64 pointBytes = 4 * probe.valuesPerPoint();
    qint64 npoints = (totalBytes - probe.passport().size()) / pointBytes;
    QByteArray header;
    for (int attempt = 0; attempt < 4 && header.isEmpty(); ++attempt, --npoints) {
        if (npoints < 1 || npoints > std::numeric_limits<qint32>::max())
            break;
        used.npoints = qint32(npoints);
        const SyntheticObservation candidate(used);
        const qint64 rest = totalBytes - candidate.passport().size() - npoints * pointBytes;
        if (rest == 0) {
            header = candidate.passport();
        } else if (rest >= minimumPadBytes) {
            const QByteArray padded = candidate.passport(rest);
            if (padded.size() + npoints * pointBytes == totalBytes)
                header = padded;
        }
    }
    if (header.isEmpty())
        return failWith(QStringLiteral("No observation of these dimensions fills %1 bytes.").arg(totalBytes));

    const SyntheticObservation observation(used);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failWith(file.errorString());
    if (file.write(header) != header.size())
        return failWith(file.errorString());
    const qint64 perPoint = observation.valuesPerPoint();
    const qint64 dense = std::clamp<qint64>(densePoints, 0, used.npoints);
    QVector<float> buffer(static_cast<int>(pointsPerBlock * perPoint));
    for (qint64 first = 0; first < dense; first += pointsPerBlock) {
        const qint64 count = std::min<qint64>(pointsPerBlock, dense - first);
        observation.fillPoints(first, count, buffer.data());
        toLittleEndian(buffer.data(), count * perPoint);
        if (file.write(reinterpret_cast<const char *>(buffer.constData()), 4 * count * perPoint) != 4 * count * perPoint)
            return failWith(file.errorString());
    }
    if (!file.resize(totalBytes))
        return failWith(file.errorString());
    file.close();
    if (usedParams)
        *usedParams = used;
    return true;
}
