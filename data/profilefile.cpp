#include "data/profilefile.h"

#include "data/profilefilename.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr char periodPrefix[] = "period=";
constexpr int periodPrefixLength = 7;
// Longer parts are no numbers of a profile; they are skipped without parsing.
constexpr int maxNumberText = 1024;
constexpr qint64 readChunk = 1 << 20;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// The usual form of profile numbers, "-12.3456": an optional minus, at most
// 15 digits and an optional point. The digits make an exact integer and the
// power of ten is exact, so one division rounds as a full conversion does.
bool parsePlainDecimal(const char *p, const char *end, double *value)
{
    static const double powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool negative = p < end && *p == '-';
    if (negative)
        ++p;
    if (end - p > 16)
        return false;
    quint64 mantissa = 0;
    int digits = 0;
    int fraction = -1;   // digits after the point; -1 before it
    for (; p < end; ++p) {
        if (*p >= '0' && *p <= '9') {
            mantissa = mantissa * 10 + quint64(*p - '0');
            ++digits;
            if (fraction >= 0)
                ++fraction;
        } else if (*p == '.' && fraction < 0) {
            fraction = 0;
        } else {
            return false;
        }
    }
    if (digits == 0 || digits > 15)
        return false;
    const double magnitude = double(mantissa) / powers[fraction > 0 ? fraction : 0];
    *value = negative ? -magnitude : magnitude;
    return true;
}

// A whole decimal number (sign, digits, point, exponent), finite and within
// the value limit. Independent of the locale.
bool parseNumber(const char *begin, const char *end, double *value)
{
    if (begin < end && *begin == '+') {
        ++begin;
        if (begin < end && *begin == '-')
            return false;
    }
    if (parsePlainDecimal(begin, end, value))
        return true;
    double v = 0.0;
    const std::from_chars_result result = std::from_chars(begin, end, v);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(v)
        || std::fabs(v) > ProfileFile::valueLimit)
        return false;
    *value = v;
    return true;
}

} // namespace

// Streams the bytes of a profile file into a ProfileFile, in chunks of any
// size: a line, a period text or a number may span chunks.
class ProfileFile::Parser
{
public:
    explicit Parser(ProfileFile *file) : m_file(file) {}

    // False once a limit of the file is reached; the rest is to be ignored.
    bool feed(const char *data, qint64 size);
    void finish();

private:
    enum class Line { Start, Period, Values, Skipped };

    void startLine();
    bool endPeriodLine();
    bool endNumber(const char *data, qint64 end);
    void keepNumberText(const char *data, qint64 size);
    void closeBlock();

    ProfileFile *m_file;
    Line m_line = Line::Start;
    int m_prefix = 0;            // characters of "period=" matched at the line start
    int m_block = -1;            // the block the values go to; -1: none
    bool m_lastBlank = false;    // the previous character was ' ' (" *" reads as a blank)
    bool m_stopped = false;
    qint64 m_numberStart = -1;   // start of the current part within the chunk
    QByteArray m_carry;          // the part's text from earlier chunks
    bool m_carryTooLong = false;
    QByteArray m_periodText;
    bool m_periodTooLong = false;
};

void ProfileFile::Parser::startLine()
{
    m_line = Line::Start;
    m_prefix = 0;
    m_lastBlank = false;
}

void ProfileFile::Parser::closeBlock()
{
    if (m_block >= 0)
        m_file->m_blocks[m_block].end = m_file->m_values.size();
    m_block = -1;
}

bool ProfileFile::Parser::endPeriodLine()
{
    closeBlock();
    const QByteArray text = m_periodText.trimmed();
    const bool tooLong = m_periodTooLong;
    m_periodText.clear();
    m_periodTooLong = false;
    double period = 0.0;
    if (tooLong || !parseNumber(text.constData(), text.constData() + text.size(), &period))
        return true;
    if (m_file->m_blocks.size() >= maxBlocks)
        return false;
    Block block;
    block.period = period == 0.0 ? 0.0 : period;   // one zero: -0 would print "-0.0000"
    block.begin = block.end = m_file->m_values.size();
    m_file->m_blocks.append(block);
    m_block = m_file->m_blocks.size() - 1;
    return true;
}

