#include "app/archive_session.h"

#include <QDir>
#include <QFileDialog>

#include "app/archive_location.h"
#include "app/archive_window.h"
#include "app/form1.h"
#include "app/report_dialog.h"
#include "archive/archive.h"

namespace kelvora {

namespace {

void sayNotOpened(Form1& form, QWidget* parent, const QString& path, const QString& why) {
    form.messageBoxes->warning(
        parent, ArchiveWindow::tr("档案"),
        ArchiveWindow::tr("无法打开档案 %1\n%2").arg(QDir::toNativeSeparators(path), why));
}

}  // namespace

ArchiveSession::ArchiveSession(Form1& form) : form_(form) {}

ArchiveSession::~ArchiveSession() {
    // The window refers to the archive; it goes first.
    delete window_;
}

void ArchiveSession::setPath(const QString& path) {
    // The report dialog files into the archive this window shows.
    overrideArchiveLocationForThisRun(path);
    path_ = path;
    archive_.reset();
    tried_ = false;
    refusal_.clear();
}

archive::Archive* ArchiveSession::archive() {
    if (!tried_) {
        tried_ = true;
        const QString path = path_.isEmpty() ? archiveLocation() : path_;
        archive_ = archive::Archive::open(path, &refusal_);
        if (archive_ == nullptr) {
            sayNotOpened(form_, window_ != nullptr ? static_cast<QWidget*>(window_) : &form_, path,
                         refusal_);
        }
    }
    return archive_.get();
}

bool ArchiveSession::openOther(const QString& path) {
    QString why;
    std::unique_ptr<archive::Archive> other = archive::Archive::open(path, &why);
    if (other == nullptr) {
        sayNotOpened(form_, window_ != nullptr ? static_cast<QWidget*>(window_) : &form_, path,
                     why);
        return false;
    }
    overrideArchiveLocationForThisRun(path);
    path_ = path;
    archive_ = std::move(other);
    tried_ = true;
    refusal_.clear();
    return true;
}

void ArchiveSession::showWindow() {
    archive();  // a file that is none is said before the window shows
    if (window_ == nullptr) {
        window_ = new ArchiveWindow(form_, *this);
        window_->setImportHandler([this] { importVisit(); });
    }
    window_->reload();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void ArchiveSession::importVisit() {
    const QString csv =
        QFileDialog::getOpenFileName(window_, ArchiveWindow::tr("导入记录 CSV…"), QString(),
                                     ArchiveWindow::tr("Kelvora 保存的记录 (*.csv);;所有文件 (*)"));
    if (csv.isEmpty()) {
        return;
    }
    // The same dialog as filing a download; the window shows the visit once it is filed.
    if (ReportDialog* dialog = openVisitImport(form_, csv, window_)) {
        QObject::connect(dialog, &ReportDialog::visitFiled, window_, [this] { window_->reload(); });
    }
}

void Form1::mnuarchive_Click() {
    archiveSession->showWindow();
}

}  // namespace kelvora
