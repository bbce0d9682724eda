#include "formats/xls_workbook.h"

#include <QSaveFile>

#include "formats/biff8_records.h"
#include "formats/biff8_stream.h"
#include "formats/compound_file.h"
#include "formats/le_bytes.h"
#include "formats/write_target.h"
#include "formats/xls_sheet.h"

namespace kelvora {

namespace {

constexpr int kXlGeneral = 1;

class XlsWorkbook : public Spreadsheet {
public:
    bool newWorkbook() override {
        sheet_.clear();
        open_ = true;
        error_.clear();
        return true;
    }

    bool setHorizontalAlignment(int row, int column, int alignment) override {
        if (!checkCell(row, column)) {
            return false;
        }
        if (alignment != kXlCenter && alignment != kXlGeneral) {
            return fail(QStringLiteral("unsupported horizontal alignment %1").arg(alignment));
        }
        sheet_.setCentred(row - 1, column - 1, alignment == kXlCenter);
        return true;
    }

    bool setValue(int row, int column, const QString& text) override {
        if (!checkCell(row, column)) {
            return false;
        }
        if (text.size() > biff8::kMaxStringChars) {
            return fail(QStringLiteral("text of %1 characters in row %2, column %3 is longer than "
                                       "the %4 a cell can hold")
                            .arg(text.size())
                            .arg(row)
                            .arg(column)
                            .arg(biff8::kMaxStringChars));
        }
        if (!sheet_.setText(row - 1, column - 1, text)) {
            return fail(QStringLiteral("workbook too large: no room for more texts"));
        }
        return true;
    }

    bool saveAs(const QString& path) override {
        if (!checkOpen()) {
            return false;
        }
        if (path.isEmpty()) {
            return fail(QStringLiteral("no file name given"));
        }
        if (const QString refusal = writeTargetRefusal(path); !refusal.isEmpty()) {
            return fail(refusal);
        }
        // Written beside the target and renamed over it only when complete, so a failure
        // leaves any earlier file under that name as it was.
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            return fail(QStringLiteral("cannot create %1: %2").arg(path, out.errorString()));
        }
        const QString failure = writeFile(out, path);
        if (!failure.isEmpty()) {
            out.cancelWriting();
            return fail(failure);
        }
        if (!out.commit()) {
            return fail(QStringLiteral("cannot save %1: %2").arg(path, out.errorString()));
        }
        error_.clear();
        return true;
    }

    bool close() override {
        if (!checkOpen()) {
            return false;
        }
        open_ = false;
        sheet_.clear();
        return true;
    }

    void quit() override {
        open_ = false;
        sheet_.clear();
    }

    QString lastError() const override { return error_; }

private:
    // The stream goes out through a bounded buffer after a placeholder header; the header and
    // the sheet's offset, known only at the end, are then put in place. Returns the reason of
    // a failure, empty on success.
    QString writeFile(QSaveFile& out, const QString& path) {
        const QString cannotWrite = QStringLiteral("cannot write %1: ").arg(path);
        const QByteArray placeholder(cfb::kSectorSize, '\0');
        if (out.write(placeholder) != placeholder.size()) {
            return cannotWrite + out.errorString();
        }
        QByteArray buffer;
        buffer.reserve(ByteSink::kFlushAt + biff8::kMaxRecordData + 4);
        ByteSink sink(buffer, &out);
        const biff8::WorkbookStream stream = biff8::writeWorkbookStream(sink, sheet_);
        const QString streamName = QStringLiteral("Workbook");
        if (!cfb::fitsOneStreamFile(streamName, stream.size)) {
            return QStringLiteral("workbook too large for a .xls file");
        }
        const cfb::Layout layout = cfb::planLayout(stream.size);
        cfb::appendTail(sink, layout, streamName, stream.size);
        QByteArray offset;
        appendU32(offset, stream.sheetOffset);
        if (!sink.finish() || !out.seek(0) || out.write(cfb::headerSector(layout)) != 512 ||
            !out.seek(cfb::kSectorSize + stream.sheetOffsetField) || out.write(offset) != 4) {
            return cannotWrite + out.errorString();
        }
        return {};
    }

    bool fail(const QString& reason) {
        error_ = reason;
        return false;
    }

    bool checkOpen() { return open_ || fail(QStringLiteral("no workbook is open")); }

    bool checkCell(int row, int column) {
        if (!checkOpen()) {
            return false;
        }
        if (row < 1 || column < 1) {
            return fail(QStringLiteral("no cell at row %1, column %2: both count from 1")
                            .arg(row)
                            .arg(column));
        }
        if (!XlsSheet::inRange(row - 1, column - 1)) {
            return fail(
                QStringLiteral("workbook too large: cell at row %1, column %2 is beyond the "
                               "%3 rows and %4 columns of a .xls sheet")
                    .arg(row)
                    .arg(column)
                    .arg(XlsSheet::kMaxRows)
                    .arg(XlsSheet::kMaxColumns));
        }
        return true;
    }

    XlsSheet sheet_;
    bool open_ = false;
    QString error_;
};

}  // namespace

std::unique_ptr<Spreadsheet> makeXlsWorkbook() {
    return std::make_unique<XlsWorkbook>();
}

}  // namespace kelvora
