#include "app/archive_window.h"

#include <QChart>
#include <QChartView>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "app/archive_session.h"
#include "app/form1.h"
#include "app/ui_texts.h"
#include "charts/trend_chart_view.h"
#include "files/record_sheet.h"

namespace kelvora {

namespace {

const QSize kDefaultSize(1320, 800);
const QColor kFlaggedBackground(0xff, 0xe0, 0xe0);

QTableWidget* makeTable(QWidget* parent) {
    auto* table = new QTableWidget(parent);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(false);
    return table;
}

void setHeaders(QTableWidget& table, const QStringList& headers) {
    table.setColumnCount(int(headers.size()));
    table.setHorizontalHeaderLabels(headers);
}

void setRow(QTableWidget& table, int row, const QStringList& texts, bool flagged) {
    for (int column = 0; column < texts.size(); ++column) {
        auto* item = new QTableWidgetItem(texts[column]);
        if (flagged) {
            item->setBackground(kFlaggedBackground);
        }
        table.setItem(row, column, item);
    }
}

QString verdictText(archive::PointVerdict verdict) {
    switch (verdict) {
        case archive::PointVerdict::Pass:
            return ArchiveWindow::tr("合格");
        case archive::PointVerdict::Fail:
            return ArchiveWindow::tr("不合格");
        case archive::PointVerdict::Overload:
            return ArchiveWindow::tr("过载");
        case archive::PointVerdict::NoReading:
            break;
    }
    return QString();
}

QString changeText(const std::optional<double>& percent) {
    if (!percent) {
        return QString();
    }
    const double rounded = std::round(*percent * 10) / 10;
    return (rounded > 0 ? QStringLiteral("+") : QString()) + QString::number(rounded, 'f', 1) +
           QStringLiteral(" %");
}

QString flagText(unsigned flags) {
    QStringList reasons;
    if (flags & archive::FlagFail) {
        reasons << ArchiveWindow::tr("超过限值");
    }
    if (flags & archive::FlagOverload) {
        reasons << ArchiveWindow::tr("过载");
    }
    if (flags & archive::FlagRise) {
        reasons << ArchiveWindow::tr("升幅超过阈值");
    }
    return reasons.join(QStringLiteral(", "));
}

bool isBaseline(const archive::PointHistory& point, const archive::PointVisit& visit) {
    return point.baselineVisitId == 0 ? &visit == &point.visits.front()
                                      : visit.visitId == point.baselineVisitId;
}

}  // namespace

ArchiveWindow::ArchiveWindow(Form1& form, ArchiveSession& session)
    : QWidget(&form, Qt::Window),
      form_(form),
      session_(session),
      menus_(new QMenuBar(this)),
      filterLabel_(new QLabel(this)),
      filter_(new QLineEdit(this)),
      sites_(makeTable(this)),
      points_(makeTable(this)),
      visits_(makeTable(this)),
      chart_(new QChartView(this)),
      status_(new QLabel(this)),
      wordedIn_(form.language.current()) {
    setObjectName(QStringLiteral("archiveWindow"));
    chooseArchiveFile = chooseArchiveFileByDialog;
    createMenus();
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setMinimumHeight(260);
    filter_->setClearButtonEnabled(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(filterLabel_);
    searchRow->addWidget(filter_, 1);
    auto* sitesPane = new QWidget(this);
    auto* sitesLayout = new QVBoxLayout(sitesPane);
    sitesLayout->setContentsMargins(0, 0, 0, 0);
    sitesLayout->addLayout(searchRow);
    sitesLayout->addWidget(sites_, 1);
    auto* left = new QSplitter(Qt::Vertical, this);
    left->addWidget(sitesPane);
    left->addWidget(points_);
    auto* right = new QSplitter(Qt::Vertical, this);
    right->addWidget(visits_);
    right->addWidget(chart_);
    right->setStretchFactor(1, 1);
    auto* panes = new QSplitter(Qt::Horizontal, this);
    panes->addWidget(left);
    panes->addWidget(right);
    panes->setStretchFactor(1, 1);
    panes->setSizes({580, 740});
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menus_);
    layout->addWidget(panes, 1);
    layout->addWidget(status_);

    connect(filter_, &QLineEdit::textChanged, this, [this] { showSites(); });
    connect(sites_, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous) {
        if (row != previous) {
            showPoints();
        }
    });
    connect(points_, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous) {
        if (row != previous) {
            showVisits();
        }
    });
    connect(visits_, &QTableWidget::currentCellChanged, this, [this] {
        chosenVisit_ = currentVisit() != nullptr ? currentVisit()->visitId : 0;
        updateActions();
    });
    retranslate();
    resize(kDefaultSize);
}

