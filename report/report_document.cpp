#include "report/report_document.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

#include "look/fonts.h"
#include "modbus/record_download.h"
#include "report/report_charts.h"
#include "report/report_history_text.h"
#include "soil/soil_texts.h"
#include "visit/report_settings.h"

namespace kelvora::report {

namespace {

// Page geometry and type sizes in tenths of a point.
constexpr double kLeft = 560, kRight = ReportDocument::kPageWidth - 560;
constexpr double kTop = 560, kBottom = ReportDocument::kPageHeight - 700;
constexpr double kWidth = kRight - kLeft;
constexpr int kTitleSize = 200, kHeadingSize = 130, kBodySize = 95, kSmallSize = 80;
constexpr double kCellPadding = 40;
constexpr double kChartHeight = 2500;
constexpr double kParagraphGap = 120;
const QColor kRuleColour(0x80, 0x80, 0x80);
const QColor kHeaderFill(0xe8, 0xec, 0xf2);

using Paint = std::function<void(QPainter&, const QRectF&)>;

QFont reportFont(int size, bool bold = false) {
    QFont font = simSunFont(10, bold);
    font.setPixelSize(size);  // laid out in page units, whatever the device's resolution
    return font;
}

// Text as typed, wrapped at word boundaries or anywhere, never read as markup.
std::unique_ptr<QTextLayout> wrapped(const QString& text, const QFont& font, double width,
                                     Qt::Alignment alignment = Qt::AlignLeft) {
    QString plain = text;
    plain.replace(QLatin1Char('\n'), QChar::LineSeparator);
    auto layout = std::make_unique<QTextLayout>(plain, font);
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->beginLayout();
    double y = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
    return layout;
}

double wrappedHeight(const QString& text, const QFont& font, double width) {
    return std::max(wrapped(text, font, width)->boundingRect().height(),
                    QFontMetricsF(font).height());
}

void drawWrapped(QPainter& painter, const QString& text, const QFont& font, const QRectF& rect,
                 Qt::Alignment alignment = Qt::AlignLeft) {
    wrapped(text, font, rect.width(), alignment)->draw(&painter, rect.topLeft());
}

struct Column {
    QString title;
    double share;  // of the table's width
};

struct Table {
    std::vector<Column> columns;
    std::vector<QStringList> rows;
    std::vector<QColor> rowColours;  // of the last cell, where it tells a verdict
    int wrappingColumn = -1;         // the one column whose text may take several lines
};

// Places blocks down the pages; a block that does not fit begins a new page.
class Flow {
public:
    explicit Flow(std::vector<std::vector<ReportDocument::Placed>>& pages) : pages_(pages) {
        newPage();
    }
    void newPage() {
        pages_.emplace_back();
        y_ = kTop;
    }
    bool fits(double height) const { return y_ + height <= kBottom; }
    // Keeps `height` on this page, or starts the next one.
    void keep(double height) {
        if (!fits(height) && y_ > kTop) {
            newPage();
        }
    }
    void place(double height, Paint paint) {
        keep(height);
        pages_.back().push_back({y_, height, std::move(paint)});
        y_ += height;
    }
    void space(double height) { y_ += height; }

private:
    std::vector<std::vector<ReportDocument::Placed>>& pages_;
    double y_ = kTop;
};

void drawRow(QPainter& painter, const QRectF& rect, const std::vector<Column>& columns,
             const QStringList& cells, const QFont& font, bool header, const QColor& last,
             int wrappingColumn) {
    painter.save();
    if (header) {
        painter.fillRect(rect, kHeaderFill);
    }
    painter.setPen(QPen(kRuleColour, 4));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    double x = rect.left();
    for (size_t c = 0; c < columns.size(); ++c) {
        const double width = columns[c].share * rect.width();
        const QRectF cell(x + kCellPadding, rect.top() + kCellPadding / 2, width - 2 * kCellPadding,
                          rect.height() - kCellPadding);
        painter.setPen(c + 1 == columns.size() && last.isValid() ? last : Qt::black);
        if (int(c) == wrappingColumn && !header) {
            drawWrapped(painter, cells.value(int(c)), font, cell);
        } else {
            painter.setFont(font);
            painter.drawText(cell, Qt::AlignVCenter | Qt::AlignHCenter, cells.value(int(c)));
        }
        x += width;
    }
    painter.restore();
}

// A table whose header row repeats at the top of every page it runs onto; no row is cut.
void placeTable(Flow& flow, const Table& table) {
    const QFont body = reportFont(kBodySize);
    const QFont bold = reportFont(kBodySize, true);
    const double line = QFontMetricsF(body).height() + kCellPadding;
    QStringList titles;
    for (const Column& column : table.columns) {
        titles << column.title;
    }
    const auto header = [&table, titles, bold](QPainter& painter, const QRectF& rect) {
        drawRow(painter, rect, table.columns, titles, bold, true, QColor(), -1);
    };
    const auto heightOf = [&](size_t r) {
        const int wrap = table.wrappingColumn;
        if (wrap < 0 || table.rows[r].value(wrap).isEmpty()) {
            return line;
        }
        const double width = table.columns[size_t(wrap)].share * kWidth - 2 * kCellPadding;
        // A note longer than a page is cut at the page's foot rather than run off it.
        return std::min(
            std::max(line, wrappedHeight(table.rows[r][wrap], body, width) + kCellPadding),
            kBottom - kTop - line);
    };
    // The header never stands alone at the foot of a page.
    flow.keep(line + (table.rows.empty() ? 0 : heightOf(0)));
    flow.place(line, header);
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const double height = heightOf(r);
        if (!flow.fits(height)) {
            flow.newPage();
            flow.place(line, header);
        }
        const QColor colour = r < table.rowColours.size() ? table.rowColours[r] : QColor();
        flow.place(height, [&table, r, body, colour](QPainter& painter, const QRectF& rect) {
            drawRow(painter, rect, table.columns, table.rows[r], body, false, colour,
                    table.wrappingColumn);
        });
    }
}

}  // namespace

