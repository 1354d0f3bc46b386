#include "modules/native/pointnumberspinbox.h"

#include <algorithm>

void PointNumberSpinBox::setNumberOffset(qint64 offset)
{
    if (offset == m_offset)
        return;
    m_offset = offset;
    // Setting the prefix rewrites the shown text and forgets the cached size
    // hints, which depend on the offset as well.
    setPrefix(prefix());
}

QString PointNumberSpinBox::textFromValue(int value) const
{
    return QString::number(m_offset + value);
}

int PointNumberSpinBox::valueFromText(const QString &text) const
{
    const qint64 index = text.trimmed().toLongLong() - m_offset;
    return int(std::clamp<qint64>(index, minimum(), maximum()));
}

QValidator::State PointNumberSpinBox::validate(QString &text, int &) const
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return QValidator::Intermediate;
    bool ok = false;
    const qint64 index = trimmed.toLongLong(&ok) - m_offset;
    if (!ok)
        return QValidator::Invalid;
    // A number being typed may pass through values outside the range.
    return index >= minimum() && index <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}
