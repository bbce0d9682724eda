#include "app/report_dialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateEdit>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringListModel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/form1.h"
#include "app/print_dialog.h"
#include "app/save_dialog_prep.h"
#include "app/ui_texts.h"
#include "charts/record_chart_data.h"
#include "platform/record_grid.h"
#include "platform/settings_store.h"
#include "report/report_document.h"
#include "report/report_pdf.h"
#include "visit/report_records.h"
#include "visit/report_settings.h"

namespace kelvora {

namespace {

using report::SiteField;

const SaveTypes kPdfType = {QT_TRANSLATE_NOOP("kelvora::SaveTypes", "PDF 文件(*.pdf)|*.pdf|"),
                            {".pdf"}};
constexpr int kRefreshDelayMs = 200;
constexpr int kNoteColumn = 3;
constexpr int kPointColumn = 4;  // shown before the note
// Reports this long take more than a moment to write: their progress is shown.
constexpr int kPagesShownInProgress = 40;

bool isFreeText(SiteField field) {
    return field == report::SoilCondition || field == report::Remarks;
}

QString modeText(MeasuringMode mode) {
    return mode == MeasuringMode::Unrecognised
               ? QCoreApplication::translate("kelvora::ReportDialog", "未能读取")
               : chartTitle(mode);
}

QString readingText(const report::ReportRecord& record) {
    switch (record.mode) {
        case MeasuringMode::EarthResistance:
            return record.text(ValueSlot::R);
        case MeasuringMode::SoilResistivity:
            return record.text(ValueSlot::Rho) + QStringLiteral(" @ ") +
                   record.text(ValueSlot::RhoLength);
        case MeasuringMode::EarthVoltage:
            return record.text(ValueSlot::V);
        case MeasuringMode::ClampCurrent:
            return record.text(ValueSlot::I);
        case MeasuringMode::Unrecognised:
            break;
    }
    return {};
}

std::vector<report::ReportRecord> currentRecords(Form1& form) {
    const RecordGridModel& table = form.grid->cells();
    const RecordCells cells = {table.rows(),
                               [&table](int row, int column) { return table.text(row, column); }};
    return report::recordsOf(cells, form.records);
}

}  // namespace

ReportDialog::ReportDialog(Form1& form)
    : ReportDialog(form, std::nullopt, QStringLiteral("download")) {}

ReportDialog::ReportDialog(Form1& form, std::vector<report::ReportRecord> records, QString source)
    : ReportDialog(form, std::optional(std::move(records)), std::move(source)) {}

ReportDialog::ReportDialog(Form1& form, std::optional<std::vector<report::ReportRecord>> records,
                           QString source)
    : QDialog(&form),
      form_(form),
      date_(new QDateEdit(this)),
      limit_(new QLineEdit(this)),
      limitError_(new QLabel(this)),
      notes_(new QTableWidget(this)),
      noRecords_(new QLabel(this)),
      save_(new QPushButton(this)),
      print_(new QPushButton(this)),
      preview_(new QPushButton(this)),
      file_(new QPushButton(this)),
      siteNames_(new QStringListModel(this)),
      pointNames_(new QStringListModel(this)),
      limitLabel_(new QLabel(this)),
      notesLabel_(new QLabel(this)),
      wordedIn_(form.language.current()),
      ownRecords_(std::move(records)),
      source_(std::move(source)) {
    setObjectName(ownRecords_ ? QStringLiteral("visitImportDialog")
                              : QStringLiteral("reportDialog"));
    setModal(false);
    resize(820, 680);

    const report::ReportSettings remembered = report::loadReportSettings(*settingsStore());
    // Two fields a row; the free texts take a whole row each.
    auto* site = new QGridLayout;
    int row = 0, column = 0;
    for (int f = 0; f < report::kSiteFieldCount; ++f) {
        const auto field = SiteField(f);
        QWidget* editor = nullptr;
        if (field == report::TestDate) {
            date_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
            date_->setCalendarPopup(true);
            date_->setDate(form.clock->now().date());
            editor = date_;
        } else if (isFreeText(field)) {
            texts_[size_t(f)] = new QPlainTextEdit(remembered.site[size_t(f)], this);
            texts_[size_t(f)]->setFixedHeight(48);
            editor = texts_[size_t(f)];
        } else {
            lines_[size_t(f)] = new QLineEdit(remembered.site[size_t(f)], this);
            editor = lines_[size_t(f)];
        }
        const bool wide = isFreeText(field);
        if (wide && column > 0) {
            ++row;
            column = 0;
        }
        fieldLabels_[size_t(f)] = new QLabel(this);
        site->addWidget(fieldLabels_[size_t(f)], row, column);
        site->addWidget(editor, row, column + 1, 1, wide ? 3 : 1);
        column = wide || column > 0 ? 0 : 2;
        row += column == 0 ? 1 : 0;
    }
    limit_->setText(report::limitText(remembered.limitOhm));
    limitError_->setStyleSheet(QStringLiteral("color: #b00000"));
    auto* limitRow = new QHBoxLayout;
    limitRow->addWidget(limit_);
    limitRow->addWidget(new QLabel(QStringLiteral("Ω"), this));
    limitRow->addWidget(limitError_, 1);
    site->addWidget(limitLabel_, row, 0);
    site->addLayout(limitRow, row, 1, 1, 3);

    notes_->setColumnCount(5);
    notes_->verticalHeader()->hide();
    notes_->horizontalHeader()->setSectionResizeMode(kNoteColumn, QHeaderView::Stretch);
    notes_->setColumnWidth(0, 56);
    notes_->setColumnWidth(1, 96);
    notes_->setColumnWidth(2, 170);
    noRecords_->setAlignment(Qt::AlignCenter);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(preview_);
    buttons->addWidget(print_);
    buttons->addWidget(save_);
    buttons->addWidget(file_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(site);
    layout->addWidget(notesLabel_);
    layout->addWidget(notes_, 1);
    layout->addWidget(noRecords_, 1);
    layout->addLayout(buttons);

    connect(save_, &QPushButton::clicked, this, [this] { savePdf(); });
    connect(print_, &QPushButton::clicked, this, [this] { print(); });
    connect(preview_, &QPushButton::clicked, this, [this] { preview(); });
    connect(notes_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == kNoteColumn) {
            noteTexts_[item->data(Qt::UserRole).toInt()] = item->text();
        } else if (item->column() == kPointColumn) {
            pointTexts_[item->data(Qt::UserRole).toInt()] = item->text();
        }
    });
    if (!ownRecords_) {
        connect(&form.records, &RecordModel::cleared, this, [this] {
            noteTexts_.clear();
            pointTexts_.clear();
            scheduleRefresh();
        });
        connect(&form.records, &RecordModel::recordTaken, this, [this](int number) {
            if (number == 1) {
                noteTexts_.clear();  // a new download
                pointTexts_.clear();
            }
            scheduleRefresh();
        });
    }
    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(kRefreshDelayMs);
    connect(&refreshTimer_, &QTimer::timeout, this, [this] { refreshRecords(); });
    setUpArchive();
    retranslate();
    refreshRecords();
}

