#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "app/archive_location.h"
#include "app/archive_session.h"
#include "app/archive_window.h"
#include "app/form1.h"
#include "app/report_dialog.h"
#include "archive/archive.h"
#include "archive/report_history.h"
#include "visit/report_records.h"
#include "visit/report_settings.h"

namespace kelvora {

namespace {

constexpr int kPointColumn = 4;
constexpr int kPointShownAt = 3;  // before the note

// The test point's cell offers the site's points as it is typed.
class PointDelegate : public QStyledItemDelegate {
public:
    PointDelegate(QStringListModel* names, QObject* parent)
        : QStyledItemDelegate(parent), names_(names) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            auto* completer = new QCompleter(names_, line);
            completer->setCaseSensitivity(Qt::CaseInsensitive);
            line->setCompleter(completer);
        }
        return editor;
    }

private:
    QStringListModel* names_;
};

// The archive for reading; none where it is not made yet or cannot be read (the box that
// says why belongs to filing, not to typing a name).
std::unique_ptr<archive::Archive> archiveForReading() {
    const QString path = archiveLocation();
    QString why;
    return QFileInfo::exists(path)
               ? archive::Archive::open(path, &why, archive::Archive::Access::ReadOnly)
               : nullptr;
}

}  // namespace

void ReportDialog::setUpArchive() {
    notes_->setItemDelegateForColumn(kPointColumn, new PointDelegate(pointNames_, this));
    notes_->setColumnWidth(kPointColumn, 120);
    notes_->horizontalHeader()->moveSection(kPointColumn, kPointShownAt);
    QLineEdit* project = lines_[report::Project];
    auto* sites = new QCompleter(siteNames_, project);
    sites->setCaseSensitivity(Qt::CaseInsensitive);
    sites->setFilterMode(Qt::MatchContains);
    project->setCompleter(sites);
    connect(sites, qOverload<const QString&>(&QCompleter::activated), this,
            [this](const QString& name) { chooseSite(name); });
    connect(project, &QLineEdit::editingFinished, this,
            [this, project] { loadSitePoints(project->text()); });
    connect(file_, &QPushButton::clicked, this, [this] { fileVisit(); });
    loadSites();
    loadSitePoints(project->text());
}

void ReportDialog::loadSites() {
    QStringList names;
    if (std::unique_ptr<archive::Archive> archive = archiveForReading()) {
        for (const archive::SiteSummary& site : archive->sites()) {
            names << site.name;
        }
    }
    siteNames_->setStringList(names);
}

void ReportDialog::loadSitePoints(const QString& site) {
    std::unique_ptr<archive::Archive> archive = archiveForReading();
    const std::optional<qint64> id = archive ? archive->siteId(site) : std::nullopt;
    pointNames_->setStringList(id ? archive->pointNames(*id) : QStringList());
    lastPoints_ = id ? archive->lastPointsOfRecords(*id) : std::map<int, QString>();
    refreshRecords();
}

void ReportDialog::chooseSite(const QString& name) {
    std::unique_ptr<archive::Archive> archive = archiveForReading();
    const std::optional<archive::VisitInput> last =
        archive ? archive->siteDefaults(name) : std::nullopt;
    if (last) {
        for (int f = 0; f < report::kSiteFieldCount; ++f) {
            if (f != report::TestDate) {
                setField(report::SiteField(f), last->site[size_t(f)]);
            }
        }
        limit_->setText(report::limitText(last->limitOhm));
    }
    setField(report::Project, name);
    loadSitePoints(name);
}

std::map<int, QString> ReportDialog::pointsOfRecords() const {
    std::map<int, QString> points;
    for (int row = 0; row < notes_->rowCount(); ++row) {
        const QTableWidgetItem* item = notes_->item(row, kPointColumn);
        if (item != nullptr && !item->text().trimmed().isEmpty()) {
            points[item->data(Qt::UserRole).toInt()] = item->text();
        }
    }
    return points;
}

std::map<int, report::ReportPointHistory> ReportDialog::archiveHistory(
    const report::ReportInput& input) {
    std::unique_ptr<archive::Archive> archive = archiveForReading();
    return archive ? archive::reportHistory(*archive, input, pointsOfRecords())
                   : std::map<int, report::ReportPointHistory>();
}

void ReportDialog::fileVisit() {
    std::optional<report::ReportInput> input = reportInput();
    if (!input || input->records.empty()) {
        return;
    }
    const QString title = tr("存入档案");
    const QString site = input->site[report::Project];
    if (site.trimmed().isEmpty()) {
        form_.messageBoxes->exclamation(this, title,
                                        tr("请先填写工程名称：档案按工程保存各次测试。"));
        return;
    }
    archive::VisitInput visit;
    visit.site = input->site;
    visit.limitOhm = input->limitOhm;
    visit.records = std::move(input->records);
    visit.notes = std::move(input->notes);
    visit.points = pointsOfRecords();
    visit.soil = std::move(input->soil);
    visit.source = source_;
    QString why;
    std::unique_ptr<archive::Archive> archive = archive::Archive::open(archiveLocation(), &why);
    const std::optional<archive::FilingResult> result =
        archive ? archive->file(visit, &why) : std::nullopt;
    archive.reset();
    if (!result) {
        form_.messageBoxes->beep();
        form_.messageBoxes->exclamation(this, title, tr("没有存入档案：%1").arg(why));
        return;
    }
    const QString date = visit.site[report::TestDate];
    QString said = result->added
                       ? tr("已存入档案：%1，%2，%3 条记录，其中 %4 条属于测试点。")
                             .arg(site, date)
                             .arg(result->readings)
                             .arg(visit.points.size())
                       : tr("这些记录已在档案中（%1，%2），没有再次存入。").arg(site, date);
    if (!result->flaggedPoints.isEmpty()) {
        said += QStringLiteral("\n\n") +
                tr("需关注的测试点：%1").arg(result->flaggedPoints.join(tr("、")));
    }
    form_.messageBoxes->information(this, title, said);
    loadSites();
    loadSitePoints(site);
    // The archive window, when open, shows the visit at once.
    if (ArchiveWindow* window = form_.archiveSession->window()) {
        window->reload();
    }
    emit visitFiled(site);
}

ReportDialog* openVisitImport(Form1& form, const QString& csvPath, QWidget* parent) {
    // Through the guarded reader: a FIFO or a huge file picked in the dialog is refused.
    QString why;
    std::optional<std::vector<report::ReportRecord>> records =
        report::recordsFromCsvFile(QDir::toNativeSeparators(csvPath), &why);
    if (!records) {
        form.messageBoxes->exclamation(parent, ReportDialog::tr("导入记录"), why);
        return nullptr;
    }
    auto* dialog = new ReportDialog(form, std::move(*records), csvPath);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

}  // namespace kelvora
