#include "ui/FilterGrid.h"

#include "engine/FileUtils.h"
#include "texts/SettingsTexts.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace {

bool Blank(const QString& text) {
    return TrimControl(text.toStdString()).empty();
}

} // namespace

TFilterGrid::TFilterGrid(QWidget* parent, int charWidth, int charHeight)
    : QTableWidget(0, 2, parent) {
    setObjectName("sgFilter");
    setHorizontalHeaderLabels({Texts::SettingsColumnDescription, Texts::SettingsColumnMask});
    setColumnWidth(colDescription, 203 * charWidth / 6);
    setColumnWidth(colMask, 150 * charWidth / 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setFixedWidth(11 * charWidth / 6);
    verticalHeader()->setDefaultSectionSize(17 * charHeight / 12);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionsMovable(true);
    verticalHeader()->setSectionsClickable(true);
    setShowGrid(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    SetRowCount(InitialRows);
    connect(this, &QTableWidget::currentCellChanged, this, &TFilterGrid::FollowCurrentRow);
    connect(this, &QTableWidget::cellChanged, this, &TFilterGrid::FollowCurrentRow);
    connect(verticalHeader(), &QHeaderView::sectionMoved, this, &TFilterGrid::RowDragged);
    FollowCurrentRow();
}

void TFilterGrid::SetRowCount(int rows) {
    const int before = rowCount();
    setRowCount(std::max(1, rows));
    for (int row = before; row < rowCount(); ++row) {
        // The row header stays blank: it is only the grid's fixed column.
        setVerticalHeaderItem(row, new QTableWidgetItem(QString()));
        for (int column = 0; column < columnCount(); ++column)
            setItem(row, column, new QTableWidgetItem(QString()));
    }
}

void TFilterGrid::SetFilters(const std::vector<TFilter>& filters) {
    const QSignalBlocker blocker(this);
    setRowCount(0);
    SetRowCount(static_cast<int>(filters.size()));
    for (std::size_t row = 0; row < filters.size(); ++row) {
        item(static_cast<int>(row), colDescription)->setText(filters[row].description);
        item(static_cast<int>(row), colMask)->setText(filters[row].mask);
    }
    setCurrentCell(0, colDescription);
    FollowCurrentRow();
}

QString TFilterGrid::CellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell != nullptr ? cell->text() : QString();
}

std::vector<TFilter> TFilterGrid::Rows() const {
    std::vector<TFilter> rows;
    for (int row = 0; row < rowCount(); ++row)
        rows.push_back({CellText(row, colDescription), CellText(row, colMask)});
    return rows;
}

bool TFilterGrid::RowProtected(int row) const {
    return row >= 0 && row < rowCount() &&
           IsProtectedFilterDescription(CellText(row, colDescription));
}

// Editing is switched per row: off while the current row is protected.
void TFilterGrid::FollowCurrentRow() {
    setEditTriggers(RowProtected(currentRow())
                        ? QAbstractItemView::NoEditTriggers
                        : QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                              QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
}

void TFilterGrid::keyPressEvent(QKeyEvent* event) {
    // A character typed into a protected row is dropped, so that it neither
    // edits the row nor jumps the cursor by keyboard search.
    const QString text = event->text();
    if (RowProtected(currentRow()) && !text.isEmpty() && text[0].isPrint()) {
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

// The row keys act when the key is released, as the designer always has.
void TFilterGrid::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat() || state() == QAbstractItemView::EditingState) {
        QTableWidget::keyReleaseEvent(event);
        return;
    }
    const int row = currentRow();
    switch (event->key()) {
    case Qt::Key_Down:
        if (row >= 0 && row == rowCount() - 1 && !Blank(CellText(row, colDescription)) &&
            !Blank(CellText(row, colMask))) {
            AppendRow();
            setCurrentCell(rowCount() - 1, std::max(0, currentColumn()));
        }
        break;
    case Qt::Key_Insert:
        AppendRow();
        break;
    case Qt::Key_Delete:
        DeleteCurrentRow();
        break;
    default:
        QTableWidget::keyReleaseEvent(event);
        return;
    }
    event->accept();
}

void TFilterGrid::AppendRow() {
    const QSignalBlocker blocker(this);
    SetRowCount(rowCount() + 1);
}

void TFilterGrid::ClearRow(int row) {
    for (int column = 0; column < columnCount(); ++column)
        item(row, column)->setText(QString());
}

void TFilterGrid::DeleteCurrentRow() {
    const int row = currentRow();
    if (row < 0 || RowProtected(row))
        return;
    const int column = std::max(0, currentColumn());
    {
        const QSignalBlocker blocker(this);
        if (rowCount() > 1)
            removeRow(row);
        else
            ClearRow(row);
    }
    setCurrentCell(std::min(row, rowCount() - 1), column);
    FollowCurrentRow();
}

// A dragged row header moves the row's contents; the header order itself is
// put back, so that grid order and row numbers stay one and the same.
void TFilterGrid::RowDragged(int, int oldVisual, int newVisual) {
    {
        const QSignalBlocker headerBlocker(verticalHeader());
        verticalHeader()->moveSection(newVisual, oldVisual);
    }
    const QSignalBlocker blocker(this);
    std::vector<QTableWidgetItem*> cells;
    for (int column = 0; column < columnCount(); ++column)
        cells.push_back(takeItem(oldVisual, column));
    QTableWidgetItem* header = takeVerticalHeaderItem(oldVisual);
    removeRow(oldVisual);
    insertRow(newVisual);
    setVerticalHeaderItem(newVisual, header);
    for (int column = 0; column < columnCount(); ++column)
        setItem(newVisual, column, cells[static_cast<std::size_t>(column)]);
    setCurrentCell(newVisual, std::max(0, currentColumn()));
    FollowCurrentRow();
}
