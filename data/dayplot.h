#pragma once

#include <QMetaType>
#include <QString>
#include <QVector>

// One observation day of the multi-day view: where its file is, what its name
// and passport say about date, site and sample interval, and its two channel
// sums (no dispersion shift, and shifted for the dispersion measure of the
// load that read it), one value per sample point. A value type that owns its
// members; a read fills it whole on a worker thread and hands it over.
struct DayPlot
{
    QString filePath;          // full path as found by the directory scan
    QString fileName;          // without directory
    QString suffix;            // lower case: "pnt", "pnthr" or "txt"
    QString date;              // "yyyy.MM.dd"
    QString plosh;             // site code, or empty
    QString tresolutionText;   // the sample interval as the passport writes it
    double tresolution = 0.0;  // seconds
    QVector<double> channelSumDm0;
    QVector<double> channelSumDm;
};

Q_DECLARE_METATYPE(DayPlot)
