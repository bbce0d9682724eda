#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>

#include "bench/bench.h"
#include "platform/qt_printer.h"
#include "platform/record_grid.h"
#include "print/print_lines.h"

namespace kelvora::bench {

namespace {

constexpr int kRecords = 32767;  // the most a 16-bit record count can announce

// A full table of the four record kinds in turn, as a download leaves it.
void fillTable(RecordGridModel& table) {
    const char* const header[] = {"NO.", "R", "ρ", "ρLenght", "Rc", "Rp", "I", "V"};
    table.setCols(kRecordColumns);
    table.setRows(kRecords + 1);
    for (int column = 0; column < kRecordColumns; ++column) {
        table.setText(0, column, QString::fromUtf8(header[column]));
    }
    for (int row = 1; row <= kRecords; ++row) {
        table.setText(row, 0, QString::number(row));
        switch (row % 4) {
            case 0:
                table.setText(row, 1, QStringLiteral("12.3Ω"));
                table.setText(row, 4, QStringLiteral("1.25KΩ"));
                table.setText(row, 5, QStringLiteral("0.80KΩ"));
                break;
            case 1:
                table.setText(row, 2, QStringLiteral("105.2Ωm"));
                table.setText(row, 3, QStringLiteral("5.0m"));
                table.setText(row, 4, QStringLiteral("1.25KΩ"));
                table.setText(row, 5, QStringLiteral("0.80KΩ"));
                break;
            case 2:
                table.setText(row, 6, QStringLiteral("12.50mA"));
                break;
            default:
                table.setText(row, 7, QStringLiteral("230.5V"));
                break;
        }
    }
}

}  // namespace

void runPrintBenchmarks() {
    RecordGridModel table;
    fillTable(table);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("records.pdf"));

    QElapsedTimer clock;
    clock.start();
    const QStringList lines = recordTablePrintLines(
        [&table](int row, int column) { return table.text(row, column); }, table.rows(), kRecords);
    const double buildMs = clock.nsecsElapsed() / 1e6;

    QtPrinter printer;
    printer.qprinter()->setOutputFormat(QPrinter::PdfFormat);
    printer.qprinter()->setOutputFileName(path);
    clock.restart();
    int failed = 0;
    for (const QString& line : lines) {
        failed += printer.print(line) ? 0 : 1;
    }
    printer.endDoc();
    const double printMs = clock.nsecsElapsed() / 1e6;

    printFigure("print: lines of a 32767-record table", lines.size(), "lines");
    printFigure("print: building those lines", buildMs, "ms");
    printFigure("print: drawing them to PDF and ending the document", printMs, "ms");
    printFigure("print: pages of the 32767-record table", printer.pageCount(), "pages");
    printFigure("print: PDF size", QFileInfo(path).size() / 1024.0, "KiB");
    printFigure("print: lines that failed", failed, "lines");
}

}  // namespace kelvora::bench
