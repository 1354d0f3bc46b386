#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <cstring>

class QSaveFile;

// Collects output and hands it to an unbuffered save file in large pieces.
// A short write is repeated, so that the system reports why it stopped;
// QSaveFile::commit() on its own misses a short final flush of a buffered file
// and would keep a truncated file. Used by one writer on one thread; the save
// file must outlive it.
class SaveBuffer
{
public:
    explicit SaveBuffer(QSaveFile &out);

    void append(const char *data, int size);
    void append(const QByteArray &bytes) { append(bytes.constData(), bytes.size()); }
    // Writes what was collected; false once any write failed.
    bool flush();
    bool ok() const { return m_ok; }

private:
    static constexpr int m_chunk = 64 * 1024;
    QSaveFile &m_out;
    QByteArray m_bytes;
    bool m_ok = true;
};

// Writes all the bytes, repeating short writes; false when the system refuses.
bool writeAll(QSaveFile &out, const char *data, qint64 size);

// The endings of a failed save, each returning false for the writer to pass on.
// The save file's own error text.
bool saveFailure(const QSaveFile &out, QString *error);
// The error text, and the temporary file removed.
bool cancelSave(QSaveFile &out, QString *error);
// The caller asked the writer to stop.
bool stoppedSave(QSaveFile &out, QString *error);
// The source file shrank on disk while it was read: values read past its new
// end are zeros, so nothing is kept.
bool sourceChanged(QSaveFile &out, QString *error);

// The 4 little-endian bytes of a float, as every sample file of the program holds them.
inline void putLittleEndianFloat(float value, char *out)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, out);
}
