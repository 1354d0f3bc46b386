#pragma once

#include "plot/graphspec.h"

#include <QPointer>
#include <QRect>
#include <QVector>
#include <QWidget>

#include <memory>

class GraphArea;
class GraphPanel;
class Grafiks;
class InfoPanel;
class QLabel;
class QProgressBar;
class QStackedLayout;
class QStackedWidget;
class ScreenRegionSelector;
class ShellDialogs;

// The common base of the data modules: a fixed-width form panel on the left,
// the graph area on the right (primary graph panel plus extra panels by index,
// or one alternative page), the loading overlay and the progress bar, and the
// start of a screen capture. Owns all of them through the widget tree; extra
// panels live as long as their slot, an alternative page until the next one.
// Also owns the dialogs the module asks through. GUI thread only.
class ModuleWorkspace : public QWidget
{
    Q_OBJECT

public:
    explicit ModuleWorkspace(QWidget *parent = nullptr);
    ~ModuleWorkspace() override;

    ShellDialogs &dialogs() const;
    // Replaces the dialogs the module asks through (real ones by default).
    void setDialogs(std::unique_ptr<ShellDialogs> dialogs);

    QWidget *formPanel() const;
    QWidget *content() const;
    GraphPanel *primaryGraphPanel() const;
    Grafiks *plot() const;
    InfoPanel *legendPanel() const;
    QWidget *alternativePage() const;
    GraphArea *graphArea() const;
    QStackedWidget *graphStack() const;
    QWidget *loadingOverlay() const;
    QLabel *loadingTextLabel() const;
    QProgressBar *progressBar() const;
    // The selector of a capture under way, else null.
    ScreenRegionSelector *captureSelector() const;
    // The panel stored at an index of the extra panels, or null.
    GraphPanel *graphPanelAt(int index) const;
    int graphCount() const;

    void setForm(QWidget *form, int margin);
    void setFormWidth(int width);
    void setFormVisible(bool visible);
    // Shows the overlay with the given text (an empty text keeps the last one),
    // or hides it and brings the graphs back.
    void setLoadingOverlay(bool show, const QString &text = QString());
    void setProgressVisible(bool visible);
    void setProgressBusy(bool busy);
    void setProgressValue(int value);
    void setLegendVisible(bool visible);
    void showGraph(const GraphSpec &spec);
    void showGraphAt(int index, const GraphSpec &spec);
    void setGraphVisibleAt(int index, bool visible);
    void showGraphArea();
    void setAlternativePage(QWidget *page);

public slots:
    void startScreenCapture();
    // Renders the rectangle (content coordinates) and runs the editor on it.
    void captureRectangle(const QRect &rect);

private:
    std::unique_ptr<ShellDialogs> m_dialogs;
    QWidget *m_content = nullptr;
    QWidget *m_formPanel = nullptr;
    GraphPanel *m_primaryPanel = nullptr;
    GraphArea *m_graphArea = nullptr;
    QStackedWidget *m_graphStack = nullptr;
    QWidget *m_graphHost = nullptr;
    QStackedLayout *m_hostLayout = nullptr;
    QWidget *m_graphPage = nullptr;
    QWidget *m_overlay = nullptr;
    QLabel *m_overlayText = nullptr;
    QProgressBar *m_progress = nullptr;
    QPointer<QWidget> m_alternativePage;
    QVector<QPointer<GraphPanel>> m_graphPanels;
    QPointer<ScreenRegionSelector> m_selector;
};
