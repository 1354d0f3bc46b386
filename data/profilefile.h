#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// The contents of one average-profile file, read in one pass: its profile
// blocks ("period=" line and the values after it) in file order. A value
// object: built by read() or parse(), never changed afterwards, safe to read
// from any thread; a changed file needs a new read.
//
// Text rules: a line starting with "period=" opens a block whose period is the
// rest of the line; every other line belongs to the block opened last, with
// " *" read as a blank, split at white space, and each part that is a decimal
// number is one value. Lines before the first block are ignored. Parts that
// are no decimal number are skipped, and so are "nan" and "inf" texts and
// numbers beyond +-1e100, which no profile holds and which would overflow the
// sums of its statistics. A "period=" line without a number opens no block:
// the values after it belong to no period. Reading stops after maxBlocks
// blocks or maxValues values.
class ProfileFile
{
public:
    static constexpr double valueLimit = 1e100;
    static constexpr int maxBlocks = 1 << 16;
    static constexpr int maxValues = 1 << 26;

    // The file at path, with the period precision of its name. A path that is
    // no regular file or cannot be opened reads as an empty file.
    static ProfileFile read(const QString &path);
    // Text as the contents of a file whose periods print with that many
    // decimals. A chunkSize above 0 hands the text over in pieces of that
    // size, as read() hands over a file.
    static ProfileFile parse(const QByteArray &text, int precision, int chunkSize = 0);

    int precision() const { return m_precision; }
    // True when at least one block holds a value.
    bool hasValues() const;

    // The periods, ascending, printed in fixed notation with the file's
    // precision, each text once (so periods within 1e-12 are one period).
    // Empty when the file has no block.
    QStringList periods() const;

    // The values of every block whose period prints to periodText with the
    // file's precision or lies within 1e-9 of its number, concatenated in
    // file order. Empty when no such block holds a value.
    QVector<double> values(const QString &periodText) const;

    // The largest value of each listed period (0 for a period without
    // values), and the largest of those; false when the file has no period.
    bool maximumValue(double *maximum) const;

private:
    struct Block
    {
        double period = 0.0;
        int begin = 0;   // first value in m_values
        int end = 0;     // one past the last
    };
    class Parser;

    QVector<int> matchingBlocks(const QString &periodText) const;
    QString periodText(double period) const;
    void index();

    int m_precision = 4;
    QVector<Block> m_blocks;
    QVector<double> m_values;
    QVector<int> m_byPeriod;              // block indexes sorted by period
    QHash<QString, QVector<int>> m_byText; // block indexes by printed period
};

// One-call readers of a profile file. False when the file lists no period /
// holds no value for the period.
bool readProfilePeriods(const QString &path, QStringList *periods);
bool readProfileValues(const QString &path, const QString &periodText, QVector<double> *values);
