// The archive window's actions: edits of the archive, export, backup, another archive.
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QTableWidget>

#include "app/archive_session.h"
#include "app/archive_window.h"
#include "app/form1.h"
#include "app/save_dialog_prep.h"
#include "archive/archive_history.h"
#include "files/record_sheet.h"

namespace kelvora {

namespace {

const SaveTypes kHistoryTypes = {
    QT_TRANSLATE_NOOP("kelvora::SaveTypes", "CSV 文件(*.csv)|*.csv|Excel 工作簿(*.xlsx)|*.xlsx|"),
    {".csv", ".xlsx"}};
constexpr int kCsvType = 1;  // then the workbook
const SaveTypes kArchiveTypes = {
    QT_TRANSLATE_NOOP("kelvora::SaveTypes", "档案(*.sqlite)|*.sqlite|"), {".sqlite"}};

}  // namespace

bool ArchiveWindow::refuse(bool done, const QString& error) {
    if (!done) {
        form_.messageBoxes->warning(this, tr("档案"), error);
    }
    return done;
}

bool ArchiveWindow::chooseSite(const QString& name) {
    for (size_t k = 0; k < siteRows_.size(); ++k) {
        if (siteRows_[k].name == name) {
            sites_->setCurrentCell(int(k), 0);
            return true;
        }
    }
    return false;
}

bool ArchiveWindow::choosePoint(const QString& name) {
    for (size_t k = 0; k < pointRows_.size(); ++k) {
        if (pointRows_[k].name == name) {
            points_->setCurrentCell(int(k), 0);
            return true;
        }
    }
    return false;
}

void ArchiveWindow::chooseVisit(int row) {
    visits_->setCurrentCell(row, 0);
}

void ArchiveWindow::setBaseline() {
    const archive::PointHistory* point = currentPoint();
    const archive::PointVisit* visit = currentVisit();
    archive::Archive* archive = session_.archive();
    if (archive == nullptr || visit == nullptr) {
        return;
    }
    QString error;
    if (refuse(archive->setBaseline(point->pointId, visit->visitId, &error), error)) {
        reload();
    }
}

void ArchiveWindow::setPointLimit(std::optional<double> limitOhm) {
    const archive::PointHistory* point = currentPoint();
    archive::Archive* archive = session_.archive();
    if (archive == nullptr || point == nullptr) {
        return;
    }
    QString error;
    if (refuse(archive->setPointLimit(point->pointId, limitOhm, &error), error)) {
        reload();
    }
}

void ArchiveWindow::renameSite(const QString& name) {
    const archive::SiteSummary* site = currentSite();
    archive::Archive* archive = session_.archive();
    if (archive == nullptr || site == nullptr || name.isEmpty() || name == site->name) {
        return;
    }
    QString error;
    if (refuse(archive->renameSite(site->id, name, &error), error)) {
        filter_->clear();  // the new name is shown whatever was sought
        reload();
        chooseSite(name);
    }
}

void ArchiveWindow::renamePoint(const QString& name) {
    const archive::PointHistory* point = currentPoint();
    archive::Archive* archive = session_.archive();
    if (archive == nullptr || point == nullptr || name.isEmpty() || name == point->name) {
        return;
    }
    QString error;
    if (refuse(archive->renamePoint(point->pointId, name, &error), error)) {
        reload();
        choosePoint(name);
    }
}

void ArchiveWindow::deleteVisit() {
    const archive::PointVisit* visit = currentVisit();
    archive::Archive* archive = session_.archive();
    if (archive == nullptr || visit == nullptr) {
        return;
    }
    const qint64 visitId = visit->visitId;
    const QString question = tr("删除 %1 在 %2 的这次测试及其全部读数？\n站点和测试点保留。")
                                 .arg(currentSite()->name, visit->date);
    if (!form_.messageBoxes->question(this, tr("删除该次测试"), question)) {
        return;
    }
    QString error;
    if (refuse(archive->deleteVisit(visitId, &error), error)) {
        reload();
    }
}

void ArchiveWindow::exportHistory() {
    const archive::SiteSummary* site = currentSite();
    archive::Archive* archive = session_.archive();
    if (archive == nullptr || site == nullptr) {
        return;
    }
    const std::vector<archive::PointHistory> history = archive->siteHistory(site->id);
    const std::optional<QString> path = runOwnSaveDialog(form_, kHistoryTypes, this, exportType_);
    if (!path) {
        return;
    }
    const QString failure = exportType_ <= kCsvType ? archive::writeHistoryCsv(*path, history)
                                                    : archive::writeHistoryXlsx(*path, history);
    if (!failure.isEmpty()) {
        reportSaveFailure(form_, *path, failure, this);
    }
}

void ArchiveWindow::backUp() {
    archive::Archive* archive = session_.archive();
    if (archive == nullptr) {
        return;
    }
    const std::optional<QString> path = runOwnSaveDialog(form_, kArchiveTypes, this, backupType_);
    QString error;
    if (path && !archive->backup(*path, &error)) {
        reportSaveFailure(form_, *path, error, this);
    }
}

void ArchiveWindow::openArchive(const QString& path) {
    if (!path.isEmpty() && session_.openOther(path)) {
        filter_->clear();
        reload();
    }
}

void ArchiveWindow::mergeArchive(const QString& path) {
    archive::Archive* archive = session_.archive();
    if (archive == nullptr || path.isEmpty()) {
        return;
    }
    QString error;
    const std::optional<int> added = archive->merge(path, &error);
    if (refuse(added.has_value(), error)) {
        reload();
        form_.messageBoxes->information(
            this, tr("合并档案"),
            tr("从 %1 合并了 %2 次测试。").arg(QDir::toNativeSeparators(path)).arg(*added));
    }
}

void ArchiveWindow::setThreshold(double percent) {
    archive::Archive* archive = session_.archive();
    QString error;
    if (archive != nullptr && refuse(archive->setThresholdPercent(percent, &error), error)) {
        reload();
    }
}

void ArchiveWindow::askRenameSite() {
    if (const archive::SiteSummary* site = currentSite()) {
        bool ok = false;
        const QString name = QInputDialog::getText(this, tr("重命名站点"), tr("站点名称："),
                                                   QLineEdit::Normal, site->name, &ok);
        if (ok) {
            renameSite(name.trimmed());
        }
    }
}

void ArchiveWindow::askRenamePoint() {
    if (const archive::PointHistory* point = currentPoint()) {
        bool ok = false;
        const QString name = QInputDialog::getText(this, tr("重命名测试点"), tr("测试点名称："),
                                                   QLineEdit::Normal, point->name, &ok);
        if (ok) {
            renamePoint(name.trimmed());
        }
    }
}

void ArchiveWindow::askPointLimit() {
    const archive::PointHistory* point = currentPoint();
    if (point == nullptr) {
        return;
    }
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, tr("测试点限值"), tr("%1 的限值 (Ω)，留空则按每次测试的限值：").arg(point->name),
        QLineEdit::Normal, point->ownLimit ? plainNumber(*point->ownLimit) : QString(), &ok);
    if (!ok) {
        return;
    }
    bool number = false;
    const double limit = text.trimmed().toDouble(&number);
    if (text.trimmed().isEmpty()) {
        setPointLimit(std::nullopt);
    } else if (refuse(number && limit > 0, tr("限值须为大于 0 的数。"))) {
        setPointLimit(limit);
    }
}

void ArchiveWindow::askThreshold() {
    bool ok = false;
    const double percent = QInputDialog::getDouble(this, tr("报警阈值"),
                                                   tr("较基准上升超过此百分比时标记测试点 (%)："),
                                                   thresholdPercent_, 0, 1000, 1, &ok);
    if (ok) {
        setThreshold(percent);
    }
}

void ArchiveWindow::askOpen() {
    openArchive(chooseArchiveFile(this, tr("打开档案")));
}

void ArchiveWindow::askMerge() {
    mergeArchive(chooseArchiveFile(this, tr("合并档案")));
}

QString chooseArchiveFileByDialog(QWidget* parent, const QString& title) {
    return QFileDialog::getOpenFileName(parent, title, QString(),
                                        ArchiveWindow::tr("档案 (*.sqlite);;所有文件 (*)"));
}

}  // namespace kelvora
