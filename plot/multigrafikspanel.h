#pragma once

#include <QStringList>
#include <QVector>
#include <QWidget>

class QGridLayout;
class QScrollArea;

// A scrollable grid of thumbnails with column and row headers. Owns the cell
// widgets handed to setGrid until the next setGrid or clear, which delete
// them. GUI thread only.
class MultiGrafiksPanel : public QWidget
{
    Q_OBJECT

public:
    explicit MultiGrafiksPanel(QWidget *parent = nullptr);

    // columnHeaders[0] is the corner text; rowHeaders[0] is not shown. Cell
    // (r, c) goes to grid position (r + 1, c + 1); null cells stay empty.
    void setGrid(int cellWidth, int cellHeight, const QStringList &columnHeaders,
                 const QStringList &rowHeaders, const QVector<QVector<QWidget *>> &cells);
    void clear();
    void ensureVisible(int row, int col, int xMargin, int yMargin);

    QWidget *cellWidget(int row, int col) const;
    QGridLayout *gridLayout() const { return m_grid; }
    QWidget *gridHost() const { return m_gridHost; }
    QScrollArea *scrollArea() const { return m_scroll; }

private:
    QScrollArea *m_scroll = nullptr;
    QWidget *m_gridHost = nullptr;
    QGridLayout *m_grid = nullptr;
    QVector<QWidget *> m_placed;
    QVector<QVector<QWidget *>> m_cells;
};
