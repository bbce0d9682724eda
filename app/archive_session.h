#pragma once

#include <QString>
#include <memory>

namespace kelvora {

namespace archive {
class Archive;
}

class ArchiveWindow;
class Form1;

// The site archive of this run and its window. The file is opened at first use: the one
// `--archive FILE` names, or else the user's own. A file that is no archive (or of a newer
// schema) is said once and never written; the window then runs without an archive.
class ArchiveSession {
public:
    explicit ArchiveSession(Form1& form);
    ~ArchiveSession();

    // The archive file to use from now on (empty: the user's own); closes the one open.
    void setPath(const QString& path);
    const QString& path() const { return path_; }

    // The archive, opened at first use; null when the file could not be opened.
    archive::Archive* archive();
    // Why the file could not be opened; empty when it is open or not tried yet.
    const QString& refusal() const { return refusal_; }

    // Opens `path` instead of the archive open now. A file that is none is said and the
    // archive open now stays; false then.
    bool openOther(const QString& path);

    // The window, created on first use and shown.
    void showWindow();
    ArchiveWindow* window() const { return window_; }

private:
    void importVisit();  // a record CSV saved by Kelvora, filed as a visit

    Form1& form_;
    QString path_;
    std::unique_ptr<archive::Archive> archive_;
    bool tried_ = false;
    QString refusal_;
    ArchiveWindow* window_ = nullptr;  // a window of the form's own
};

}  // namespace kelvora
