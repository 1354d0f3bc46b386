#include "data/savebuffer.h"

#include <QSaveFile>

#include <algorithm>

SaveBuffer::SaveBuffer(QSaveFile &out) : m_out(out)
{
    m_bytes.reserve(m_chunk);
}

void SaveBuffer::append(const char *data, int size)
{
    m_bytes.append(data, size);
    if (m_bytes.size() >= m_chunk)
        flush();
}

bool SaveBuffer::flush()
{
    m_ok = m_ok && writeAll(m_out, m_bytes.constData(), m_bytes.size());
    m_bytes.resize(0);
    return m_ok;
}

bool writeAll(QSaveFile &out, const char *data, qint64 size)
{
    while (size > 0) {
        const qint64 written = out.write(data, size);
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool saveFailure(const QSaveFile &out, QString *error)
{
    if (error)
        *error = out.errorString();
    return false;
}

bool cancelSave(QSaveFile &out, QString *error)
{
    saveFailure(out, error);
    out.cancelWriting();
    return false;
}

bool stoppedSave(QSaveFile &out, QString *error)
{
    out.cancelWriting();
    if (error)
        *error = QStringLiteral("The save was stopped.");
    return false;
}

bool sourceChanged(QSaveFile &out, QString *error)
{
    out.cancelWriting();
    if (error)
        *error = QStringLiteral("The file changed on disk while the extract was written.");
    return false;
}
