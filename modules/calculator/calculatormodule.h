#pragma once

#include <QWidget>

class CalculatorForm;
class QLabel;
class QPlainTextEdit;

// The calculators module: CalculatorForm on the left and a scrollable
// rich-text result panel on the right, with a plain-text list under it for
// results of many lines (the FFA periods), which lays out fast however long.
// Owns them through the widget tree; lives on the GUI thread as the main
// window's central widget until replaced.
class CalculatorModule : public QWidget
{
    Q_OBJECT

public:
    static constexpr int minimumFontSize = 6;
    static constexpr int maximumFontSize = 40;

    explicit CalculatorModule(QWidget *parent = nullptr);

    CalculatorForm *form() const;
    QLabel *resultLabel() const;
    QPlainTextEdit *resultList() const;
    int resultFontSize() const;

    static QString helpText();
    static int clampedFontSize(int size);

public slots:
    void changeResultFontSize(int step);
    // A new result text hides the list of the result before.
    void setResultText(const QString &text);
    void setResultList(const QString &lines);
    void clearResult();

private:
    CalculatorForm *m_form = nullptr;
    QLabel *m_result = nullptr;
    QPlainTextEdit *m_list = nullptr;
    int m_resultFontSize = 11;
};
