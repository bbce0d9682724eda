#pragma once

// Shared by the save and export tests: a scratch folder, file reading, table filling and a
// spreadsheet that records what it is asked to do.

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "app/form1.h"
#include "platform/record_grid.h"
#include "platform/spreadsheet.h"

namespace kelvora::testing {

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArrayLiteral("<missing>");
    }
    return file.readAll();
}

inline QByteArray utf8(const char* text) {
    return QByteArray(text);
}

// Headers of the record table, as the table control holds them.
inline const QStringList& recordHeaders() {
    static const QStringList headers = {
        "NO.", "R", QStringLiteral("ρ"), QStringLiteral("ρLenght"), "Rc", "Rp", "I", "V"};
    return headers;
}

// Lays the table out as after start-up with `records` rows of cells below the headers.
inline void fillTable(Form1& form, const QList<QStringList>& records) {
    form.grid->setCols(8);
    form.grid->setRows(int(records.size()) + 1);
    for (int c = 0; c < 8; ++c) {
        form.grid->setTextMatrix(0, c, recordHeaders()[c]);
    }
    for (int k = 0; k < records.size(); ++k) {
        for (int c = 0; c < 8; ++c) {
            form.grid->setTextMatrix(k + 1, c, c < records[k].size() ? records[k][c] : QString());
        }
    }
}

// A workbook that logs every call; it can be told to fail at the n-th call of one kind.
class RecordingSpreadsheet : public Spreadsheet {
public:
    struct Log {
        QStringList
            calls;       // "new", "align r c 3", "value r c text", "saveAs path", "close", "quit"
        QString failAt;  // kind of call that fails: "new", "align", "value", "saveAs", "close"
        int failAfter = 0;  // calls of that kind that succeed before it fails
        QString error = QStringLiteral("sheet refused");
        int instances = 0;
    };
    explicit RecordingSpreadsheet(std::shared_ptr<Log> log) : log_(std::move(log)) {
        ++log_->instances;
    }

    bool newWorkbook() override { return record(QStringLiteral("new"), QStringLiteral("new")); }
    bool setHorizontalAlignment(int row, int column, int alignment) override {
        return record(QStringLiteral("align"),
                      QStringLiteral("align %1 %2 %3").arg(row).arg(column).arg(alignment));
    }
    bool setValue(int row, int column, const QString& text) override {
        return record(QStringLiteral("value"),
                      QStringLiteral("value %1 %2 %3").arg(row).arg(column).arg(text));
    }
    bool saveAs(const QString& path) override {
        return record(QStringLiteral("saveAs"), QStringLiteral("saveAs ") + path);
    }
    bool close() override { return record(QStringLiteral("close"), QStringLiteral("close")); }
    void quit() override { log_->calls << QStringLiteral("quit"); }
    QString lastError() const override { return log_->error; }

private:
    bool record(const QString& kind, const QString& call) {
        if (kind == log_->failAt && log_->failAfter-- <= 0) {
            log_->calls << QStringLiteral("failed ") + call;
            return false;
        }
        log_->calls << call;
        return true;
    }
    std::shared_ptr<Log> log_;
};

inline SpreadsheetFactory recordingFactory(const std::shared_ptr<RecordingSpreadsheet::Log>& log) {
    return [log] { return std::make_unique<RecordingSpreadsheet>(log); };
}

}  // namespace kelvora::testing