void ReportDialog::retranslate() {
    setWindowTitle(ownRecords_ ? tr("导入记录：%1").arg(QFileInfo(source_).fileName())
                               : tr("测试报告"));
    for (int f = 0; f < report::kSiteFieldCount; ++f) {
        fieldLabels_[size_t(f)]->setText(report::siteFieldLabel(SiteField(f)));
    }
    limitLabel_->setText(tr("接地电阻限值"));
    notesLabel_->setText(tr("各条记录的备注："));
    notes_->setHorizontalHeaderLabels(
        {QStringLiteral("NO."), tr("类型"), tr("读数"), tr("备注（电极、位置）"), tr("测试点")});
    noRecords_->setText(tr("没有记录：请先读取记录，再生成报告。"));
    save_->setText(tr("保存 PDF…"));
    print_->setText(tr("打印…"));
    preview_->setText(tr("预览"));
    file_->setText(tr("存入档案"));
    if (!limitError_->text().isEmpty()) {
        QString why;
        report::parseLimit(limit_->text(), &why);
        limitError_->setText(why);
    }
    if (isVisible()) {
        refreshRecords();  // the type column; a hidden dialog is filled when shown
    }
}

void ReportDialog::changeEvent(QEvent* event) {
    // The dialog hears of a change as a window and as a child of the main one: once is enough.
    if (event->type() == QEvent::LanguageChange && wordedIn_ != form_.language.current()) {
        wordedIn_ = form_.language.current();
        retranslate();
    }
    QDialog::changeEvent(event);
}

void ReportDialog::showEvent(QShowEvent* event) {
    refreshRecords();
    QDialog::showEvent(event);
}

void ReportDialog::scheduleRefresh() {
    // A hidden dialog is filled when it is shown again.
    if (isVisible() && !refreshTimer_.isActive()) {
        refreshTimer_.start();
    }
}

