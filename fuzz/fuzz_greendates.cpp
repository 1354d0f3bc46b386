// Feeds arbitrary bytes to the green-dates reader as a directory's file. Every
// date it reads must be a non-empty token without white space, the file must
// read as its text does, and the text saved for those dates must read back as
// the same dates.

#include "data/greendates.h"
#include "fuzzinput.h"

#include <QFileInfo>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = writeFuzzInput(greenDatesFileName(), data, size);
    if (path.isEmpty())
        return 0;
    const QSet<QString> dates = readGreenDates(QFileInfo(path).path());
    for (const QString &date : dates) {
        if (date.isEmpty() || date.simplified() != date || date.contains(QLatin1Char(' ')))
            std::abort();
    }
    if (dates != parseGreenDates(QString::fromUtf8(reinterpret_cast<const char *>(data), int(size))))
        std::abort();
    const QByteArray saved = greenDatesFileText(dates);
    if (parseGreenDates(QString::fromUtf8(saved.constData(), saved.size())) != dates)
        std::abort();
    return 0;
}
