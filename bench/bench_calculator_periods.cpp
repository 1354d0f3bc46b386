// "Show periods" of a 2^22-point FFA plan (1,975,844 trial periods, shown as
// its first and last 10,000): building the text, which runs off the GUI
// thread, against plain snprintf lines; and showing it, the only part on the
// GUI thread, in the module's plain-text list against the rich-text result
// label, side by side.
#include "astro/ffaperiodlist.h"
#include "bench/benchtiming.h"
#include "modules/calculator/calculatormodule.h"

#include <QApplication>
#include <QLabel>

#include <cstdio>
#include <string>

namespace {

// The same lines with the C library: number, period and bins.
std::string plainLines(const FfaPlan &plan, qint64 keep)
{
    std::string text;
    char line[64];
    qint64 index = 0;
    for (const FfaFold &fold : plan.folds) {
        for (qint64 s = 0; s < fold.periodTrials; ++s, ++index) {
            if (index >= keep && index < plan.periodTrials - keep)
                continue;
            std::snprintf(line, sizeof line, "%10lld %18.9f %6d\n", index + 1, plan.trialPeriod(fold, s), fold.bins);
            text += line;
        }
    }
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const FfaPlan plan =
        ffaPlan({"4194304", "0.0124928", "0.01", "1.5", "39", "44", "1", "10.0", false});

    std::vector<double> build;
    std::vector<double> plain;
    FfaPeriodListText list;
    for (int i = 0; i < 5; ++i) {
        build.push_back(secondsOf([&] { list = ffaPeriodListText(plan); }) * 1e3);
        std::string baseline;
        plain.push_back(secondsOf([&] { baseline = plainLines(plan, ffaPeriodListEndLines); }) * 1e3);
    }

    CalculatorModule calculator;
    calculator.resize(1300, 900);
    calculator.show();
    app.processEvents();
    std::vector<double> show;
    for (int i = 0; i < 3; ++i) {
        calculator.setResultText(QStringLiteral("Periods"));
        app.processEvents();
        show.push_back(secondsOf([&] {
                           calculator.setResultList(list.text);
                           app.processEvents();
                       })
                       * 1e3);
    }
    QString rich = list.text.toHtmlEscaped();
    rich.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    const double label = secondsOf([&] {
                             calculator.setResultText(rich);
                             app.processEvents();
                         })
                         * 1e3;

    std::printf("calculator_periods_lines: %lld\n", qint64(list.text.count(QLatin1Char('\n'))));
    std::printf("calculator_periods_build_ms: %.1f\n", median(build));
    std::printf("calculator_periods_build_vs_snprintf: %.2f\n", median(build) / median(plain));
    std::printf("calculator_periods_show_gui_ms: %.1f\n", median(show));
    std::printf("calculator_periods_label_gui_ms: %.1f\n", label);
    std::printf("calculator_periods_show_speedup_vs_label: %.1f\n", label / median(show));
    return 0;
}
