#pragma once

#include <QSpinBox>

// A spin box whose value is an index of a point in the file while it shows
// and takes the point's number in the observation (index + the file's first
// point). Lives in the native form, GUI thread only.
class PointNumberSpinBox : public QSpinBox
{
    Q_OBJECT

public:
    using QSpinBox::QSpinBox;

    // The file's first point; the value shown is value() + this.
    void setNumberOffset(qint64 offset);
    qint64 numberOffset() const { return m_offset; }

protected:
    QString textFromValue(int value) const override;
    int valueFromText(const QString &text) const override;
    QValidator::State validate(QString &text, int &position) const override;

private:
    qint64 m_offset = 0;
};
