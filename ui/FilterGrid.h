#pragma once

#include "settings/FilterList.h"

#include <QTableWidget>

#include <vector>

// The filter designer: one row per filter, its description and its mask.
// Rows holding a protected description ("Всі файли", "Файл Varn split") can
// be neither edited nor deleted; Down on a filled last row and Insert add a
// row, Delete removes the current one, and the grid never has fewer than one
// row. The fixed narrow first column is the row header.
class TFilterGrid : public QTableWidget {
    Q_OBJECT
public:
    enum { colDescription = 0, colMask = 1 };
    static constexpr int InitialRows = 4;

    // `charWidth` and `charHeight` are the average character size the
    // column widths and the row height scale with.
    TFilterGrid(QWidget* parent, int charWidth, int charHeight);

    // One row per filter, at least one.
    void SetFilters(const std::vector<TFilter>& filters);
    // Every row in grid order, empty ones included.
    std::vector<TFilter> Rows() const;
    QString CellText(int row, int column) const;
    bool RowProtected(int row) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void SetRowCount(int rows);
    void ClearRow(int row);
    void AppendRow();
    void DeleteCurrentRow();
    void FollowCurrentRow();
    void RowDragged(int logical, int oldVisual, int newVisual);
};