void ProfileFile::Parser::keepNumberText(const char *data, qint64 size)
{
    if (m_carryTooLong || m_carry.size() + size > maxNumberText) {
        m_carryTooLong = true;
        return;
    }
    m_carry.append(data, int(size));
}

// Ends the part that runs up to data[end]: a number becomes a value.
bool ProfileFile::Parser::endNumber(const char *data, qint64 end)
{
    if (m_numberStart < 0 && m_carry.isEmpty() && !m_carryTooLong)
        return true;
    double value = 0.0;
    bool ok = false;
    if (m_carry.isEmpty() && !m_carryTooLong) {
        ok = end - m_numberStart <= maxNumberText && parseNumber(data + m_numberStart, data + end, &value);
    } else {
        if (m_numberStart >= 0)
            keepNumberText(data + m_numberStart, end - m_numberStart);
        ok = !m_carryTooLong && parseNumber(m_carry.constData(), m_carry.constData() + m_carry.size(), &value);
        m_carry.clear();
        m_carryTooLong = false;
    }
    m_numberStart = -1;
    if (!ok)
        return true;
    if (m_file->m_values.size() >= maxValues)
        return false;
    m_file->m_values.append(value);
    return true;
}

bool ProfileFile::Parser::feed(const char *data, qint64 size)
{
    if (m_stopped)
        return false;
    qint64 i = 0;
    while (i < size) {
        switch (m_line) {
        case Line::Start:
            if (m_prefix < periodPrefixLength && data[i] == periodPrefix[m_prefix]) {
                ++i;
                if (++m_prefix == periodPrefixLength)
                    m_line = Line::Period;
                break;
            }
            // An ordinary line: what matched of "period=" is its first text.
            m_line = m_block >= 0 ? Line::Values : Line::Skipped;
            if (m_line == Line::Values && m_prefix > 0)
                keepNumberText(periodPrefix, m_prefix);
            break;
        case Line::Period: {
            const void *newline = std::memchr(data + i, '\n', size_t(size - i));
            const qint64 end = newline ? static_cast<const char *>(newline) - data : size;
            // A period needs no more than a number's length.
            if (m_periodText.size() + (end - i) > maxNumberText)
                m_periodTooLong = true;
            else
                m_periodText.append(data + i, int(end - i));
            i = end;
            if (newline) {
                ++i;
                if (!endPeriodLine()) {
                    m_stopped = true;
                    return false;
                }
                startLine();
            }
            break;
        }
        case Line::Skipped: {
            const void *newline = std::memchr(data + i, '\n', size_t(size - i));
            if (!newline)
                return true;
            i = static_cast<const char *>(newline) - data + 1;
            startLine();
            break;
        }
        case Line::Values:
            for (; i < size; ++i) {
                const char c = data[i];
                if (c == '\n' || isBlank(c)) {
                    if (!endNumber(data, i)) {
                        m_stopped = true;
                        return false;
                    }
                    m_lastBlank = c == ' ';
                    if (c == '\n') {
                        ++i;
                        startLine();
                        break;
                    }
                } else if (c == '*' && m_lastBlank) {
                    m_lastBlank = false;
                } else {
                    m_lastBlank = false;
                    if (m_numberStart < 0)
                        m_numberStart = i;
                }
            }
            if (i >= size && m_numberStart >= 0) {
                keepNumberText(data + m_numberStart, size - m_numberStart);
                m_numberStart = -1;
            }
            break;
        }
    }
    return true;
}

void ProfileFile::Parser::finish()
{
    if (!m_stopped) {
        if (m_line == Line::Period)
            endPeriodLine();
        else if (m_line == Line::Values)
            endNumber(nullptr, 0);
    }
    closeBlock();
    m_file->index();
}

ProfileFile ProfileFile::parse(const QByteArray &text, int precision, int chunkSize)
{
    ProfileFile file;
    file.m_precision = precision;
    Parser parser(&file);
    const int step = chunkSize > 0 ? chunkSize : qMax(1, text.size());
    for (int start = 0; start < text.size(); start += step) {
        if (!parser.feed(text.constData() + start, qMin(step, text.size() - start)))
            break;
    }
    parser.finish();
    return file;
}

