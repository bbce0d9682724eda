#include "files/record_copy.h"

#include <QSet>
#include <algorithm>
#include <vector>

namespace kelvora {

namespace {

std::vector<int> sortedUnique(std::vector<int> values) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

}  // namespace

QString tabSeparatedCells(const RecordCells& cells, const QModelIndexList& selected) {
    std::vector<int> rows, columns;
    QSet<QPair<int, int>> chosen;
    for (const QModelIndex& index : selected) {
        rows.push_back(index.row());
        columns.push_back(index.column());
        chosen.insert({index.row(), index.column()});
    }
    rows = sortedUnique(std::move(rows));
    columns = sortedUnique(std::move(columns));
    QString text;
    for (int row : rows) {
        QStringList line;
        for (int column : columns) {
            line << (chosen.contains({row, column}) ? cells.text(row, column) : QString());
        }
        text += line.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

}  // namespace kelvora
