#include "views/StringGrid.h"
#include <QHeaderView>

TStringGrid::TStringGrid(QWidget *parent) : QTableWidget(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Rows of 24 pixels, so the longest model grid (14 rows) fits the current data window unscrolled.
    verticalHeader()->setMinimumSectionSize(20);
    verticalHeader()->setDefaultSectionSize(24);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void TStringGrid::SetRowCount(int rows)
{
    setRowCount(qMax(0, rows));
}

void TStringGrid::SetColCount(int columns)
{
    setColumnCount(qMax(0, columns));
}

QString TStringGrid::Cells(int column, int row) const
{
    const QTableWidgetItem *cell = item(row, column);
    return cell ? cell->text() : QString();
}

void TStringGrid::SetCells(int column, int row, const QString &text)
{
    if (row < 0 || column < 0)
        return;
    if (row >= rowCount())
        setRowCount(row + 1);
    if (column >= columnCount())
        setColumnCount(column + 1);
    if (QTableWidgetItem *cell = item(row, column))
        cell->setText(text);
    else
        setItem(row, column, new QTableWidgetItem(text));
}