ProfileFile ProfileFile::read(const QString &path)
{
    ProfileFile file;
    const QFileInfo info(path);
    file.m_precision = profilePeriodPrecision(info.fileName());
    // Only regular files: a pipe or a device could block or never end.
    QFile in(path);
    if (!info.isFile() || !in.open(QIODevice::ReadOnly))
        return file;
    Parser parser(&file);
    const qint64 chunk = qBound<qint64>(1, info.size(), readChunk);
    QByteArray buffer(int(chunk), Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), chunk);
        if (n <= 0 || !parser.feed(buffer.constData(), n))
            break;
    }
    parser.finish();
    return file;
}

void ProfileFile::index()
{
    m_byPeriod.resize(m_blocks.size());
    for (int i = 0; i < m_blocks.size(); ++i) {
        m_byPeriod[i] = i;
        m_byText[periodText(m_blocks.at(i).period)].append(i);
    }
    std::stable_sort(m_byPeriod.begin(), m_byPeriod.end(),
                     [this](int a, int b) { return m_blocks.at(a).period < m_blocks.at(b).period; });
}

QString ProfileFile::periodText(double period) const
{
    return QString::number(period, 'f', m_precision);
}

bool ProfileFile::hasValues() const
{
    return !m_values.isEmpty();
}

QStringList ProfileFile::periods() const
{
    // Periods in ascending order print to texts in ascending order, so equal
    // texts are neighbours.
    QStringList texts;
    for (const int block : m_byPeriod) {
        const QString text = periodText(m_blocks.at(block).period);
        if (texts.isEmpty() || texts.last() != text)
            texts.append(text);
    }
    return texts;
}

// Blocks that match a period text, in file order: those printed as that
// text, and those within 1e-9 of its number (the rounding of a printed
// period may put it further away than that).
QVector<int> ProfileFile::matchingBlocks(const QString &text) const
{
    QVector<int> blocks = m_byText.value(text);
    bool ok = false;
    const double target = text.toDouble(&ok);
    if (ok && std::isfinite(target)) {
        const auto first = std::lower_bound(m_byPeriod.begin(), m_byPeriod.end(), target - 1e-9,
                                            [this](int block, double p) { return m_blocks.at(block).period < p; });
        for (auto it = first; it != m_byPeriod.end() && m_blocks.at(*it).period <= target + 1e-9; ++it) {
            if (std::fabs(m_blocks.at(*it).period - target) < 1e-9)
                blocks.append(*it);
        }
        std::sort(blocks.begin(), blocks.end());
        blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
    }
    return blocks;
}

QVector<double> ProfileFile::values(const QString &periodText) const
{
    QVector<double> out;
    for (const int b : matchingBlocks(periodText)) {
        const Block &block = m_blocks.at(b);
        out.append(m_values.mid(block.begin, block.end - block.begin));
    }
    return out;
}

bool ProfileFile::maximumValue(double *maximum) const
{
    const QStringList texts = periods();
    if (texts.isEmpty())
        return false;
    double best = 0.0;
    for (int t = 0; t < texts.size(); ++t) {
        bool any = false;
        double largest = 0.0;
        for (const int b : matchingBlocks(texts.at(t))) {
            const Block &block = m_blocks.at(b);
            for (int i = block.begin; i < block.end; ++i) {
                if (!any || m_values.at(i) > largest)
                    largest = m_values.at(i);
                any = true;
            }
        }
        if (t == 0 || largest > best)
            best = largest;
    }
    *maximum = best;
    return true;
}

bool readProfilePeriods(const QString &path, QStringList *periods)
{
    const QStringList texts = ProfileFile::read(path).periods();
    if (periods)
        *periods = texts;
    return !texts.isEmpty();
}

bool readProfileValues(const QString &path, const QString &periodText, QVector<double> *values)
{
    const QVector<double> found = ProfileFile::read(path).values(periodText);
    if (values)
        *values = found;
    return !found.isEmpty();
}
