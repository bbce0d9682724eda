#pragma once

#include <QRectF>
#include <QSizeF>
#include <functional>
#include <memory>
#include <vector>

#include "visit/report_data.h"

class QPainter;

namespace kelvora::report {

// The test report laid out on A4 portrait pages, in tenths of a point. Built from plain data,
// so it needs no window; paints any of its pages onto any painter (a PDF, a printer, a preview).
class ReportDocument {
public:
    static constexpr double kPageWidth = 5953;  // A4, 0.1 pt
    static constexpr double kPageHeight = 8419;

    explicit ReportDocument(ReportInput input);
    ~ReportDocument();

    int pageCount() const { return int(pages_.size()); }
    // Paints page `index` (from 0) scaled into `target`, the page's area on the device.
    void paintPage(int index, QPainter& painter, const QRectF& target) const;

    struct Placed {
        double top = 0;
        double height = 0;
        std::function<void(QPainter&, const QRectF&)> paint;
    };

private:
    void layOut();

    ReportInput input_;
    std::vector<std::vector<Placed>> pages_;
    std::vector<std::shared_ptr<const void>> tables_;  // what the table rows' painters read
};

}  // namespace kelvora::report
