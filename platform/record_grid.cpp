#include "platform/record_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

#include "look/twips.h"

namespace kelvora {

int RecordGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int RecordGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

QVariant RecordGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !hasCell(index.row(), index.column())) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return text(index.row(), index.column());
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(alignment(index.column()));
    }
    return {};
}

void RecordGridModel::setRows(int rows) {
    rows = std::max(rows, 0);
    if (rows == rows_) {
        return;
    }
    if (rows > rows_) {
        beginInsertRows(QModelIndex(), rows_, rows - 1);
        cells_.resize(static_cast<size_t>(rows) * cols_);
        rows_ = rows;
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), rows, rows_ - 1);
        cells_.resize(static_cast<size_t>(rows) * cols_);
        rows_ = rows;
        endRemoveRows();
    }
}

void RecordGridModel::setCols(int cols) {
    cols = std::max(cols, 0);
    if (cols == cols_) {
        return;
    }
    beginResetModel();
    std::vector<QString> cells(static_cast<size_t>(rows_) * cols);
    const int keep = std::min(cols, cols_);
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < keep; ++c) {
            cells[static_cast<size_t>(r) * cols + c] =
                std::move(cells_[static_cast<size_t>(r) * cols_ + c]);
        }
    }
    cells_.swap(cells);
    cols_ = cols;
    alignments_.resize(cols);
    endResetModel();
}

bool RecordGridModel::hasCell(int row, int col) const {
    return row >= 0 && row < rows_ && col >= 0 && col < cols_;
}

QString RecordGridModel::text(int row, int col) const {
    return hasCell(row, col) ? cells_[static_cast<size_t>(row) * cols_ + col] : QString();
}

void RecordGridModel::setText(int row, int col, const QString& text) {
    if (!hasCell(row, col)) {
        return;
    }
    cells_[static_cast<size_t>(row) * cols_ + col] = text;
    const QModelIndex at = index(row, col);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

Qt::Alignment RecordGridModel::alignment(int col) const {
    return col >= 0 && col < alignments_.size() ? alignments_[col] : Qt::Alignment();
}

void RecordGridModel::setAlignment(int col, Qt::Alignment alignment) {
    if (col < 0 || col >= alignments_.size()) {
        return;
    }
    alignments_[col] = alignment;
    if (rows_ > 0) {
        emit dataChanged(index(0, col), index(rows_ - 1, col), {Qt::TextAlignmentRole});
    }
}

RecordGrid::RecordGrid(QWidget* parent) : QTableView(parent), model_(this) {
    setModel(&model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

int RecordGrid::toPixels(int twips) const {
    return twipsToPixels(twips, logicalDpiX());
}

void RecordGrid::setGeometryTwips(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

void RecordGrid::setRows(int rows) {
    model_.setRows(rows);
    for (auto it = rowHeights_.begin(); it != rowHeights_.end();) {
        it = it.key() >= model_.rows() ? rowHeights_.erase(it) : std::next(it);
    }
}

void RecordGrid::setCols(int cols) {
    model_.setCols(cols);
    colWidths_.resize(model_.cols());
    for (int c = 0; c < colWidths_.size(); ++c) {
        if (colWidths_[c] > 0) {
            setColumnWidth(c, toPixels(colWidths_[c]));
        }
    }
}

int RecordGrid::colWidth(int col) const {
    return col >= 0 && col < colWidths_.size() ? colWidths_[col] : 0;
}

void RecordGrid::setColWidth(int col, int twips) {
    if (col < 0 || col >= colWidths_.size()) {
        return;
    }
    colWidths_[col] = twips;
    setColumnWidth(col, toPixels(twips));
}

void RecordGrid::setDefaultRowHeight(int twips) {
    defaultRowHeight_ = twips;
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(toPixels(twips));
}

int RecordGrid::rowHeight(int row) const {
    if (row < 0 || row >= rows()) {
        return 0;
    }
    return rowHeights_.value(row, defaultRowHeight_);
}

void RecordGrid::setRowHeight(int row, int twips) {
    if (row < 0 || row >= rows()) {
        return;
    }
    if (twips == defaultRowHeight_) {
        if (rowHeights_.remove(row) == 0) {
            return;  // already at the shared height: nothing to touch
        }
    } else {
        rowHeights_.insert(row, twips);
    }
    verticalHeader()->resizeSection(row, toPixels(twips));
}

void RecordGrid::selectAllRecords() {
    if (rows() < 2 || cols() < 1) {
        clearSelection();
        return;
    }
    const QItemSelection records(model_.index(1, 0), model_.index(rows() - 1, cols() - 1));
    selectionModel()->select(records, QItemSelectionModel::ClearAndSelect);
}

void RecordGrid::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        emit copyRequested();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAllRecords();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace kelvora
