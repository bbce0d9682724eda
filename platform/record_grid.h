#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QTableView>
#include <QVector>
#include <vector>

namespace kelvora {

// Cell texts of the record table; row 0 is an ordinary row that holds the headers.
class RecordGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    void setRows(int rows);
    void setCols(int cols);

    bool hasCell(int row, int col) const;
    QString text(int row, int col) const;  // empty for a cell the table does not have
    void setText(int row, int col, const QString& text);

    Qt::Alignment alignment(int col) const;
    void setAlignment(int col, Qt::Alignment alignment);

private:
    int rows_ = 0;
    int cols_ = 0;
    std::vector<QString> cells_;  // row-major, rows_ * cols_
    QVector<Qt::Alignment> alignments_;
};

// The record table control: a table view whose geometry, column widths and row heights are set
// in twips. Rows share one height unless a row is given its own, so adding a row costs the same
// whatever the table's size.
class RecordGrid : public QTableView {
    Q_OBJECT
public:
    explicit RecordGrid(QWidget* parent = nullptr);

    RecordGridModel& cells() { return model_; }
    const RecordGridModel& cells() const { return model_; }

    void setGeometryTwips(int left, int top, int width, int height);
    int leftTwips() const { return left_; }
    int topTwips() const { return top_; }
    int widthTwips() const { return width_; }
    int heightTwips() const { return height_; }

    int rows() const { return model_.rows(); }
    void setRows(int rows);
    int cols() const { return model_.cols(); }
    void setCols(int cols);

    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    Qt::Alignment colAlignment(int col) const { return model_.alignment(col); }
    void setColAlignment(int col, Qt::Alignment alignment) { model_.setAlignment(col, alignment); }

    // Height of every row that has not been given its own.
    int defaultRowHeight() const { return defaultRowHeight_; }
    void setDefaultRowHeight(int twips);
    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);

    QString textMatrix(int row, int col) const { return model_.text(row, col); }
    void setTextMatrix(int row, int col, const QString& text) { model_.setText(row, col, text); }

    // Selects every record row (all rows below the header row), as Ctrl+A does.
    void selectAllRecords();

signals:
    void copyRequested();  // Ctrl+C: the window puts the selected cells on the clipboard

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int toPixels(int twips) const;

    RecordGridModel model_;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    int defaultRowHeight_ = 0;
    QVector<int> colWidths_;
    QHash<int, int> rowHeights_;  // rows with a height of their own
};

}  // namespace kelvora
