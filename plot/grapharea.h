#pragma once

#include <QList>
#include <QPointer>
#include <QVector>
#include <QWidget>

class QSplitter;

// Stacks a primary graph panel and any number of extra panels (by index, slots
// may be empty) in a vertical splitter with equal heights. Owns the panels
// through the widget tree; a panel replaced at an index is deleted later.
// GUI thread only.
class GraphArea : public QWidget
{
public:
    explicit GraphArea(QWidget *parent = nullptr);

    void setPrimaryPanel(QWidget *panel);
    void setPanel(int index, QWidget *panel);
    void setPanelVisible(int index, bool visible);
    void setPrimaryPanelVisible(bool visible);
    int panelCount() const { return m_panels.size(); }
    QWidget *panel(int index) const;
    bool isPanelVisible(int index) const;
    QSplitter *splitter() const { return m_splitter; }
    void balanceHeights();

    // Heights for the splitter's children: the space left by the handles
    // between visible children, split evenly, the first ones one pixel taller
    // for the remainder; hidden children get 0.
    static QList<int> balancedHeights(int splitterHeight, int handleWidth, const QVector<bool> &visible);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void balanceNowAndLater();
    int splitterPosition(int index) const;

    QSplitter *m_splitter = nullptr;
    QPointer<QWidget> m_primary;
    QVector<QPointer<QWidget>> m_panels;
};
