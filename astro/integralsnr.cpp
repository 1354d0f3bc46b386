#include "astro/integralsnr.h"

#include "astro/resultnumber.h"

#include <algorithm>
#include <cmath>

IntegralSnr integralSnr(const QVector<double> &values, int a, int b)
{
    IntegralSnr snr;
    snr.np = values.size();
    if (snr.np < 1)
        return snr;
    snr.valid = true;
    snr.lo = qBound(0, std::min(a, b), snr.np - 1);
    snr.hi = qBound(0, std::max(a, b), snr.np - 1);
    snr.nPeak = snr.hi - snr.lo;
    bool anyFinite = false;
    for (int i = 0; i < snr.np; ++i) {
        const double v = values.at(i);
        if (!std::isfinite(v))
            continue;
        // Divided before summing, so that no sum of finite values overflows.
        const double share = v / snr.np;
        snr.fullSnr += share;
        if (i > snr.lo && i < snr.hi)
            snr.peakSnr += share;
        if (!anyFinite || v > snr.maxSnr)
            snr.maxSnr = v;
        anyFinite = true;
    }
    return snr;
}

QString integralSnrClipboardLine(const IntegralSnr &snr, const QString &pulsarName, const QString &date)
{
    return QStringLiteral("%1,  date=%2:  max_snr=%3  sum_snr=%4  np=%5\n")
        .arg(pulsarName.left(10), date, resultNumberText(snr.maxSnr), QString::number(snr.peakSnr, 'f', 4),
             QString::number(snr.np));
}

QString integralSnrReportTitle()
{
    return QStringLiteral("Интегральный СШ на графике среднего профиля");
}

QString integralSnrReportText(const IntegralSnr &snr, const QString &clipboardLine)
{
    const double share = snr.np > 0 ? 100.0 * snr.nPeak / snr.np : 0.0;
    return QStringLiteral("====================================================\n")
        + QStringLiteral(" ИНТЕГРАЛЬНЫЙ СШ НА ГРАФИКЕ СРЕДНЕГО ПРОФИЛЯ\n")
        + QStringLiteral("====================================================\n\n")
        + QStringLiteral(" Число точек полное:\tnp=%1 \n").arg(snr.np)
        + QStringLiteral(" Число точек в пике:\tn_peak=%1 (%2%)\n")
              .arg(QString::number(snr.nPeak), QString::number(share, 'f', 1))
        + QStringLiteral(" Область пика:\t\tс n1=%1 по n2=%2\n").arg(QString::number(snr.lo), QString::number(snr.hi))
        + QStringLiteral(" Максимальный СШ:\tmax_snr=%1\n\n").arg(resultNumberText(snr.maxSnr))
        + QStringLiteral(" Интегральный СШ в пике:\t%1\n").arg(QString::number(snr.peakSnr, 'f', 5))
        + QStringLiteral(" Интегральный СШ полный:\t%1\n\n").arg(QString::number(snr.fullSnr, 'f', 5))
        + QStringLiteral(" Считаем так: <интегральный СШ>=<сумма значений СШ>/<число точек>\n")
        + QStringLiteral(" (Для счёта плотности потока нажмите кнопку «Calculate» в форме слева)\n\n")
        + QStringLiteral(" В буфер скопировано:\n")
        + QStringLiteral("------------------------------------------------------------------------------------------\n")
        + clipboardLine;
}
