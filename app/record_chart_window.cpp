#include "app/record_chart_window.h"

#include <QBuffer>
#include <QChartView>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/form1.h"
#include "app/print_dialog.h"
#include "app/save_dialog_prep.h"
#include "app/soil_model_panel.h"
#include "app/ui_texts.h"
#include "charts/record_chart_view.h"
#include "formats/text_file.h"
#include "platform/settings_store.h"
#include "visit/report_settings.h"

namespace kelvora {

namespace {

const SaveTypes kChartTypes = {
    QT_TRANSLATE_NOOP("kelvora::SaveTypes", "PNG 图片(*.png)|*.png|PDF 文件(*.pdf)|*.pdf|"),
    {".png", ".pdf"}};
constexpr int kPngType = 1;  // then PDF

// Often enough to follow a download, seldom enough that a long one is not redrawn per record.
constexpr int kRebuildDelayMs = 200;
const QSize kDefaultSize(960, 640);

// Lays a widget and its children out now, not when the event loop next runs: a tab drawn anew
// may be saved or printed before that.
void layOutNow(QWidget& widget) {
    if (widget.layout() != nullptr) {
        widget.layout()->invalidate();
        widget.layout()->activate();
    }
    for (QWidget* child : widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        layOutNow(*child);
    }
}

void renderChart(QWidget& shown, QPainter& painter, const QRectF& target) {
    painter.setRenderHint(QPainter::Antialiasing);
    if (auto* view = qobject_cast<QChartView*>(&shown)) {
        view->render(&painter, target, view->rect(), Qt::KeepAspectRatio);
        return;
    }
    // A widget of several parts, scaled as a whole into the target.
    const QSizeF size = shown.size();
    const double scale = std::min(target.width() / size.width(), target.height() / size.height());
    painter.save();
    painter.translate(target.center() - QPointF(size.width(), size.height()) * scale / 2);
    painter.scale(scale, scale);
    shown.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    painter.restore();
}

}  // namespace

RecordChartWindow::RecordChartWindow(Form1& form)
    : QWidget(&form, Qt::Window),
      form_(form),
      tabs_(new QTabWidget(this)),
      noRecords_(new QLabel(this)),
      save_(new QPushButton(this)),
      print_(new QPushButton(this)),
      wordedIn_(form.language.current()) {
    retranslate();
    resize(kDefaultSize);
    noRecords_->setAlignment(Qt::AlignCenter);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(print_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addWidget(noRecords_, 1);
    layout->addLayout(buttons);

    connect(save_, &QPushButton::clicked, this, [this] { saveChart(); });
    connect(print_, &QPushButton::clicked, this, [this] { printChart(); });
    rebuildTimer_.setSingleShot(true);
    rebuildTimer_.setInterval(kRebuildDelayMs);
    connect(&rebuildTimer_, &QTimer::timeout, this, [this] { rebuild(); });
    connect(&form.records, &RecordModel::recordTaken, this, [this] { scheduleRebuild(); });
    connect(&form.records, &RecordModel::cleared, this, [this] { scheduleRebuild(); });
    // The charts are drawn when the window is shown.
    tabs_->hide();
    save_->setEnabled(false);
    print_->setEnabled(false);
}

void RecordChartWindow::retranslate() {
    setWindowTitle(Form1::tr(texts::kMenuChart));
    noRecords_->setText(tr("没有记录"));
    save_->setText(Form1::tr(texts::kSave));
    print_->setText(Form1::tr(texts::kPrint));
}

void RecordChartWindow::changeEvent(QEvent* event) {
    // The window hears of a change as a window and as a child of the main one: once is enough.
    if (event->type() == QEvent::LanguageChange && wordedIn_ != form_.language.current()) {
        wordedIn_ = form_.language.current();
        retranslate();
        if (isVisible()) {
            rebuild();  // titles, axes and the soil texts are worded as the charts are drawn
        }
    }
    QWidget::changeEvent(event);
}

void RecordChartWindow::scheduleRebuild() {
    // A closed window is drawn afresh when it opens again.
    if (isVisible() && !rebuildTimer_.isActive()) {
        rebuildTimer_.start();
    }
}

void RecordChartWindow::showEvent(QShowEvent* event) {
    rebuild();
    QWidget::showEvent(event);
}

void RecordChartWindow::rebuild() {
    rebuildTimer_.stop();
    const MeasuringMode shownMode =
        tabs_->currentIndex() >= 0 && size_t(tabs_->currentIndex()) < pages_.size()
            ? pages_[size_t(tabs_->currentIndex())].mode
            : MeasuringMode::Unrecognised;
    pages_ = chartPages(form_.records, report::loadReportSettings(*settingsStore()).limitOhm);

    tabs_->setUpdatesEnabled(false);
    while (tabs_->count() > 0) {
        QWidget* page = tabs_->widget(0);
        tabs_->removeTab(0);
        delete page;
    }
    for (const ChartPage& page : pages_) {
        QWidget* view =
            page.mode == MeasuringMode::SoilResistivity
                ? static_cast<QWidget*>(new SoilModelPanel(page, form_.soilChoice, tabs_))
                : makeChartView(page, tabs_);
        view->resize(tabs_->size());
        layOutNow(*view);
        tabs_->addTab(view, page.title);
        if (page.mode == shownMode) {
            tabs_->setCurrentWidget(view);
        }
    }
    tabs_->setUpdatesEnabled(true);

    const bool any = !pages_.empty();
    tabs_->setVisible(any);
    noRecords_->setVisible(!any);
    save_->setEnabled(any);
    print_->setEnabled(any);
}

QChartView* RecordChartWindow::shownChart() const {
    if (auto* soil = qobject_cast<SoilModelPanel*>(tabs_->currentWidget())) {
        return soil->surveyChart();
    }
    return qobject_cast<QChartView*>(tabs_->currentWidget());
}

QWidget* RecordChartWindow::shownPrintable() const {
    // A tab chosen just before may not have been laid out yet (the event loop does that), and
    // its picture would come out empty or squeezed: it is laid out now, with its page's size.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (QWidget* page = tabs_->currentWidget()) {
        page->setGeometry(page->parentWidget()->contentsRect());
        layOutNow(*page);
    }
    if (auto* soil = qobject_cast<SoilModelPanel*>(tabs_->currentWidget())) {
        return soil->printArea();
    }
    return shownChart();
}

QByteArray RecordChartWindow::chartBytes(bool png) const {
    QWidget* view = shownPrintable();
    if (view == nullptr) {
        return {};
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (png) {
        view->grab().save(&buffer, "PNG");
        return bytes;
    }
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setTitle(windowTitle());
        writer.setCreator(QString::fromUtf8(texts::kCaption));
        QPainter painter(&writer);
        renderChart(*view, painter, QRectF(0, 0, writer.width(), writer.height()));
    }
    return bytes;
}

void RecordChartWindow::saveChart() {
    const std::optional<QString> path = runOwnSaveDialog(form_, kChartTypes, this, chartType_);
    if (!path) {
        return;
    }
    const bool png = chartType_ <= kPngType;
    const QByteArray bytes = chartBytes(png);
    const QString failure =
        bytes.isEmpty() ? tr("没有可保存的图表") : writeFileSafely(*path, bytes);
    if (!failure.isEmpty()) {
        reportSaveFailure(form_, *path, failure, this);
    }
}

void RecordChartWindow::printChart() {
    if (shownPrintable() == nullptr || !runPrintDialog(form_, this)) {
        return;
    }
    // Records may have arrived while the dialog was open and the charts been drawn anew.
    QWidget* view = shownPrintable();
    const bool printed =
        view != nullptr && form_.Printer->printPage([view](QPainter& painter, const QRectF& page) {
            renderChart(*view, painter, page);
        });
    const bool ended = form_.Printer->endDoc();
    if (!printed) {
        reportPrintFailure(form_, this, tr("打印机无法打印图表"));
    } else if (!ended) {
        reportPrintFailure(form_, this, form_.Printer->lastError());
    }
}

void Form1::mnuchart_Click() {
    if (chartWindow == nullptr) {
        chartWindow = new RecordChartWindow(*this);
    }
    chartWindow->show();
    chartWindow->raise();
    chartWindow->activateWindow();
}

}  // namespace kelvora
