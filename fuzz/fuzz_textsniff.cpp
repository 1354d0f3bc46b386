// Feeds arbitrary bytes to the directory listing's quick look at ".txt"
// files: it may refuse only what the text reader refuses, and choosing the
// file in the open dialog must agree with it.

#include "data/nativelisting.h"
#include "data/nativetext.h"
#include "fuzzinput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = writeFuzzInput(QStringLiteral("J053431_file250726_05_N1_m3_r5_n10.txt"), data, size);
    if (path.isEmpty())
        return 0;
    const bool listed = isNativeTextFile(path);
    NativeFile file;
    if (readNativeText(path, &file) && !listed)
        std::abort();
    QString dir, selected, error;
    QVector<NativeFileEntry> list;
    if (prepareNativeFileSelection(path, &dir, &list, &selected, &error) != listed)
        std::abort();
    return 0;
}
