#pragma once

#include <QGroupBox>

// A checkable group of the calculators form: its content widget, handed over
// by setContent, shows only while the box is checked. Groups that compute
// publish their reports by resultTextChanged. Owns the content through the
// widget tree; GUI thread.
class CalculatorGroup : public QGroupBox
{
    Q_OBJECT

public:
    explicit CalculatorGroup(QWidget *parent = nullptr);

    // The widget that holds the group's controls, inside the box.
    void setContent(QWidget *content);
    QWidget *content() const { return m_content; }

signals:
    void resultTextChanged(const QString &text);

private:
    QWidget *m_content = nullptr;
};
