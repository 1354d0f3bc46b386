#pragma once

#include "data/nativefile.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

class NativeGraphBuilder;

// Pictures of a native file drawn as the program draws them, by its own plot
// widgets off screen: the native graph (Grafiks) and the dynamic spectrum as
// "Save spectrum all" saves it beside a paired native graph. Plain functions;
// they need a QApplication and run on its thread.

enum class PictureKind { NativeGraph, DynamicSpectrum };

// What the command line asks of each file; unset numbers take the program's
// choice on opening the file.
struct PictureRequest
{
    PictureKind kind = PictureKind::NativeGraph;
    std::optional<qint64> module;
    std::optional<qint64> beam;
    std::optional<qint64> channel;
    std::optional<qint64> first;   // point number as the program shows it
    std::optional<qint64> count;
    int dm = 0;
    QSize size{1200, 600};         // of the native graph
    QSize cell{2, 4};              // of one spectrum cell
};

// The request settled against a file: module, beam and channel numbers as the
// form shows them, the points as indexes in the file, and the delta the form
// derives from the beam.
struct PictureSelection
{
    int module = 0;
    int beam = 0;
    int channel = 0;
    int first = 0;
    int count = 0;
    int dm = 0;
    QString delta;
};

// Fills the selection the program would draw: the file's first module; for
// the graph beam 0 (all beams) where the form offers it, else the first beam,
// channel 0 (the channel sum) and the whole file; for the spectrum the first
// beam and at most defaultDynamicPoints points. A count past the end of the
// file is cut there. Fails with a text naming the file's ranges.
bool pictureSelection(const NativeFile &file, const PictureRequest &request, PictureSelection *selection,
                      QString *error);

// The picture of a selection of the builder's file; null when it has nothing
// to draw.
QImage drawNativeGraph(NativeGraphBuilder &builder, const PictureSelection &selection, const QSize &size);
QImage drawDynamicSpectrum(NativeGraphBuilder &builder, const PictureSelection &selection, const QSize &cell);

// The name the program proposes when it saves this picture (module, beam,
// point count, the alpha of the middle point, "native" or "dynamic").
QString defaultPictureName(const NativeGraphBuilder &builder, PictureKind kind, const PictureSelection &selection);

// Writes the image as PNG through an atomic save file: on failure nothing is
// left at the path and error says why.
bool writePicture(const QImage &image, const QString &path, QString *error);
