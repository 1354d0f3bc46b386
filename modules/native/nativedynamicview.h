#pragma once

#include "modules/native/nativerules.h"
#include "plot/dynamicspectrumwidget.h"

#include <QObject>
#include <QVector>

class DynamicSpectrumYAxis;
class NativeAnimationBar;
class NativeGraphBuilder;
class NativeModule;
class PlotPanel;
class QScrollArea;

// The dynamic spectrum side of the native module: the spectrum widget in its
// scroll area with the channel labels beside it, its info panel, and the
// animation bar laid over it, all in one plot panel that sits in the
// workspace's graph area. Builds the spectrum from the loaded record and the
// form's dynamic group, and plays the animation. Owns the panel through the
// graph area's widget tree; what it shows is rebuilt by update(), so a new
// record, a new search point or a changed form invalidates it until then.
// GUI thread.
class NativeDynamicView : public QObject
{
    Q_OBJECT

public:
    NativeDynamicView(NativeModule *module, NativeGraphBuilder &builder);

    PlotPanel *panel() const { return m_panel; }
    DynamicSpectrumWidget *spectrum() const { return m_spectrum; }
    QScrollArea *scrollArea() const { return m_scroll; }
    NativeAnimationBar *animationBar() const { return m_animationBar; }

    // The range as drawn: the form's fields clamped, or the whole file while
    // the animation type is selected.
    PointRange range() const;
    // The points of the range the viewport shows.
    PointRange visibleRange() const;
    // The declination the dynamic view's alphas are reckoned at.
    QString currentDeltaText() const;

    // Rebuilds the spectrum from the record and the form, or hides the panel
    // when there is nothing to show.
    void update();
    void hide();
    void clear();
    // Scrolls so that the point's column is at the left edge, or in the
    // middle when centre is set.
    void scrollToPoint(int point, bool centre);
    // The same on the next turn of the event loop, after a repaint.
    void scrollToPointLater(int point);

    void toggleAnimation();
    void stopAnimation();
    // Lays the animation bar over the spectrum, or hides it outside animation.
    void placeAnimationBar();

signals:
    // A click on the spectrum (not while playing) at the point of that index.
    void pointClicked(int point);
    // A dragged fragment to save: its first index and its points.
    void fragmentSelected(int first, int count);
    // The animation moved its window, or stopped playing.
    void animationMoved();
    void animationStopped();

private:
    void startAnimation();
    void onAnimationSliderChanged(int value);
    void onSpectrumClicked(int number);
    void configureDynamicSpectrum(const QVector<QVector<float>> &rows, int first, const QVector<double> &sum);
    QVector<double> spectrumSum(int first, int count);
    void fillInfoPanel();
    int cellWidth() const;
    int animationWindow() const;
    // "Points first–last of npoints" on the animation bar.
    void showWindowLabel(int first, int window);
    int searchPoint() const;

    NativeModule *m_module;
    NativeGraphBuilder &m_builder;
    PlotPanel *m_panel = nullptr;
    QScrollArea *m_scroll = nullptr;
    DynamicSpectrumWidget *m_spectrum = nullptr;
    DynamicSpectrumYAxis *m_yAxis = nullptr;
    // The spectrum element behind each axis check box of the info panel.
    QVector<DynamicSpectrumWidget::Element> m_axisElements;
    NativeAnimationBar *m_animationBar = nullptr;
};
