#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// Shows a picture with an optional title line above it, exactly as it will be
// saved. Owns a copy of the picture (implicitly shared); the composed image is
// rebuilt whenever the picture, the title or its size changes. GUI thread only.
class ImageTitlePreview : public QWidget
{
    Q_OBJECT

public:
    explicit ImageTitlePreview(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    QSize sizeHint() const override;

    // The picture under a white band carrying the title centred over it (from
    // the left edge when wider). An empty title gives the picture unchanged.
    static QImage titledImage(const QImage &image, const QString &title, int pointSize);

public slots:
    void setTitle(const QString &title);
    void setPointSize(int pointSize);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void recompose();

    QImage m_image;
    QImage m_composed;
    QString m_title;
    int m_pointSize = 12;
};
