#pragma once

#include <QWidget>

class CalculatorForm;
class QLabel;

// The calculators module: CalculatorForm on the left and a scrollable
// rich-text result panel on the right. Owns both through the widget tree;
// lives on the GUI thread as the main window's central widget until replaced.
class CalculatorModule : public QWidget
{
    Q_OBJECT

public:
    static constexpr int minimumFontSize = 6;
    static constexpr int maximumFontSize = 40;

    explicit CalculatorModule(QWidget *parent = nullptr);

    CalculatorForm *form() const;
    QLabel *resultLabel() const;
    int resultFontSize() const;

    static QString helpText();
    static int clampedFontSize(int size);

public slots:
    void changeResultFontSize(int step);
    void setResultText(const QString &text);
    void clearResult();

private:
    CalculatorForm *m_form = nullptr;
    QLabel *m_result = nullptr;
    int m_resultFontSize = 11;
};
