#pragma once

#include <QString>

// Decisions of the native data module that need no window: clamping of point
// ranges, the ranges that follow zooms and scrolls, typed search points,
// centring, the animation step and default file names of saved pictures and
// extracts. Plain functions without state.

// A run of sample points inside a file.
struct PointRange
{
    int first = 0;
    int count = 0;
};

// Largest number of points the dynamic spectrum takes from the native graph;
// beyond it the dispersion lines can no longer be seen.
constexpr int maxDynamicSpectrumPoints = 12000;

// Points the dynamic spectrum shows of a newly opened file (fewer when the
// file is shorter).
constexpr int defaultDynamicPoints = 1000;

// The dynamic spectrum's look as the form starts: cells of 2 x 4 px, the axis
// font and pen, the signal trace's pen and band. The starting values of the
// form's "Pixel size", "Font size", "Scale thickness", "Line thickness" and
// "Graph height" in nativeform.ui, for pictures drawn without the form.
struct SpectrumLook
{
    int pixelWidth = 2;
    int pixelHeight = 4;
    int fontSize = 9;
    int scaleThickness = 1;
    int lineThickness = 1;
    int sumHeight = 100;
};

// Beam 0 (every beam on one graph) is offered only for a module of eight
// beams numbered from 1.
bool allBeamsSelectable(int firstRay, int nRays);

// A points field that is not a decimal number counts as 0.
int pointsFieldValue(const QString &text);

// first into [0, npoints - 1], count into [1, npoints - first]; both 0 for an
// empty file.
PointRange clampPointRange(qint64 first, qint64 count, int npoints);

// Whole points inside the visible x range [a, b]: first = a rounded up,
// last = b rounded down, both clamped into [0, npoints - 1]; count 0 when
// nothing remains.
PointRange visiblePointRange(double a, double b, int npoints);

// The range the native fields follow after a zoom or pan: as visiblePointRange
// but never fewer than one point.
PointRange followedPointRange(double a, double b, int npoints);

// The first point that centres a window of count points on the point, kept
// inside the file: max(0, min(npoints - count, point - count / 2)).
int centredFirstPoint(qint64 point, int count, int npoints);

// A typed search point: a decimal 64-bit integer among the numbers of the
// file's points, firstNumber .. firstNumber + npoints - 1; gives its index.
bool parseSearchPoint(const QString &text, qint64 firstNumber, int npoints, int *index);

// The point of a click at x on the native graph: rounded half away from zero
// and clamped into [0, npoints - 1].
int clickedPoint(double x, int npoints);

// Columns of a scrolled dynamic spectrum that the viewport shows. The range
// (first, count) starts at widget x `imageX`; cellWidth is at least 1.
PointRange visibleSpectrumColumns(int first, int count, int cellWidth, int imageX,
                                  int scrollPosition, int viewportWidth);

// Points shown at once by the animation: viewport width / cell width, at most
// npoints, at least 1.
int animationWindowPoints(int viewportWidth, int cellWidth, int npoints);

// One timer tick of the animation.
struct AnimationStep
{
    int value = 0;
    double accumulator = 0.0;
    bool finished = false;    // the window reached the end of the file
};
AnimationStep animationStep(int value, int maximum, int speed, qint64 elapsedMs, double accumulator);

// Which of the native graph and the dynamic spectrum are on; paired when both
// are, sharing module, beam, dispersion and search point.
enum class NativePairing { NothingOn, NativeOnly, DynamicOnly, Paired };

// What switching the native or the dynamic group on or off leads to.
struct PairingChange
{
    NativePairing mode = NativePairing::NothingOn;
    // False when the dynamic group may not come on because the native graph
    // shows every beam: it goes back off and nothing else changes.
    bool accepted = true;
    // Which side's module, beam, dispersion and search point the pair takes.
    bool nativeToDynamic = false;
    bool dynamicToNative = false;
};
// The native group switched while the dynamic group is (or is not) on.
PairingChange nativeGroupSwitched(bool on, bool dynamicOn);
// The dynamic group switched while the native group is (or is not) on,
// showing beam nativeRay (0: every beam).
PairingChange dynamicGroupSwitched(bool on, bool nativeOn, int nativeRay);

// "J%1_file%2_m%3_r%4_n%5%6.%7": the first six digits of the alpha, the source
// name without directory, suffix and a trailing "_00" or "_00_p<n>-<n>", the
// module, beam, number (not below 0), "_" + tag when a tag is given, extension.
QString defaultSaveFileName(const QString &sourceName, const QString &alpha, int module, int beam,
                            qint64 number, const QString &tag, const QString &extension);

// "pnt" or "pnthr" when the parent file has that suffix (any case), else "pnt".
QString binaryExtractExtension(const QString &parentFileName);

// Header lines as the rich text the info panel shows: escaped, one line each.
QString headerLinesHtml(const QString &lines);
