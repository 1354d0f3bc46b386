#pragma once

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QVector>

// The welcome page's greeting turned into eight signal traces whose bright
// parts follow the letters. A plain value built once; read-only afterwards.
struct WelcomeTraces
{
    QVector<QVector<QPointF>> traces;
    double xExtent = -1.0;
    double yExtent = -1.0;
    double yFloor = 0.0;
    double bandStart = 0.0;
    double bandEnd = 0.0;

    static QString greeting();
    // The greeting in black on white, W x 100 pixels, baseline at (5, 50).
    static QImage greetingImage();
    // 11 R + 16 G + 5 B below half of the full scale.
    static bool isDark(QRgb pixel);
    // Seeded, so the picture is the same on every start.
    static WelcomeTraces build();
    static WelcomeTraces buildFromImage(const QImage &greeting, int characterCount);

    // False when nothing can be drawn at this widget size.
    bool drawable(const QSize &widgetSize) const;
    // Screen position of a trace point on a widget of the given size.
    QPointF screenPoint(const QPointF &point, const QSize &widgetSize) const;
};
