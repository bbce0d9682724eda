#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "app/interface_language.h"
#include "archive/archive.h"

class QAction;
class QChartView;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QTableWidget;

namespace kelvora {

class ArchiveSession;
class Form1;

// The archive window: the sites (searchable), a site's test points with their latest value,
// a point's visits and its trend chart; and the archive's actions. It runs without an archive
// when the session has none; a read-only archive is shown and its edits are refused.
class ArchiveWindow : public QWidget {
    Q_OBJECT
public:
    ArchiveWindow(Form1& form, ArchiveSession& session);

    // Reads the archive again, keeping the site, point and visit chosen where they remain.
    void reload();

    QLineEdit* filter() const { return filter_; }
    QTableWidget* sitesTable() const { return sites_; }
    QTableWidget* pointsTable() const { return points_; }
    QTableWidget* visitsTable() const { return visits_; }
    QChartView* chartView() const { return chart_; }
    QLabel* statusLabel() const { return status_; }

    // Chooses by name (false when there is none of that name) or the visit by row.
    bool chooseSite(const QString& name);
    bool choosePoint(const QString& name);
    void chooseVisit(int row);

    // The actions, on the site, point or visit chosen; a refusal is said in a box.
    void setBaseline();
    void setPointLimit(std::optional<double> limitOhm);  // empty: the visit's own again
    void renameSite(const QString& name);
    void renamePoint(const QString& name);
    void deleteVisit();    // asks first
    void exportHistory();  // the Save dialog: CSV or workbook
    void backUp();         // the Save dialog, then a consistent copy
    void openArchive(const QString& path);
    void mergeArchive(const QString& path);
    void setThreshold(double percent);

    // Picks an archive file to open or merge; an empty answer cancels. The file dialog unless
    // replaced.
    std::function<QString(QWidget* parent, const QString& title)> chooseArchiveFile;
    // Import of a record CSV as a visit: the action shows once a handler is given.
    void setImportHandler(std::function<void()> handler);

protected:
    void changeEvent(QEvent* event) override;

private:
    void createMenus();
    void retranslate();
    void showSites();
    void showPoints();
    void showVisits();
    void showChart();
    void updateActions();
    const archive::SiteSummary* currentSite() const;
    const archive::PointHistory* currentPoint() const;
    const archive::PointVisit* currentVisit() const;
    bool refuse(bool done, const QString& error);  // says `error` unless done; done
    void askRenameSite();
    void askRenamePoint();
    void askPointLimit();
    void askThreshold();
    void askOpen();
    void askMerge();

    Form1& form_;
    ArchiveSession& session_;
    QMenuBar* menus_;
    QMenu* archiveMenu_;
    QMenu* siteMenu_;
    QMenu* pointMenu_;
    QAction* open_;
    QAction* merge_;
    QAction* backup_;
    QAction* import_;
    QAction* threshold_;
    QAction* renameSite_;
    QAction* export_;
    QAction* renamePoint_;
    QAction* limit_;
    QAction* baseline_;
    QAction* deleteVisit_;
    QLabel* filterLabel_;
    QLineEdit* filter_;
    QTableWidget* sites_;
    QTableWidget* points_;
    QTableWidget* visits_;
    QChartView* chart_;
    QLabel* status_;

    std::vector<archive::SiteSummary> siteRows_;
    std::vector<archive::PointHistory> pointRows_;
    qint64 chosenVisit_ = 0;  // kept across a reload
    double thresholdPercent_ = archive::kDefaultThresholdPercent;
    std::function<void()> importHandler_;
    int exportType_ = 0;  // the type picked in this window's Save dialog
    int backupType_ = 0;
    Language wordedIn_;
};

// The system's file dialog for an archive to open or merge.
QString chooseArchiveFileByDialog(QWidget* parent, const QString& title);

}  // namespace kelvora
