#pragma once

#include "plot/axisentry.h"
#include "plot/graphspec.h"
#include "plot/legendentry.h"

#include <QColor>
#include <QVector>
#include <QWidget>

#include <functional>

class QCheckBox;
class QFontMetrics;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// The side panel of a graph: legend with visibility check boxes and editable
// colours, "Enable all" / "Disable all", "Reset zoom", axis check boxes, the
// header text or table and the coordinates line. Owns its row widgets, which
// every setLegend / setAxes replaces. Talks to the plot only through signals.
// GUI thread only.
class InfoPanel : public QWidget
{
    Q_OBJECT

public:
    // Asks the user for a colour: (current colour, dialog parent, title); an
    // invalid result means the choice was cancelled.
    using ColorPicker = std::function<QColor(const QColor &, QWidget *, const QString &)>;

    explicit InfoPanel(QWidget *parent = nullptr);

    void setLegend(const QVector<LegendEntry> &entries);
    void setAxes(const QVector<AxisEntry> &entries);
    void setHeaderText(const QString &text);
    void setHeaderRows(const QVector<HeaderRow> &rows, bool spacerBeforeLast);
    void setCoordinatesText(const QString &text);
    void clearAll();
    void setPanelWidth(int width);
    // Replaces the colour dialog (tests supply a colour without a dialog).
    void setColorPicker(const ColorPicker &picker);

    QVector<LegendEntry> legend() const { return m_legend; }
    QVector<AxisEntry> axes() const { return m_axes; }
    QString headerHtml() const;
    QString coordinatesText() const;
    QSize sizeHint() const override;

    // Colour as six upper-case hex digits without "#" ("000000" when invalid).
    static QString colorText(const QColor &color);
    // Typed colour text: trimmed, "#" added when missing; invalid when Qt does
    // not know the name.
    static QColor parseColorText(const QString &text);
    // The header table for the rows, first column as wide as the widest caption.
    static QString headerRowsHtml(const QVector<HeaderRow> &rows, bool spacerBeforeLast,
                                  const QFontMetrics &metrics);
    static const QString idleCoordinatesText;

signals:
    void legendVisibilityChanged(int index, bool visible);
    void legendColorChanged(int index, QColor color);
    void axisVisibilityChanged(int index, bool visible);
    void headerVisibilityChanged(bool visible);
    void resetZoomRequested();

public slots:
    void onLegendCheckBoxToggled(bool checked);
    void onLegendColorEdited(QString text);
    void onLegendColorEditFinished();
    void onAxisCheckBoxToggled(bool checked);
    void onDisableAllLegendClicked();
    void onEnableAllLegendClicked();
    void onResetZoomClicked();

private slots:
    void onLegendColorBoxClicked();

private:
    QWidget *createLegendRow(const LegendEntry &entry, QWidget *host);
    static QWidget *replaceHost(QVBoxLayout *slot, QWidget *oldHost, int spacing);
    static void styleColorBox(QPushButton *box, const QColor &color);
    QPushButton *colorBoxBeside(QObject *sibling) const;
    void setAllLegendChecked(bool checked);

    bool m_updating = false;
    int m_panelWidth = 400;
    QVector<LegendEntry> m_legend;
    QVector<AxisEntry> m_axes;
    // Rows live in host widgets that are replaced whole on every refill, so
    // that thousands of rows go away in one step.
    QVector<QWidget *> m_legendRows;
    QVector<QCheckBox *> m_axisBoxes;
    QVBoxLayout *m_legendSlot = nullptr;
    QVBoxLayout *m_axisSlot = nullptr;
    QWidget *m_legendHost = nullptr;
    QWidget *m_axisHost = nullptr;
    QWidget *m_allButtonsRow = nullptr;
    QCheckBox *m_showHeader = nullptr;
    QLabel *m_header = nullptr;
    QLabel *m_coordinates = nullptr;
    ColorPicker m_colorPicker;
};
