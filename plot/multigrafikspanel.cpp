#include "plot/multigrafikspanel.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QFont headerFont()
{
    return QFont(QStringLiteral("Arial"), 9);
}

QLabel *headerLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setMargin(0);
    label->setFont(headerFont());
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(100, 100, 100));
    label->setPalette(palette);
    return label;
}

} // namespace

MultiGrafiksPanel::MultiGrafiksPanel(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scroll->setFrameShape(QFrame::StyledPanel);
    m_scroll->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(m_scroll);

    auto *content = new QWidget(m_scroll);
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(15, 20, 0, 0);
    contentLayout->setSpacing(0);
    m_gridHost = new QWidget(content);
    contentLayout->addWidget(m_gridHost, 0, Qt::AlignTop | Qt::AlignLeft);
    contentLayout->addStretch(1);
    m_scroll->setWidget(content);
}

void MultiGrafiksPanel::clear()
{
    if (m_grid) {
        while (QLayoutItem *item = m_grid->takeAt(0)) {
            if (QWidget *widget = item->widget()) {
                widget->hide();
                widget->deleteLater();
            }
            delete item;
        }
        delete m_grid;
        m_grid = nullptr;
    }
    m_placed.clear();
    m_cells.clear();
}

void MultiGrafiksPanel::setGrid(int cellWidth, int cellHeight, const QStringList &columnHeaders,
                                const QStringList &rowHeaders, const QVector<QVector<QWidget *>> &cells)
{
    clear();
    m_grid = new QGridLayout(m_gridHost);
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setHorizontalSpacing(5);
    m_grid->setVerticalSpacing(5);

    const QFontMetrics metrics(headerFont());
    int firstColumn = columnHeaders.isEmpty() ? 0 : metrics.horizontalAdvance(columnHeaders.first());
    for (int j = 1; j < rowHeaders.size(); ++j)
        firstColumn = qMax(firstColumn, metrics.horizontalAdvance(rowHeaders.at(j)));
    m_grid->setColumnMinimumWidth(0, firstColumn + 10);
    for (int i = 1; i < columnHeaders.size(); ++i)
        m_grid->setColumnMinimumWidth(i, cellWidth);
    m_grid->setRowMinimumHeight(0, 30);
    for (int j = 1; j < rowHeaders.size(); ++j)
        m_grid->setRowMinimumHeight(j, cellHeight);

    if (!columnHeaders.isEmpty())
        m_grid->addWidget(headerLabel(columnHeaders.first(), m_gridHost), 0, 0);
    for (int i = 1; i < columnHeaders.size(); ++i)
        m_grid->addWidget(headerLabel(columnHeaders.at(i), m_gridHost), 0, i);
    for (int j = 1; j < rowHeaders.size(); ++j)
        m_grid->addWidget(headerLabel(rowHeaders.at(j), m_gridHost), j, 0);

    m_cells = cells;
    for (int r = 0; r < cells.size(); ++r) {
        for (int c = 0; c < cells.at(r).size(); ++c) {
            QWidget *cell = cells.at(r).at(c);
            if (!cell) {
                auto *empty = new QLabel(m_gridHost);
                empty->setAlignment(Qt::AlignCenter);
                empty->setFixedSize(cellWidth, cellHeight);
                m_grid->addWidget(empty, r + 1, c + 1);
                continue;
            }
            cell->setParent(m_gridHost);
            m_grid->addWidget(cell, r + 1, c + 1);
            cell->show();
            m_placed.append(cell);
        }
    }
}

QWidget *MultiGrafiksPanel::cellWidget(int row, int col) const
{
    if (row < 0 || row >= m_cells.size() || col < 0 || col >= m_cells.at(row).size())
        return nullptr;
    return m_cells.at(row).at(col);
}

void MultiGrafiksPanel::ensureVisible(int row, int col, int xMargin, int yMargin)
{
    QWidget *cell = cellWidget(row, col);
    if (!cell)
        return;
    m_scroll->ensureWidgetVisible(cell, 2 * xMargin, 2 * yMargin);
    cell->setFocus();
}
