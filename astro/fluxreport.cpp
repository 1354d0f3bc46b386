#include "astro/fluxreport.h"

#include "astro/profileview.h"
#include "astro/resultnumber.h"

#include <cmath>

QString fluxClipboardText(const FluxReportLabels &labels, const FluxResult &result)
{
    return QStringLiteral("Pulsar:\t\t%1\n"
                          "Period:\t\t%2 sec\n"
                          "Dispersion:\t%3\n"
                          "Date:\t\t%4\n"
                          "Result:\t\tSNR=%5, Sp=%6, Sint=%7")
        .arg(labels.pulsarName, labels.period, labels.dispersion, labels.date, resultNumberText(result.snr),
             resultNumberText(result.Sp), resultNumberText(result.Sint));
}

QString fluxReportTitle()
{
    return QStringLiteral("Калькулятор плотности потока среднего профиля");
}

QString fluxReportText(const FluxInput &input, const FluxResult &r, const HalfWidth &w, const FluxReportLabels &labels)
{
    // The form's fields may hold anything; the calculation read non-finite numbers as 0.
    const auto finite = [](double value) { return std::isfinite(value) ? value : 0.0; };
    const auto number = [&](double value) { return resultNumberText(finite(value)); };
    const auto integer = [](int value) { return QString::number(value); };
    QString text = QStringLiteral("======================================================\n")
        + QStringLiteral("  ПАРАМЕТРЫ:\n")
        + QStringLiteral("======================================================\n\n");
    text += QStringLiteral("Площадка:\t%1\n"
                           "tresolution:\t%2\t(разрешение, сек)\n\n")
                .arg(input.site, QString::number(finite(input.tresolution), 'g', 6));
    text += QStringLiteral("Число точек, число сложенных периодов:\n");
    if (input.withCos) {
        text += QStringLiteral("delta:\t\t%1\t(координата дельта)\n"
                               "delta1:\t\t%2\t\t(координата дельта в градусах)\n"
                               "cos(delta):\t%3\t\t(косинус дельта)\n"
                               "n0:\t\t%4\t\t(число точек в исходном отрезке)\n"
                               "n:\t\t%5\t\t(с поправкой на cos)\n")
                    .arg(labels.deltaText, QString::number(finite(input.delta), 'f', 2),
                         QString::number(r.cosDelta, 'f', 4), integer(input.n0), integer(r.n));
    } else {
        text += QStringLiteral("n0=n:\t\t%1\t\t(число точек в исходном отрезке)\n"
                               "cos(delta):\t\t(поправки на косинус нет!)\n").arg(input.n0);
    }
    text += QStringLiteral("np:\t\t%1\t\t(число точек в среднем профиле)\n"
                           "n_periods:\t%2\t\t(столько сложено периодов)\n"
                           "\n").arg(integer(input.np), integer(r.nPeriods));
    text += QStringLiteral("Область пика, сигма шумов:\n"
                           "n1, n2:\t\t[%1, %2]\t\t(границы пика импульса)\n"
                           "period1:\t%3 sec\t(период соответствующий точке n1)\n"
                           "period2:\t%4 sec\t(период соответствующий точке n2)\n"
                           "H:\t\t%5\t\t(высота среднего профиля)\n"
                           "sigma:\t\t%6\t\t(сигма шумов)\n"
                           "snr=H/sigma:\t%7\t\t(CШ)\n"
                           "\n")
                .arg(integer(r.n1), integer(r.n2), number(profilePointTime(r.n1, input.period, input.np)),
                     number(profilePointTime(r.n2, input.period, input.np)), number(input.H), number(r.sigma),
                     number(r.snr));
    text += QStringLiteral("Вычисление чувствительности телескопа:\n"
                           "k1:\t%1\t\t(поправка на огибание лучей)\n"
                           "k2:\t%2\t\t(поправка не попадания в луч)\n"
                           "T178:\t%3 К\t\t(температура фона на 178 МГц)\n"
                           "T111:\t%4 К\t\t(температура фона на 111 МГц)\n"
                           "Tr:\t%5 К\t\t(температура приёмника)\n"
                           "Ts:\t%6 К\t(температура системы фон + приёмник)\n"
                           "Tmin:\t834 К\t\t(минимальная температура неба)\n"
                           "sens:\t%7\t\t(флуктуационная чувствительность неба)\n"
                           "dS:\t%8\t\t(чувствительность телескопа в напр. пульсара)\n"
                           "\n")
                .arg(number(input.k1), number(input.k2), number(input.T178),
                     number(fluxBackgroundFactor * finite(input.T178)), number(input.Tr), number(r.Ts),
                     number(input.sens), number(r.dS));
    text += QStringLiteral("Полуширина импульса:\n"
                           "y=H/2:\t%1\t\t\t (1/2 макс. значения среднего профиля)\n"
                           "i1, i2:\t[%2, %3]\t\t (номера точек пересечения гориз. линии H/2)\n"
                           "p1, p2:\t[%4, %5]\t\t (периоды на этих точках)\n"
                           "w50:\t%6 мсек\t\t (полуширина импульса w50=(p2-p1)*1000)\n"
                           "\n")
                .arg(number(w.level), QString::number(w.i1, 'f', 2), QString::number(w.i2, 'f', 2),
                     resultNumberText(w.p1, 2), resultNumberText(w.p2, 2), resultNumberText(w.w50, 2));
    text += QStringLiteral("======================================================\n")
        + QStringLiteral("  РЕЗУЛЬТАТ:\n")
        + QStringLiteral("======================================================\n\n");
    text += QStringLiteral("Пиковая и интегральная плотности потока:\n"
                           "Sp:\t%1\t\t(пиковая плотность потока)\n"
                           "Sint:\t%2\t\t(интегральная плотность потока)\n"
                           "\n").arg(number(r.Sp), number(r.Sint));
    return text + fluxClipboardText(labels, r) + QStringLiteral("\n\n(Результат скопирован в буфер)\n\n");
}
