// Feeds arbitrary bytes to the native text reader as a ".txt" file; what it
// accepts must survive a binary extract unchanged, samples and header values.

#include "data/nativereader.h"
#include "data/nativetext.h"
#include "fuzzinput.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = writeFuzzInput(QStringLiteral("J053431_file250726_05_N1_m3_r5_n10.txt"), data, size);
    if (path.isEmpty())
        return 0;
    NativeFile file;
    if (!readNativeText(path, &file)) {
        if (file.npoints >= 0)
            std::abort();   // a failure must leave its code in npoints
        return 0;
    }
    // A text file holds one module and one ray, and the samples it declares.
    if (file.nModules != 1 || file.nRays != 1 || file.sampleCount() != file.declaredSampleCount())
        std::abort();
    validateNativeFile(file);

    // A binary extract of the whole record reads back with the same samples.
    NativeSelection selection;
    selection.module = file.firstModule;
    selection.ray = file.firstRay;
    selection.count = file.npoints;
    selection.delta = file.delta;
    const QString extractPath = fuzzScratchPath(QStringLiteral("250726_05_N1_00_m1_r1.pnt"));
    QString error;
    if (!writeBinaryExtract(extractPath, file, selection, &error))
        return 0;   // e.g. no room left on the scratch device
    NativeFile extract;
    const bool extractRead = readNativeFile(extractPath, &extract);
    // Text files carry no source, so a site N4 extract of one names no
    // receiver position, which the passport of site N4 requires.
    if (!extractRead && file.plosh == QLatin1String("N4") && extract.npoints == NativeError::BadHeader)
        return 0;
    if (!extractRead || extract.npoints != file.npoints || extract.nChannels != file.nChannels)
        std::abort();
    for (int c = 0; c < file.nChannels; ++c) {
        for (qint64 p = 0; p < file.npoints; ++p) {
            const float a = nativeSample(file, 0, 0, c, p);
            const float b = nativeSample(extract, 0, 0, c, p);
            if (std::memcmp(&a, &b, sizeof a) != 0)
                std::abort();
        }
    }
    if (!sameHeaderValues(file, extract))
        std::abort();
    return 0;
}