void ArchiveWindow::createMenus() {
    archiveMenu_ = menus_->addMenu(QString());
    open_ = archiveMenu_->addAction(QString(), this, [this] { askOpen(); });
    merge_ = archiveMenu_->addAction(QString(), this, [this] { askMerge(); });
    backup_ = archiveMenu_->addAction(QString(), this, [this] { backUp(); });
    import_ = archiveMenu_->addAction(QString(), this, [this] {
        if (importHandler_) {
            importHandler_();
        }
    });
    import_->setVisible(false);
    archiveMenu_->addSeparator();
    threshold_ = archiveMenu_->addAction(QString(), this, [this] { askThreshold(); });
    siteMenu_ = menus_->addMenu(QString());
    renameSite_ = siteMenu_->addAction(QString(), this, [this] { askRenameSite(); });
    export_ = siteMenu_->addAction(QString(), this, [this] { exportHistory(); });
    pointMenu_ = menus_->addMenu(QString());
    renamePoint_ = pointMenu_->addAction(QString(), this, [this] { askRenamePoint(); });
    limit_ = pointMenu_->addAction(QString(), this, [this] { askPointLimit(); });
    baseline_ = pointMenu_->addAction(QString(), this, [this] { setBaseline(); });
    deleteVisit_ = pointMenu_->addAction(QString(), this, [this] { deleteVisit(); });
}

void ArchiveWindow::setImportHandler(std::function<void()> handler) {
    importHandler_ = std::move(handler);
    import_->setVisible(bool(importHandler_));
}

void ArchiveWindow::retranslate() {
    setWindowTitle(tr("档案"));
    archiveMenu_->setTitle(tr("档案"));
    open_->setText(tr("打开档案…"));
    merge_->setText(tr("合并档案…"));
    backup_->setText(tr("备份档案…"));
    import_->setText(tr("导入记录 CSV…"));
    threshold_->setText(tr("报警阈值…"));
    siteMenu_->setTitle(tr("站点"));
    renameSite_->setText(tr("重命名站点…"));
    export_->setText(tr("导出站点历史…"));
    pointMenu_->setTitle(tr("测试点"));
    renamePoint_->setText(tr("重命名测试点…"));
    limit_->setText(tr("设定测试点限值…"));
    baseline_->setText(tr("设为基准"));
    deleteVisit_->setText(tr("删除该次测试…"));
    filterLabel_->setText(tr("查找站点："));
    filter_->setPlaceholderText(tr("站点名称"));
    setHeaders(*sites_, {tr("站点"), tr("地点"), tr("测试点数"), tr("需关注")});
    setHeaders(*points_,
               {tr("测试点"), tr("最新值"), tr("日期"), tr("结论"), tr("较基准"), tr("标记")});
    setHeaders(*visits_, {tr("日期"), tr("测试值"), QStringLiteral("Rc"), QStringLiteral("Rp"),
                          tr("天气"), tr("土壤状况"), tr("结论"), tr("较上次"), tr("较基准")});
}

void ArchiveWindow::changeEvent(QEvent* event) {
    // Heard as a window and as a child of the main one: once is enough.
    if (event->type() == QEvent::LanguageChange && wordedIn_ != form_.language.current()) {
        wordedIn_ = form_.language.current();
        retranslate();
        showSites();
    }
    QWidget::changeEvent(event);
}

void ArchiveWindow::reload() {
    archive::Archive* archive = session_.archive();
    thresholdPercent_ =
        archive != nullptr ? archive->thresholdPercent() : archive::kDefaultThresholdPercent;
    showSites();
}

void ArchiveWindow::showSites() {
    archive::Archive* archive = session_.archive();
    const QString chosen = currentSite() != nullptr ? currentSite()->name : QString();
    siteRows_ = archive != nullptr ? archive->sites(filter_->text().trimmed())
                                   : std::vector<archive::SiteSummary>();
    const QSignalBlocker quiet(sites_);
    sites_->clearContents();
    sites_->setRowCount(int(siteRows_.size()));
    int current = siteRows_.empty() ? -1 : 0;
    for (size_t k = 0; k < siteRows_.size(); ++k) {
        const archive::SiteSummary& site = siteRows_[k];
        setRow(*sites_, int(k),
               {site.name, site.location, QString::number(site.points),
                QString::number(site.flaggedPoints)},
               site.flaggedPoints > 0);
        if (site.name == chosen) {
            current = int(k);
        }
    }
    sites_->resizeColumnsToContents();
    sites_->setCurrentCell(current, 0);

    if (archive == nullptr) {
        status_->setText(tr("没有打开档案：%1").arg(session_.refusal()));
    } else if (archive->readOnly()) {
        status_->setText(
            tr("档案（只读）：%1  ·  %2")
                .arg(QDir::toNativeSeparators(archive->path()), archive->readOnlyReason()));
    } else {
        status_->setText(
            tr("档案：%1  ·  报警阈值：较基准上升超过 %2 %")
                .arg(QDir::toNativeSeparators(archive->path()), plainNumber(thresholdPercent_)));
    }
    showPoints();
}

