#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace kelvora {

// The live values as the labels show them (element 0 of each label array).
struct ReadingTexts {
    QString r, rc, rp, p, pLength, v, i;
};

// Lines of the reading file for `measureMode`: a header and a value line for modes 1 and 2,
// one line for modes 3 and 4, none for any other mode. Texts are copied as shown.
QStringList readingFileLines(int measureMode, const ReadingTexts& texts);

// Read access to the record table: row 0 the headers, row k record k, `rows` rows in all.
struct RecordCells {
    int rows = 0;
    std::function<QString(int row, int column)> text;
};

// Hands `line` each line of the record text file in turn: the header row, then records 1 to
// max(recordTotal, 1) that the table holds, columns 0 to 7 joined by fixed runs of spaces.
// The line is one buffer, reused from line to line.
void recordFileLines(const RecordCells& cells, int recordTotal,
                     const std::function<void(const QString&)>& line);

// The date part of the default file name: the short date with the characters a file name
// cannot hold ("/" in "2026/12/6", for one) and dots, which would pass for an extension, replaced
// by "-".
QString fileNameDate(const QString& shortDate);

}  // namespace kelvora
