#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <vector>

#include "bench/bench.h"
#include "platform/compound_file.h"
#include "platform/le_bytes.h"
#include "platform/xls_workbook.h"

namespace kelvora::bench {

namespace {

using Clock = BenchClock;

// The largest record table, at its worst: the header row and 32767 records whose texts are all
// distinct and mostly carry Greek units (two bytes a character in the file).
std::vector<QStringList> fullRecordTable() {
    std::vector<QStringList> table;
    table.push_back({QStringLiteral("NO."), QStringLiteral("R"), QString::fromUtf8("ρ"),
                     QString::fromUtf8("ρLenght"), QStringLiteral("Rc"), QStringLiteral("Rp"),
                     QStringLiteral("I"), QStringLiteral("V")});
    for (int k = 1; k <= 32767; ++k) {
        table.push_back({QString::number(k), QString::fromUtf8("%1.%2Ω").arg(k).arg(k % 100),
                         QString::fromUtf8("%1.%2KΩm").arg(k).arg(k % 10),
                         QStringLiteral("%1m").arg(k), QString::fromUtf8("%1Ω").arg(k * 3),
                         QString::fromUtf8("%1Ω").arg(k * 7),
                         QStringLiteral("%1.%2mA").arg(k).arg(k % 9),
                         QStringLiteral("%1.%2V").arg(k).arg(k % 7)});
    }
    return table;
}

}  // namespace

void runSpreadsheetBenchmarks() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("records.xls"));
    const std::vector<QStringList> table = fullRecordTable();
    const int rows = int(table.size());
    const int columns = int(table.front().size());

    std::vector<double> fill, save, total;
    for (int round = 0; round < 5; ++round) {
        const auto start = Clock::now();
        auto book = makeXlsWorkbook();
        book->newWorkbook();
        // The export's order: column by column, alignment before value.
        for (int c = 0; c < columns; ++c) {
            for (int r = 0; r < rows; ++r) {
                book->setHorizontalAlignment(r + 1, c + 1, kXlCenter);
                book->setValue(r + 1, c + 1, table[r][c]);
            }
        }
        const auto filled = Clock::now();
        book->saveAs(path);
        book->close();
        book->quit();
        fill.push_back(std::chrono::duration<double, std::milli>(filled - start).count());
        save.push_back(millisecondsSince(filled));
        total.push_back(millisecondsSince(start));
    }
    printFigure("spreadsheet 32768x8: fill cells through the seam (median)", median(fill), "ms");
    printFigure("spreadsheet 32768x8: encode and save (median)", median(save), "ms");
    printFigure("spreadsheet 32768x8: whole export (median)", median(total), "ms");
    printFigure("spreadsheet 32768x8: file size", QFileInfo(path).size() / 1e6, "MB");
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray header = file.read(cfb::kSectorSize);
        printFigure("spreadsheet 32768x8: FAT sectors", readU32(header, 0x2C), "");
        printFigure("spreadsheet 32768x8: DIFAT sectors", readU32(header, 0x48), "");
    }
}

}  // namespace kelvora::bench