ReportDocument::ReportDocument(ReportInput input) : input_(std::move(input)) {
    installFontSubstitutions();
    layOut();
}

ReportDocument::~ReportDocument() = default;

void ReportDocument::paintPage(int index, QPainter& painter, const QRectF& target) const {
    if (index < 0 || index >= pageCount()) {
        return;
    }
    painter.save();
    // One scale for both directions, the page centred in the area (a printer's is not A4's shape).
    const double scale = std::min(target.width() / kPageWidth, target.height() / kPageHeight);
    painter.translate(target.center() - QPointF(kPageWidth, kPageHeight) * scale / 2);
    painter.scale(scale, scale);
    painter.setClipRect(QRectF(0, 0, kPageWidth, kPageHeight));
    for (const Placed& block : pages_[size_t(index)]) {
        block.paint(painter, QRectF(kLeft, block.top, kWidth, block.height));
    }
    // The footer: who made it and when on the left, the page on the right.
    const QFont small = reportFont(kSmallSize);
    painter.setFont(small);
    painter.setPen(QPen(kRuleColour, 4));
    const double footer = kBottom + 250;
    painter.drawLine(QPointF(kLeft, footer - 40), QPointF(kRight, footer - 40));
    painter.setPen(Qt::black);
    const QRectF line(kLeft, footer, kWidth, QFontMetricsF(small).height());
    painter.drawText(
        line, Qt::AlignLeft,
        QCoreApplication::translate("kelvora::report", "Kelvora %1 · 报告生成于 %2")
            .arg(input_.version, input_.madeAt.toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    painter.drawText(line, Qt::AlignRight,
                     QCoreApplication::translate("kelvora::report", "第 %1 页 / 共 %2 页")
                         .arg(index + 1)
                         .arg(pageCount()));
    painter.restore();
}

void ReportDocument::layOut() {
    pages_.clear();
    Flow flow(pages_);
    const QFont title = reportFont(kTitleSize, true);
    const QFont heading = reportFont(kHeadingSize, true);
    const QFont body = reportFont(kBodySize);
    const QFont bold = reportFont(kBodySize, true);
    const double line = QFontMetricsF(body).height();
    const auto text = [&flow, line](const QString& words, const QFont& font,
                                    Qt::Alignment alignment = Qt::AlignLeft) {
        flow.place(wrappedHeight(words, font, kWidth) + line / 3,
                   [words, font, alignment](QPainter& painter, const QRectF& rect) {
                       painter.setPen(Qt::black);
                       drawWrapped(painter, words, font, rect, alignment);
                   });
    };
    const auto section = [&](const QString& name) {
        const double height = QFontMetricsF(heading).height() * 1.4;
        flow.space(kParagraphGap);
        flow.keep(height + 4 * line);
        flow.place(height, [name, heading](QPainter& painter, const QRectF& rect) {
            painter.setFont(heading);
            painter.setPen(Qt::black);
            painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop, name);
            painter.setPen(QPen(Qt::black, 6));
            painter.drawLine(rect.bottomLeft() - QPointF(0, 30),
                             rect.bottomRight() - QPointF(0, 30));
        });
    };
    const auto noteOf = [this](int record) {
        const auto note = input_.notes.find(record);
        return note == input_.notes.end() ? QString() : note->second;
    };

    text(QCoreApplication::translate("kelvora::report", "接地电阻测试报告"), title,
         Qt::AlignHCenter);
    flow.space(kParagraphGap);

    // The site block: label and value twice a line, values wrapped in their half.
    const double labelWidth = 0.2 * kWidth, valueWidth = 0.3 * kWidth;
    for (int field = 0; field < kSiteFieldCount; field += 2) {
        std::vector<std::pair<QString, QString>> pair;
        double height = line;
        for (int f = field; f < std::min(field + 2, int(kSiteFieldCount)); ++f) {
            const QString value = input_.site[size_t(f)];
            const QString label = QCoreApplication::translate("kelvora::report", "%1：")
                                      .arg(siteFieldLabel(SiteField(f)));
            pair.emplace_back(label, value);
            // A label too long for its column wraps too, and the row grows for it.
            height = std::max({height, wrappedHeight(label, bold, labelWidth),
                               wrappedHeight(value, body, valueWidth - kCellPadding)});
        }
        flow.place(height + line / 3, [pair, body, bold, labelWidth, valueWidth](
                                          QPainter& painter, const QRectF& rect) {
            painter.setPen(Qt::black);
            for (size_t k = 0; k < pair.size(); ++k) {
                const double x = rect.left() + k * (labelWidth + valueWidth);
                drawWrapped(painter, pair[k].first, bold,
                            QRectF(x, rect.top(), labelWidth, rect.height()));
                drawWrapped(
                    painter, pair[k].second, body,
                    QRectF(x + labelWidth, rect.top(), valueWidth - kCellPadding, rect.height()));
            }
        });
    }
    text(
        QCoreApplication::translate("kelvora::report", "接地电阻限值：%1 Ω（读数不大于限值为合格）")
            .arg(limitText(input_.limitOhm)),
        bold);

    // What the records hold.
    int counts[5] = {};
    QList<int> missing, unrecognised;
    QStringList unreadable;
    int passed = 0, failed = 0, overloads = 0;
    const ReportRecord* highest = nullptr;
    for (const ReportRecord& record : input_.records) {
        if (record.missing) {
            missing << record.number;
            if (!record.unreadable.isEmpty()) {
                unreadable << QCoreApplication::translate("kelvora::report", "记录 %1：%2")
                                  .arg(record.number)
                                  .arg(record.unreadable);
            }
            continue;
        }
        ++counts[int(record.mode)];
        if (record.mode == MeasuringMode::Unrecognised) {
            unrecognised << record.number;
        }
        if (record.mode != MeasuringMode::EarthResistance) {
            continue;
        }
        const Verdict verdict = verdictOf(record, input_.limitOhm);
        passed += verdict == Verdict::Pass;
        failed += verdict != Verdict::Pass;
        overloads += verdict == Verdict::Overload;
        if ((verdict == Verdict::Pass || verdict == Verdict::Fail) &&
            (highest == nullptr || *record.value(ValueSlot::R) > *highest->value(ValueSlot::R))) {
            highest = &record;
        }
    }
    section(QCoreApplication::translate("kelvora::report", "概况"));
    text(QCoreApplication::translate(
             "kelvora::report",
             "记录共 %1 条：接地电阻 %2 条，土壤电阻率 %3 条，地电压 %4 条，钳形电流 %5 条；"
             "未能读取 %6 条。")
             .arg(input_.records.size())
             .arg(counts[int(MeasuringMode::EarthResistance)])
             .arg(counts[int(MeasuringMode::SoilResistivity)])
             .arg(counts[int(MeasuringMode::EarthVoltage)])
             .arg(counts[int(MeasuringMode::ClampCurrent)])
             .arg(missing.size()),
         body);
    if (!unrecognised.isEmpty()) {
        text(QCoreApplication::translate(
                 "kelvora::report", "另有 %1 条记录的测量方式无法识别，报告中没有它们的读数：%2。")
                 .arg(unrecognised.size())
                 .arg(recordRanges(unrecognised, int(unrecognised.size()))),
             body);
    }
    if (counts[int(MeasuringMode::EarthResistance)] > 0) {
        text(QCoreApplication::translate(
                 "kelvora::report", "接地电阻：合格 %1 条，不合格 %2 条（其中超量程 %3 条）%4。")
                 .arg(passed)
                 .arg(failed)
                 .arg(overloads)
                 .arg(highest == nullptr ? QString()
                                         : QCoreApplication::translate("kelvora::report",
                                                                       "；最大 R = %1（记录 %2）")
                                               .arg(highest->text(ValueSlot::R))
                                               .arg(highest->number)),
             body);
    }

    // Earth resistance: the verdict of each reading, then the chart.
    if (counts[int(MeasuringMode::EarthResistance)] > 0) {
        section(QCoreApplication::translate("kelvora::report", "接地电阻"));
        Table table{{{QStringLiteral("NO."), 0.08},
                     {QStringLiteral("R"), 0.14},
                     {QStringLiteral("Rc"), 0.14},
                     {QStringLiteral("Rp"), 0.14},
                     {QCoreApplication::translate("kelvora::report", "备注"), 0.36},
                     {QCoreApplication::translate("kelvora::report", "结论"), 0.14}},
                    {},
                    {},
                    4};
        // With the site's archive: the previous value, its date and the change beside each.
        const bool archived = !input_.history.empty();
        if (archived) {
            table = {{{QStringLiteral("NO."), 0.05},
                      {QStringLiteral("R"), 0.1},
                      {QStringLiteral("Rc"), 0.1},
                      {QStringLiteral("Rp"), 0.1},
                      {QCoreApplication::translate("kelvora::report", "上次"), 0.1},
                      {QCoreApplication::translate("kelvora::report", "上次日期"), 0.13},
                      {QCoreApplication::translate("kelvora::report", "变化"), 0.09},
                      {QCoreApplication::translate("kelvora::report", "备注"), 0.23},
                      {QCoreApplication::translate("kelvora::report", "结论"), 0.1}},
                     {},
                     {},
                     7};
        }
        for (const ReportRecord& record : input_.records) {
            if (record.missing || record.mode != MeasuringMode::EarthResistance) {
                continue;
            }
            const Verdict verdict = verdictOf(record, input_.limitOhm);
            QStringList row = {QString::number(record.number),
                               verdict == Verdict::Overload
                                   ? QCoreApplication::translate("kelvora::report", "超量程")
                                   : record.text(ValueSlot::R),
                               record.text(ValueSlot::Rc), record.text(ValueSlot::Rp)};
            QString note = noteOf(record.number);
            QColor colour =
                verdict == Verdict::Pass ? QColor(0x10, 0x70, 0x20) : QColor(0xc0, 0x10, 0x10);
            if (archived) {
                const auto history = input_.history.find(record.number);
                const bool known = history != input_.history.end();
                row << (known ? previousValueText(history->second) : QString())
                    << (known ? history->second.previousDate : QString())
                    << (known ? changeText(history->second) : QString());
                if (known) {
                    note = historyNote(history->second, note);
                    if (verdict == Verdict::Pass && flagged(history->second)) {
                        colour = QColor(0xb0, 0x60, 0x00);  // passes, yet risen too far
                    }
                }
            }
            row << note
                << (verdict == Verdict::Pass
                        ? QCoreApplication::translate("kelvora::report", "合格")
                        : QCoreApplication::translate("kelvora::report", "不合格"));
            table.rows.push_back(row);
            table.rowColours.push_back(colour);
        }
        auto shared = std::make_shared<Table>(std::move(table));
        placeTable(flow, *shared);
        tables_.push_back(shared);
        flow.space(kParagraphGap);
        const ChartPage chart = resistanceChart(input_.records, input_.limitOhm);
        flow.place(kChartHeight, [chart](QPainter& painter, const QRectF& rect) {
            paintChart(painter, rect, chart);
        });
    }

    // Soil resistivity: the readings, the sounding with the model, the layers.
    if (counts[int(MeasuringMode::SoilResistivity)] > 0) {
        section(QCoreApplication::translate("kelvora::report", "土壤电阻率"));
        Table table{{{QStringLiteral("NO."), 0.1},
                     {QCoreApplication::translate("kelvora::report", "a（ρ长度）"), 0.2},
                     {QStringLiteral("ρ"), 0.2},
                     {QCoreApplication::translate("kelvora::report", "备注"), 0.5}},
                    {},
                    {},
                    3};
        for (const ReportRecord& record : input_.records) {
            if (!record.missing && record.mode == MeasuringMode::SoilResistivity) {
                table.rows.push_back({QString::number(record.number),
                                      record.text(ValueSlot::RhoLength),
                                      record.text(ValueSlot::Rho), noteOf(record.number)});
            }
        }
        auto shared = std::make_shared<Table>(std::move(table));
        placeTable(flow, *shared);
        tables_.push_back(shared);
        const ChartPage chart = surveyChart(input_.records);
        const std::optional<soil::SoilModel> model =
            input_.soil.problem.isEmpty() ? input_.soil.model : std::nullopt;
        if (!chart.series[0].points.empty()) {
            flow.space(kParagraphGap);
            flow.place(kChartHeight, [chart, model](QPainter& painter, const QRectF& rect) {
                paintChart(painter, rect, chart, model ? &*model : nullptr);
            });
        }
        if (model) {
            text(QCoreApplication::translate("kelvora::report", "土壤模型：%1层，%2，%3 个测点。")
                     .arg(model->layers())
                     .arg(soil::rmsText(*model))
                     .arg(input_.soil.used.size()),
                 bold);
            Table layers{{}, soil::layerTableRows(*model), {}, -1};
            for (const QString& name : soil::layerTableHeader()) {
                layers.columns.push_back({name, 0.2});
            }
            auto layerTable = std::make_shared<Table>(std::move(layers));
            placeTable(flow, *layerTable);
            tables_.push_back(layerTable);
        } else {
            text(QCoreApplication::translate("kelvora::report", "土壤模型：") + input_.soil.problem,
                 body);
        }
    }

    // Earth voltage and clamp current: their values.
    const std::pair<MeasuringMode, ValueSlot> others[] = {
        {MeasuringMode::EarthVoltage, ValueSlot::V}, {MeasuringMode::ClampCurrent, ValueSlot::I}};
    for (const auto& [mode, slot] : others) {
        if (counts[int(mode)] == 0) {
            continue;
        }
        const bool voltage = mode == MeasuringMode::EarthVoltage;
        section(voltage ? QCoreApplication::translate("kelvora::report", "地电压")
                        : QCoreApplication::translate("kelvora::report", "钳形电流"));
        Table table{{{QStringLiteral("NO."), 0.12},
                     {voltage ? QStringLiteral("V") : QStringLiteral("I"), 0.24},
                     {QCoreApplication::translate("kelvora::report", "备注"), 0.64}},
                    {},
                    {},
                    2};
        for (const ReportRecord& record : input_.records) {
            if (!record.missing && record.mode == mode) {
                table.rows.push_back(
                    {QString::number(record.number), record.text(slot), noteOf(record.number)});
            }
        }
        auto shared = std::make_shared<Table>(std::move(table));
        placeTable(flow, *shared);
        tables_.push_back(shared);
    }

    if (!missing.isEmpty()) {
        section(QCoreApplication::translate("kelvora::report", "未能读取的记录"));
    }
    if (missing.size() > unreadable.size()) {
        QList<int> notRead;
        for (const ReportRecord& record : input_.records) {
            if (record.missing && record.unreadable.isEmpty()) {
                notRead << record.number;
            }
        }
        text(
            QCoreApplication::translate(
                "kelvora::report", "以下记录未能从仪器读取，报告中没有它们的读数：%1（共 %2 条）。")
                .arg(recordRanges(notRead, int(notRead.size())))
                .arg(notRead.size()),
            body);
    }
    if (!unreadable.isEmpty()) {
        text(QCoreApplication::translate("kelvora::report",
                                         "以下记录的读数不可能出自仪器，没有判定：%1（共 %2 条）。")
                 .arg(unreadable.join(QCoreApplication::translate("kelvora::report", "；")))
                 .arg(unreadable.size()),
             body);
    }

    // Signatures at the end.
    flow.space(3 * kParagraphGap);
    const QString tester = input_.site[Tester], reviewer = input_.site[Reviewer];
    flow.place(3 * line, [tester, reviewer, body](QPainter& painter, const QRectF& rect) {
        painter.setFont(body);
        painter.setPen(Qt::black);
        const double half = rect.width() / 2;
        const QString names[] = {
            QCoreApplication::translate("kelvora::report", "测试人员（签字）："),
            QCoreApplication::translate("kelvora::report", "审核人（签字）：")};
        for (int k = 0; k < 2; ++k) {
            const QRectF cell(rect.left() + k * half, rect.top(), half - 200, rect.height());
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignBottom, names[k]);
            painter.drawLine(QPointF(cell.left() + 1500, cell.bottom() - 10),
                             QPointF(cell.right(), cell.bottom() - 10));
            // The name typed in the dialog stands on the line, where it is signed.
            painter.drawText(
                QRectF(cell.left() + 1550, cell.top(), cell.width() - 1550, cell.height() - 40),
                Qt::AlignLeft | Qt::AlignBottom, k == 0 ? tester : reviewer);
        }
    });
}

}  // namespace kelvora::report
