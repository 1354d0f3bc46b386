#pragma once

#include <QPointer>
#include <QWidget>

class DynamicSpectrumWidget;

// The channel-label strip of a dynamic spectrum, laid by the owner over the
// left edge of the scroll area that holds the spectrum so the labels stay put
// while the image scrolls. Holds a guarded pointer to the spectrum (owned
// elsewhere); lives on the GUI thread; repaints on the spectrum's yAxisChanged.
class DynamicSpectrumYAxis : public QWidget
{
    Q_OBJECT

public:
    explicit DynamicSpectrumYAxis(DynamicSpectrumWidget *spectrum, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<DynamicSpectrumWidget> m_spectrum;
};
