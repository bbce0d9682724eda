#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace kelvora {

// The operations the spreadsheet export needs of a workbook; rows and columns count from 1.
class Spreadsheet {
public:
    virtual ~Spreadsheet() = default;
    virtual bool newWorkbook() = 0;
    virtual bool setHorizontalAlignment(int row, int column, int alignment) = 0;  // 3 = centred
    virtual bool setValue(int row, int column, const QString& text) = 0;
    virtual bool saveAs(const QString& path) = 0;
    virtual bool close() = 0;
    virtual void quit() = 0;
    virtual QString lastError() const = 0;
};

constexpr int kXlCenter = 3;

using SpreadsheetFactory = std::function<std::unique_ptr<Spreadsheet>()>;

}  // namespace kelvora
