#pragma once

#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>
#include <QVector>

#include <functional>

// How a dynamic spectrum is drawn, apart from its data: cell size and
// fitting, the axes' font and elements, the trace band, the dispersion line
// and the time axis. A plain value set through the widget's setters and
// shared with the pictures it renders of its fragments.
struct DynamicSpectrumStyle
{
    static constexpr int elementCount = 6;
    // Text under a tick for an absolute point; an empty text draws nothing.
    using TimeLabelFunction = std::function<QString(int)>;

    QSize cellSize{2, 4};
    bool autoCellSize = true;
    bool fitToWidth = false;
    bool axisInside = false;
    bool scalePerWindow = false;

    bool showDispersion = false;
    double dispersionDm = 0.0;
    double dispersionTres = 0.0;
    // One frequency (MHz) per row, also the channel labels of the print layout.
    QVector<double> frequencies;
    int dispersionStart = 0;
    QColor dispersionColor = Qt::red;

    QFont font{QStringLiteral("Arial"), 9};
    int axisPenWidth = 1;
    int imageTop = -1;
    int bottomGap = 0;
    bool printLayout = false;

    bool traceVisible = true;
    int traceBandHeight = 100;
    int traceWidth = 1;
    QColor traceColor = Qt::blue;

    // Indexed by DynamicSpectrumWidget::Element.
    bool elements[elementCount] = {true, true, true, true, true, true};
    bool timeAxisOn = true;
    double secondsPerPoint = 0.0;
    TimeLabelFunction timeLabel;
};
