#pragma once

#include "tools/orvalistool/toolcommand.h"

#include "data/nativefile.h"

#include <optional>

// "export FILE... --format fil|dat|pnt|txt -o OUT": one beam of each file as
// a SIGPROC filterbank, its channel sum at a dispersion measure as a PRESTO
// time series, or the program's own binary and text extracts, each written
// through an atomic save file.
class ExportCommand : public ToolCommand
{
public:
    QString name() const override { return QStringLiteral("export"); }
    QString summary() const override;
    void describe(QCommandLineParser &parser) const override;
    ToolStatus run(const QCommandLineParser &parser, ToolConsole &console) const override;
};

enum class ExportFormat { Filterbank, Presto, Binary, Text };

// What the command line asks of each file; unset numbers take the file's own.
struct ExportRequest
{
    ExportFormat format = ExportFormat::Filterbank;
    std::optional<qint64> module;
    std::optional<qint64> beam;
    std::optional<qint64> first;   // point number as the program shows it
    std::optional<qint64> count;
    double dm = 0.0;
};

// The selection of a request in a loaded file: the file's first module and
// beam unless named, points from `first` (its first point unless named) to
// the end unless counted, and the delta the program writes into extracts (the
// beam's declination). Fails with the program's text and the file's ranges.
bool exportSelection(const NativeFile &file, const ExportRequest &request, NativeSelection *selection,
                     QString *error);

// The output of one input: OUT itself, or in the directory OUT the input's
// base name with "_m<module>_r<beam>" (and "_dm<dm>" for a time series) and
// the format's suffix (none for a time series: its two files add theirs).
QString exportOutputPath(const QString &input, const QString &output, bool intoDirectory,
                         const ExportRequest &request, const NativeSelection &selection);
