#pragma once

#include "astro/timecoords.h"
#include "data/nativefile.h"
#include "plot/graphspec.h"

#include <QHash>
#include <QString>
#include <QVector>

#include <functional>

// Turns the loaded native record into graph descriptions: one curve per ray
// of a channel or of the dispersed channel sum, with point, Moscow-time and
// alpha axis rows. Owns the record (samples shared, never copied) and the
// cache of whole-file channel sums, which a new record or a new module or
// dispersion invalidates. No widgets; used on the GUI thread.
class NativeGraphBuilder
{
public:
    // Takes the record over; empties the channel-sum cache.
    void setFile(NativeFile file);
    void clear();

    const NativeFile &file() const { return m_file; }
    bool hasData() const { return m_file.loaded && m_file.npoints > 0; }
    int npoints() const { return hasData() ? m_file.npoints : 0; }

    GraphSpec buildGraphSpec(int module, int beam, int channel, int first, int count,
                             const QString &delta, bool rightPanel, int disp);
    QVector<GraphSeries> buildNativeSeries(int module, int beam, int channel, int first, int count,
                                           int disp);
    // Dispersed sum of all frequency channels of one ray, points first ..
    // first + count - 1, cut from a sum of the whole file computed once.
    QVector<double> channelSumCached(int module, int rayIndex, int disp, int first, int count);

    // The rows of a dynamic spectrum: one per frequency channel of the beam
    // (the total left out), points first .. first + count - 1 cut at the end
    // of the file; empty rows when nothing of the range is in the file.
    QVector<QVector<float>> spectrumRows(int module, int beam, int first, int count) const;

    // The number the point at an index of the file is shown by (firstPoint + index).
    qint64 pointNumber(qint64 index) const;
    // pointNumber as the text the form shows and takes.
    QString pointText(qint64 index) const;

    // Right ascension of the point at an index of the file; decimals -1 picks
    // them from the sample interval. Empty when the start, the interval or the
    // delta is unusable.
    QString alphaTextAt(qint64 point, const QString &delta, int decimals) const;
    // alphaTextAt as a function that holds its own copy of what it needs, so it
    // stays valid when the record is replaced. Empty texts when unusable.
    std::function<QString(qint64)> alphaFunction(const QString &delta, int decimals) const;
    // The index of the point inside the file with that alpha (AlphaFound),
    // AlphaTextInvalid for an unusable alpha or file, AlphaNotFound outside it.
    AlphaSearchStatus pointForAlpha(const QString &alpha, const QString &delta, int *point) const;

    // How many whole-file sums are cached (one per ray).
    int cachedSumCount() const { return m_sums.size(); }

private:
    NativeFile m_file;
    QString m_sumKey;
    QHash<int, QVector<double>> m_sums;
};
