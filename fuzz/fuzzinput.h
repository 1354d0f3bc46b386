#pragma once

#include "data/nativefile.h"

#include <QString>

#include <cstddef>
#include <cstdint>

// Writes one fuzz input to a file of the given name in a per-process
// temporary directory (in memory when /dev/shm exists) and returns its path,
// or an empty text when it cannot be written. The directory lives until the
// process ends; each call replaces the previous file of that name.
QString writeFuzzInput(const QString &fileName, const uint8_t *data, size_t size);
// Path of a further file in the same directory, for outputs of the code under test.
QString fuzzScratchPath(const QString &fileName);

// A header value as an extract writes it and a reader reads it back: line
// breaks and tabs become blanks, outer blanks go; every other byte stays.
QString asWritten(QString value);
// True when an extract read back carries the header values of the record it
// was cut from, byte for byte (the source only where the writer puts it).
bool sameHeaderValues(const NativeFile &source, const NativeFile &extract);
