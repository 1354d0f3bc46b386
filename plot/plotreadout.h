#pragma once

#include "plot/graphspec.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// How a plot writes its values: one descriptor for the y quantity (when the
// spec names it) and one per x-axis row, with the cursor read-out, the values
// a click reports and the axis list of the info panel. A plain value that the
// plot refills from every spec; GUI thread.
class PlotReadout
{
public:
    struct Descriptor
    {
        QString name;
        QString title;
        std::function<QString(double, int)> formatter;
        int decimals = 0;
    };

    // Empties the descriptors; y values without one get defaultYDecimals.
    void reset(int defaultYDecimals);
    // The y quantity of an axis whose decimals are settled (not negative).
    void setY(const YAxisSpec &axis);
    // One x row; axisDecimals is the row's axis default (-1: none).
    void addX(const AxisRow &row, int axisDecimals);

    const QVector<Descriptor> &y() const { return m_y; }
    const QVector<Descriptor> &x() const { return m_x; }

    // "Y: S=1.5\nX1: N=12\nX2: T=..." for a value under the cursor.
    QString cursorText(double x, double y, int sampleIndex) const;
    // The x rows' names and values of a click ("x" and the number without rows).
    void clickValues(double x, int sampleIndex, QStringList *names, QStringList *values) const;
    // "Y: S, signal\nX1: N, point" for the axis list.
    QString axisTexts() const;

    // Which of the fresh descriptors are shown: hidden where a descriptor of
    // the same name and title was hidden before, shown otherwise.
    static QVector<bool> carriedVisibility(const QVector<Descriptor> &fresh, const QVector<Descriptor> &old,
                                           const QVector<bool> &oldVisible);

private:
    QString yText(int descriptor, double y, int sampleIndex) const;
    QString xText(int row, double x, int sampleIndex) const;

    QVector<Descriptor> m_y;
    QVector<Descriptor> m_x;
    int m_defaultYDecimals = 2;
};
