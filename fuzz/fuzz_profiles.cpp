// Feeds arbitrary bytes to the average-profile reader: read whole, in pieces
// and from a file, it must give the same periods and values, and every value
// is finite and within the reader's limit.

#include "data/profilefile.h"
#include "fuzzinput.h"

#include <cmath>
#include <cstdlib>

namespace {

void checkSame(const ProfileFile &a, const ProfileFile &b)
{
    const QStringList periods = a.periods();
    if (b.periods() != periods || a.hasValues() != b.hasValues())
        std::abort();
    for (const QString &period : periods) {
        if (a.values(period) != b.values(period))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), int(size));
    const ProfileFile whole = ProfileFile::parse(text, 6);
    bool anyValue = false;
    for (const QString &period : whole.periods()) {
        const QVector<double> values = whole.values(period);
        anyValue = anyValue || !values.isEmpty();
        for (const double v : values) {
            if (!std::isfinite(v) || std::fabs(v) > ProfileFile::valueLimit)
                std::abort();
        }
    }
    // Every block that holds a value is read by its own period.
    if (anyValue != whole.hasValues())
        std::abort();
    double maximum = 0.0;
    if (whole.maximumValue(&maximum) == whole.periods().isEmpty() || !std::isfinite(maximum))
        std::abort();

    checkSame(whole, ProfileFile::parse(text, 6, int(1 + size % 7)));
    const QString path = writeFuzzInput(QStringLiteral("p2021.03.04_dm12_p0.714519_s6.txt"), data, size);
    if (!path.isEmpty())
        checkSame(whole, ProfileFile::read(path));
    return 0;
}
