// Feeds arbitrary bytes to the native text reader as a ".txt" file.

#include "data/nativereader.h"
#include "data/nativetext.h"
#include "fuzzinput.h"

#include <cstdlib>

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
    for (int c = 0; c < file.nChannels; ++c)
        nativeSample(file, 0, 0, c, file.npoints - 1);
    return 0;
}
