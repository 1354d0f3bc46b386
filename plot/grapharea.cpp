#include "plot/grapharea.h"

#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int splitterHandleWidth = 15;
}

GraphArea::GraphArea(QWidget *parent)
    : QWidget(parent),
      m_splitter(new QSplitter(Qt::Vertical, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_splitter->setHandleWidth(splitterHandleWidth);
    m_splitter->setChildrenCollapsible(false);
    layout->addWidget(m_splitter);
}

QList<int> GraphArea::balancedHeights(int splitterHeight, int handleWidth, const QVector<bool> &visible)
{
    int count = 0;
    for (const bool shown : visible)
        count += shown ? 1 : 0;
    QList<int> heights;
    if (count == 0) {
        for (int i = 0; i < visible.size(); ++i)
            heights.append(0);
        return heights;
    }
    const int available = qMax(0, splitterHeight - handleWidth * (count - 1));
    const int each = available / count;
    int extra = available % count;
    for (const bool shown : visible) {
        if (!shown) {
            heights.append(0);
            continue;
        }
        heights.append(each + (extra > 0 ? 1 : 0));
        if (extra > 0)
            --extra;
    }
    return heights;
}

void GraphArea::balanceHeights()
{
    QVector<bool> visible;
    for (int i = 0; i < m_splitter->count(); ++i)
        visible.append(!m_splitter->widget(i)->isHidden());
    m_splitter->setSizes(balancedHeights(m_splitter->height(), m_splitter->handleWidth(), visible));
}

void GraphArea::balanceNowAndLater()
{
    balanceHeights();
    QTimer::singleShot(0, this, [this] { balanceHeights(); });
}

void GraphArea::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    balanceHeights();
}

void GraphArea::setPrimaryPanel(QWidget *panel)
{
    if (panel == m_primary)
        return;
    if (m_primary) {
        m_primary->hide();
        m_primary->setParent(this);
        m_primary->deleteLater();
    }
    m_primary = panel;
    if (panel) {
        m_splitter->insertWidget(0, panel);
        m_splitter->setStretchFactor(0, 1);
        panel->show();
    }
    balanceNowAndLater();
}

int GraphArea::splitterPosition(int index) const
{
    int position = m_primary ? 1 : 0;
    for (int i = 0; i < index && i < m_panels.size(); ++i)
        position += m_panels.at(i) ? 1 : 0;
    return position;
}

void GraphArea::setPanel(int index, QWidget *panel)
{
    if (index < 0)
        return;
    while (m_panels.size() <= index)
        m_panels.append(QPointer<QWidget>());
    QWidget *old = m_panels.at(index);
    if (old == panel)
        return;
    if (old) {
        old->hide();
        old->setParent(this);
        old->deleteLater();
    }
    m_panels[index] = panel;
    if (panel) {
        const int position = splitterPosition(index);
        m_splitter->insertWidget(position, panel);
        m_splitter->setStretchFactor(position, 1);
        panel->show();
    }
    balanceNowAndLater();
}

void GraphArea::setPanelVisible(int index, bool visible)
{
    QWidget *target = panel(index);
    if (!target)
        return;
    target->setVisible(visible);
    balanceNowAndLater();
}

void GraphArea::setPrimaryPanelVisible(bool visible)
{
    if (!m_primary)
        return;
    m_primary->setVisible(visible);
    balanceNowAndLater();
}

QWidget *GraphArea::panel(int index) const
{
    if (index < 0 || index >= m_panels.size())
        return nullptr;
    return m_panels.at(index);
}

bool GraphArea::isPanelVisible(int index) const
{
    QWidget *target = panel(index);
    return target && !target->isHidden();
}
