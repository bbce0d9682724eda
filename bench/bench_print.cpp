#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>

#include "bench/bench.h"
#include "platform/qt_printer.h"
#include "platform/record_grid.h"
#include "print/print_lines.h"

namespace kelvora::bench {

namespace {}  // namespace

void runPrintBenchmarks() {
    RecordGridModel table;
    fillFullRecordTable(table);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("records.pdf"));

    QElapsedTimer clock;
    clock.start();
    const QStringList lines =
        recordTablePrintLines([&table](int row, int column) { return table.text(row, column); },
                              table.rows(), kFullRecordCount);
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
