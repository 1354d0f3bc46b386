#pragma once

#include "data/nativefile.h"

#include <QString>
#include <QStringList>

#include <functional>

// Readers of the binary native files (".pnt", ".pnthr"): the passport parser,
// the streamed and the memory-mapped sample readers, sample addressing,
// selection checks and validation. Plain functions; a reader writes only the
// record it is given, so it may run on any thread.

// Receives a percentage 0..100, at least once per chunk of work (values
// never decrease and may repeat); may be empty. Returning false asks the read
// to stop: it ends within one chunk and fails with NativeError::Cancelled.
using NativeProgress = std::function<bool(int)>;

// Files of this size and more are mapped instead of read into memory.
constexpr qint64 nativeMappedThreshold = qint64(1) << 31;

// Whether readNativeFile maps this file: a binary file of nativeMappedThreshold
// bytes or more (".txt" files are always read as text).
bool isMappedNativeFile(const QString &path);

// Bytes of the reusable buffer of the streamed reader.
constexpr qint64 nativeReadChunkBytes = 4 * 1024 * 1024;

// Largest number of floats one sample array can hold.
qint64 maxSampleArraySize();

// Parses the passport into the record (samples are left alone). Returns the
// passport length in bytes, or a negative NativeError code, also stored in npoints.
qint64 parsePassport(const QString &path, NativeFile *file);

// Reads a native file of any kind: ".txt" as text, 2 GiB and more mapped,
// anything else streamed. On failure npoints holds the error code.
bool readNativeFile(const QString &path, NativeFile *file, const NativeProgress &progress = {});
bool readBinaryStreamed(const QString &path, NativeFile *file, const NativeProgress &progress = {});
bool readBinaryMapped(const QString &path, NativeFile *file, const NativeProgress &progress = {});

// True when the file is exactly passportLength + 4 * the product of the
// dimensions bytes long. A negative dimension or a product that does not fit
// in 64 bits never matches.
bool checkFileSize(const QString &path, qint64 passportLength, qint64 npoints, qint64 nModules,
                   qint64 nRays, qint64 nChannels);

// Sample of 0-based (module, ray, channel, point); 0 outside the data.
float nativeSample(const NativeFile &file, int moduleIndex, int rayIndex, int channel, qint64 point);

// True when the record's mapped file shrank on disk: values read from it may
// be zeros in place of lost data. Every pass over the samples asks this after
// reading and drops its result when true.
bool nativeSamplesLost(const NativeFile &file);

// Checks that the selection addresses loaded data. On success stores the
// 0-based module index; on failure stores the user's error text.
bool checkSelection(const NativeFile &file, const NativeSelection &selection, bool singleRayRequired,
                    int *moduleIndex, QString *error);

// Problems that prevent displaying the record; empty when it can be shown.
QStringList validateNativeFile(const NativeFile &file);

// Text form of a sample interval value: the decimal shifted left by `shift`
// places, printed with as many decimals as the value needs (0..16).
QString intervalText(const QString &valueText, int shift);

// The text without leading and trailing ASCII white space. Header values are
// read byte for byte as Latin-1, so bytes such as A0 and 85 (parts of UTF-8
// characters) belong to the value and are kept.
QString trimmedHeaderValue(const QString &text);

// Splits a "date_begin"/"time_begin" value "<local> UTC <utc>" into its halves;
// false (both halves empty) when the value does not have that shape.
bool splitBeginHalves(const QString &value, QString *local, QString *utc);
