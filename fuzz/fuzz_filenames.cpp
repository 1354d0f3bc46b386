// Feeds arbitrary names and paths to the rules that read dates, sites,
// modules and rays, right ascensions and declinations out of file names.

#include "astro/filenames.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // File names reach the program the way the file system hands them over.
    const QString name = QFile::decodeName(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    dateFromFileName(name);
    const QString plosh = ploshFromPath(name);
    static const QRegularExpression site(QStringLiteral("^(N[0-9])?$"));
    if (!site.match(plosh).hasMatch())
        std::abort();
    int module = -1;
    int ray = -1;
    if (moduleRayFromFileName(name, &module, &ray) && (module < 0 || module > 99 || ray < 0))
        std::abort();
    moduleRayTag(name);
    QString alpha, delta;
    if (alphaDeltaFromFileName(name, &alpha, &delta) && (alpha.size() != 8 || alpha != alphaFromFileName(name)))
        std::abort();
    jNameFromFileName(name);
    deltaFromFileName(name);
    defaultTresolutionText(name, plosh);
    hasCosSuffix(name);
    return 0;
}
