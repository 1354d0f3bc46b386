#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class CalculatorForm;
}

// The calculators' input panel, built from calculatorform.ui: a common block
// and four collapsible calculator groups. Holds no data; publishes result
// texts (and the period list of the FFA group) and font requests by signals
// to its CalculatorModule. Lives on the GUI thread as a child of the module.
class CalculatorForm : public QWidget
{
    Q_OBJECT

public:
    explicit CalculatorForm(QWidget *parent = nullptr);
    ~CalculatorForm() override;

    void setFontSizeText(int size);

signals:
    void resultFontIncreaseRequested();
    void resultFontDecreaseRequested();
    void resultClearRequested();
    void resultTextChanged(const QString &text);
    // Lines shown under the result text; a new result text hides them.
    void resultListChanged(const QString &lines);

public slots:
    void onGetDeltaFromRayClicked();
    void onClearFormClicked();
    void onDeltaSiteChanged(const QString &site);
    void onTresolutionChanged(const QString &text);

private:
    std::unique_ptr<Ui::CalculatorForm> m_ui;
};
