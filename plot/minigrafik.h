#pragma once

#include "plot/graphspec.h"

#include <QVariantMap>
#include <QWidget>

class Grafiks;

// A fixed-size thumbnail: a compact Grafiks whose clicks become signals with
// the thumbnail's row, column and parameters. Owns its plot; reacts to the
// mouse only while its spec has a visible curve with samples. GUI thread only.
class MiniGrafik : public QWidget
{
    Q_OBJECT

public:
    MiniGrafik(int width, int height, QWidget *parent = nullptr);

    void setGraphSpec(const GraphSpec &spec, int row, int col,
                      const QVariantMap &parameters = QVariantMap());
    void clear();
    void setBackgroundColor(const QColor &color);
    Grafiks *plot() const { return m_plot; }
    int row() const { return m_row; }
    int col() const { return m_col; }
    QVariantMap parameters() const { return m_parameters; }
    bool isActive() const { return m_active; }

signals:
    void clicked(int row, int col, QVariantMap parameters);
    void rightClicked(int row, int col, QVariantMap parameters);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Grafiks *m_plot = nullptr;
    QVariantMap m_parameters;
    int m_row = -1;
    int m_col = -1;
    bool m_active = false;
};