void ArchiveWindow::showPoints() {
    archive::Archive* archive = session_.archive();
    const QString chosen = currentPoint() != nullptr ? currentPoint()->name : QString();
    const archive::SiteSummary* site = currentSite();
    pointRows_ = archive != nullptr && site != nullptr ? archive->siteHistory(site->id)
                                                       : std::vector<archive::PointHistory>();
    const QSignalBlocker quiet(points_);
    points_->clearContents();
    points_->setRowCount(int(pointRows_.size()));
    int current = pointRows_.empty() ? -1 : 0;
    for (size_t k = 0; k < pointRows_.size(); ++k) {
        const archive::PointHistory& point = pointRows_[k];
        const archive::PointVisit* latest = point.latest();
        if (latest == nullptr) {
            setRow(*points_, int(k), {point.name}, false);
        } else {
            setRow(*points_, int(k),
                   {point.name, latest->text, latest->date, verdictText(latest->change.verdict),
                    changeText(latest->change.fromBaseline), flagText(latest->change.flags)},
                   latest->change.flagged());
        }
        if (point.name == chosen) {
            current = int(k);
        }
    }
    points_->resizeColumnsToContents();
    points_->setCurrentCell(current, 0);
    showVisits();
}

void ArchiveWindow::showVisits() {
    const archive::PointHistory* point = currentPoint();
    const QSignalBlocker quiet(visits_);
    visits_->clearContents();
    visits_->setRowCount(point != nullptr ? int(point->visits.size()) : 0);
    if (point != nullptr) {
        int current = visits_->rowCount() - 1;  // the latest, unless the one chosen is here
        for (size_t k = 0; k < point->visits.size(); ++k) {
            const archive::PointVisit& visit = point->visits[k];
            if (visit.visitId == chosenVisit_) {
                current = int(k);
            }
            const QString date = isBaseline(*point, visit)
                                     ? visit.date + QLatin1Char(' ') + tr("（基准）")
                                     : visit.date;
            setRow(*visits_, int(k),
                   {date, visit.text, visit.rcText, visit.rpText, visit.weather,
                    visit.soilCondition, verdictText(visit.change.verdict),
                    changeText(visit.change.fromPrevious), changeText(visit.change.fromBaseline)},
                   visit.change.flagged());
        }
        visits_->setCurrentCell(current, 0);
    }
    chosenVisit_ = currentVisit() != nullptr ? currentVisit()->visitId : 0;
    visits_->resizeColumnsToContents();
    showChart();
    updateActions();
}

void ArchiveWindow::showChart() {
    const archive::PointHistory* point = currentPoint();
    QChart* chart = nullptr;
    if (point != nullptr && !point->visits.empty()) {
        std::vector<TrendVisit> trend;
        std::optional<double> baseline;
        for (const archive::PointVisit& visit : point->visits) {
            trend.push_back({visit.date, visit.ohms,
                             visit.change.verdict == archive::PointVerdict::Overload,
                             visit.change.flagged(), visit.record});
            if (isBaseline(*point, visit)) {
                baseline = visit.ohms;
            }
        }
        const double limit = point->ownLimit.value_or(point->latest()->limitOhm);
        chart = makeTrendChart(trendChartData(trend, limit, baseline, thresholdPercent_),
                               currentSite()->name + QStringLiteral(" — ") + point->name);
    } else {
        chart = new QChart;
        chart->setTitle(tr("选择一个测试点以查看其趋势"));
    }
    QChart* old = chart_->chart();
    chart_->setChart(chart);
    delete old;
}

void ArchiveWindow::updateActions() {
    archive::Archive* archive = session_.archive();
    const bool open = archive != nullptr;
    for (QAction* action : {merge_, backup_, threshold_}) {
        action->setEnabled(open);
    }
    renameSite_->setEnabled(currentSite() != nullptr);
    export_->setEnabled(currentSite() != nullptr);
    renamePoint_->setEnabled(currentPoint() != nullptr);
    limit_->setEnabled(currentPoint() != nullptr);
    baseline_->setEnabled(currentVisit() != nullptr);
    deleteVisit_->setEnabled(currentVisit() != nullptr);
}

const archive::SiteSummary* ArchiveWindow::currentSite() const {
    const int row = sites_->currentRow();
    return row >= 0 && size_t(row) < siteRows_.size() ? &siteRows_[size_t(row)] : nullptr;
}

const archive::PointHistory* ArchiveWindow::currentPoint() const {
    const int row = points_->currentRow();
    return row >= 0 && size_t(row) < pointRows_.size() ? &pointRows_[size_t(row)] : nullptr;
}

const archive::PointVisit* ArchiveWindow::currentVisit() const {
    const archive::PointHistory* point = currentPoint();
    const int row = visits_->currentRow();
    return point != nullptr && row >= 0 && size_t(row) < point->visits.size()
               ? &point->visits[size_t(row)]
               : nullptr;
}

}  // namespace kelvora