void ReportDialog::refreshRecords() {
    refreshTimer_.stop();
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus != notes_ && notes_->isAncestorOf(focus)) {
        refreshTimer_.start();  // a note being typed is not swept away
        return;
    }
    const std::vector<report::ReportRecord> records = this->records();
    notes_->blockSignals(true);
    notes_->setRowCount(int(records.size()));
    for (int row = 0; row < int(records.size()); ++row) {
        const report::ReportRecord& record = records[size_t(row)];
        const QString cells[] = {
            QString::number(record.number),
            record.missing ? QCoreApplication::translate("kelvora::ReportDialog", "未能读取")
                           : modeText(record.mode),
            readingText(record), noteTexts_[record.number],
            pointTexts_.count(record.number) > 0 ? pointTexts_[record.number]
                                                 : lastPoints_[record.number]};
        for (int column = 0; column < 5; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setData(Qt::UserRole, record.number);
            if (column != kNoteColumn && column != kPointColumn) {
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            }
            notes_->setItem(row, column, item);
        }
    }
    notes_->blockSignals(false);
    const bool any = !records.empty();
    notes_->setVisible(any);
    noRecords_->setVisible(!any);
    for (QPushButton* button : {save_, print_, preview_, file_}) {
        button->setEnabled(any);
    }
}

std::vector<report::ReportRecord> ReportDialog::records() const {
    return ownRecords_ ? *ownRecords_ : currentRecords(form_);
}

void ReportDialog::setField(SiteField field, const QString& text) {
    if (field == report::TestDate) {
        date_->setDate(QDate::fromString(text, Qt::ISODate));
    } else if (isFreeText(field)) {
        texts_[size_t(field)]->setPlainText(text);
    } else {
        lines_[size_t(field)]->setText(text);
    }
}

QString ReportDialog::field(SiteField field) const {
    if (field == report::TestDate) {
        return date_->date().toString(Qt::ISODate);
    }
    return isFreeText(field) ? texts_[size_t(field)]->toPlainText() : lines_[size_t(field)]->text();
}

std::optional<report::ReportInput> ReportDialog::reportInput() {
    QString why;
    const std::optional<double> limit = report::parseLimit(limit_->text(), &why);
    limitError_->setText(why);
    if (!limit) {
        return std::nullopt;
    }
    report::ReportInput input;
    for (int f = 0; f < report::kSiteFieldCount; ++f) {
        input.site[size_t(f)] = field(SiteField(f));
    }
    input.limitOhm = *limit;
    report::saveReportSettings(*settingsStore(), {input.site, input.limitOhm});
    input.records = records();
    for (const auto& [record, note] : noteTexts_) {
        if (!note.isEmpty()) {
            input.notes[record] = note;
        }
    }
    input.soil = ownRecords_ ? report::soilOf(input.records) : report::soilOf(form_.soilChoice);
    input.madeAt = form_.clock->now();
    input.version = QStringLiteral(KELVORA_VERSION);
    input.history = archiveHistory(input);
    return input;
}

void ReportDialog::savePdf() {
    std::optional<report::ReportInput> input = reportInput();
    if (!input || input->records.empty()) {
        return;
    }
    const std::optional<QString> path = runOwnSaveDialog(form_, kPdfType, this, pdfType_);
    if (!path) {
        return;
    }
    const report::ReportDocument document(std::move(*input));
    std::unique_ptr<QProgressDialog> progress;
    if (document.pageCount() > kPagesShownInProgress) {
        progress = std::make_unique<QProgressDialog>(tr("正在生成报告…"), QString(), 0,
                                                     document.pageCount(), this);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
    }
    const QString failure = report::writeReportPdf(*path, document, [&](int page) {
        if (progress) {
            progress->setValue(page);
        }
    });
    if (!failure.isEmpty()) {
        reportPrintFailure(form_, this, failure);
    }
}

void ReportDialog::print() {
    std::optional<report::ReportInput> input = reportInput();
    if (!input || input->records.empty() || !runPrintDialog(form_, this)) {
        return;
    }
    const report::ReportDocument document(std::move(*input));
    bool printed = true;
    for (int page = 0; page < document.pageCount() && printed; ++page) {
        printed = form_.Printer->printPage([&](QPainter& painter, const QRectF& area) {
            document.paintPage(page, painter, area);
        });
    }
    const bool ended = form_.Printer->endDoc();
    if (!printed) {
        reportPrintFailure(form_, this, tr("打印机无法打印报告"));
    } else if (!ended) {
        reportPrintFailure(form_, this, form_.Printer->lastError());
    }
}

void ReportDialog::preview() {
    std::optional<report::ReportInput> input = reportInput();
    if (!input || input->records.empty()) {
        return;
    }
    const report::ReportDocument document(std::move(*input));
    const bool shown = form_.Printer->preview(
        this, document.pageCount(), [&document](int page, QPainter& painter, const QRectF& area) {
            document.paintPage(page, painter, area);
        });
    if (!shown) {
        reportPrintFailure(form_, this, tr("无法显示打印预览"));
    }
}

void Form1::mnureport_Click() {
    auto* dialog = findChild<ReportDialog*>(QStringLiteral("reportDialog"));
    if (dialog == nullptr) {
        dialog = new ReportDialog(*this);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace kelvora
