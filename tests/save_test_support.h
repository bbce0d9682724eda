#pragma once

#include <QFile>
#include <QStringList>

#include "app/form1.h"
#include "platform/record_grid.h"

namespace kelvora::testing {

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArrayLiteral("<missing>");
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline const auto sp = [](int count) { return QByteArray(count, ' '); };

inline const QStringList kRecordHeaders = {
    "NO.", "R", QStringLiteral("ρ"), QStringLiteral("ρLenght"), "Rc", "Rp", "I", "V"};

// Lays the table out as after start-up with `records` rows of cells below the headers.
inline void fillTable(Form1& form, const QList<QStringList>& records) {
    form.grid->setCols(8);
    form.grid->setRows(int(records.size()) + 1);
    for (int r = 0; r <= records.size(); ++r) {
        const QStringList& row = r == 0 ? kRecordHeaders : records[r - 1];
        for (int c = 0; c < 8; ++c) {
            form.grid->setTextMatrix(r, c, c < row.size() ? row[c] : QString());
        }
    }
}

}  // namespace kelvora::testing
