#pragma once
#include <QTableWidget>

// A two-dimensional grid of texts addressed as (column, row), the way the handlers fill it.
class TStringGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TStringGrid(QWidget *parent = nullptr);

    int RowCount() const { return rowCount(); }
    void SetRowCount(int rows);
    int ColCount() const { return columnCount(); }
    void SetColCount(int columns);
    QString Cells(int column, int row) const;
    void SetCells(int column, int row, const QString &text);
};
