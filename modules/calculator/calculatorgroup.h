#pragma once

#include <QGroupBox>

// A checkable group of the calculators form: its content widget shows only
// while the box is checked. Groups that compute publish their reports by
// resultTextChanged. Owns the content through the widget tree; GUI thread.
class CalculatorGroup : public QGroupBox
{
    Q_OBJECT

public:
    CalculatorGroup(const QString &title, const QString &boxName, const QString &contentName, bool checked,
                    QWidget *parent = nullptr);

    QWidget *content() const { return m_content; }

signals:
    void resultTextChanged(const QString &text);

private:
    QWidget *m_content = nullptr;
};
