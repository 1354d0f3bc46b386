// Feeds arbitrary bytes to the passport parser as a ".pnt" file and, when the
// passport is accepted, to the readers, the validation, the sample accessor
// and the binary extract writer, whose output must read back the same
// samples and header values.

#include "data/nativereader.h"
#include "data/nativetext.h"
#include "fuzzinput.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The name carries a date and a site so that the name-based fallbacks run too.
    const QString path = writeFuzzInput(QStringLiteral("250726_05_N1_00.pnt"), data, size);
    if (path.isEmpty())
        return 0;
    NativeFile passport;
    const qint64 length = parsePassport(path, &passport);
    if (length < 0) {
        if (passport.npoints >= 0)
            std::abort();   // a failure must leave its code in npoints
        return 0;
    }
    if (length > qint64(size))
        std::abort();

    int lastProgress = -1;
    const NativeProgress progress = [&lastProgress](int percent) {
        if (percent < lastProgress || percent < 0 || percent > 100)
            std::abort();
        lastProgress = percent;
        return true;
    };
    NativeFile streamed;
    const bool streamedOk = readBinaryStreamed(path, &streamed, progress);
    NativeFile mapped;
    const bool mappedOk = readBinaryMapped(path, &mapped, {});
    validateNativeFile(streamed);
    validateNativeFile(mapped);
    if (streamedOk && mappedOk && streamed.loaded && mapped.loaded) {
        // Both layouts address the same file: every sample must agree.
        for (int m = 0; m < streamed.nModules; ++m) {
            for (int r = 0; r < streamed.nRays; ++r) {
                for (int c = 0; c < streamed.nChannels; ++c) {
                    for (qint64 p = 0; p < streamed.npoints; ++p) {
                        const float a = nativeSample(streamed, m, r, c, p);
                        const float b = nativeSample(mapped, m, r, c, p);
                        if (!(a == b || (a != a && b != b)))
                            std::abort();
                    }
                }
            }
        }
        // A binary extract of the first module and ray reads back with the
        // same samples.
        NativeSelection selection;
        selection.module = streamed.firstModule;
        selection.ray = streamed.firstRay;
        selection.count = streamed.npoints;
        selection.delta = streamed.delta;
        int moduleIndex = -1;
        QString error;
        if (!checkSelection(streamed, selection, true, &moduleIndex, &error) || moduleIndex != 0)
            std::abort();
        const QString extractPath = fuzzScratchPath(QStringLiteral("250726_05_N1_00_m1_r1.pnt"));
        if (!writeBinaryExtract(extractPath, streamed, selection, &error))
            return 0;   // e.g. no room left on the scratch device
        NativeFile extract;
        if (!readNativeFile(extractPath, &extract) || extract.npoints != streamed.npoints
            || extract.nModules != 1 || extract.nRays != 1 || extract.nChannels != streamed.nChannels)
            std::abort();
        for (int c = 0; c < streamed.nChannels; ++c) {
            for (qint64 p = 0; p < streamed.npoints; ++p) {
                const float a = nativeSample(streamed, 0, 0, c, p);
                const float b = nativeSample(extract, 0, 0, c, p);
                if (std::memcmp(&a, &b, sizeof a) != 0)
                    std::abort();
            }
        }
        if (!sameHeaderValues(streamed, extract))
            std::abort();
    }
    return 0;
}
