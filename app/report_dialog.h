#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <map>
#include <optional>
#include <vector>

#include "app/interface_language.h"
#include "visit/report_data.h"

class QDateEdit;
class QStringListModel;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace kelvora {

class Form1;

// The test report's dialog: the site, the limit, a note per record; saves the report as PDF,
// prints it or shows it in the print preview. The site and the limit are remembered between
// runs; the notes stay with the records until Clear or a new download.
class ReportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReportDialog(Form1& form);
    // The records of a file instead of the window's: an import of a record CSV as a visit.
    ReportDialog(Form1& form, std::vector<report::ReportRecord> records, QString source);

    void setField(report::SiteField field, const QString& text);
    QString field(report::SiteField field) const;
    QLineEdit* limitEdit() const { return limit_; }
    QLabel* limitError() const { return limitError_; }
    QTableWidget* notesTable() const { return notes_; }
    QLabel* noRecords() const { return noRecords_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* fileButton() const { return file_; }
    QStringListModel* siteNames() const { return siteNames_; }
    QStringListModel* pointNames() const { return pointNames_; }

    // The report as the dialog stands; empty, with the reason beside the limit, when the
    // limit is not a positive number. The site and the limit are remembered then.
    std::optional<report::ReportInput> reportInput();

    void savePdf();
    void print();
    void preview();
    // 存入档案: files the visit into the archive and says in one box what was filed.
    void fileVisit();
    // An archived site chosen for 工程名称: its fields as last filed, its points offered.
    void chooseSite(const QString& name);

signals:
    void visitFiled(const QString& site);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    ReportDialog(Form1& form, std::optional<std::vector<report::ReportRecord>> records,
                 QString source);
    std::vector<report::ReportRecord> records() const;
    std::map<int, QString> pointsOfRecords() const;
    void setUpArchive();  // the site and point completion, the 存入档案 button
    void loadSites();
    // The previous values of the records' test points, where the site is archived.
    std::map<int, report::ReportPointHistory> archiveHistory(const report::ReportInput& input);
    void loadSitePoints(const QString& site);
    void retranslate();
    void refreshRecords();
    void scheduleRefresh();

    Form1& form_;
    std::array<QLineEdit*, report::kSiteFieldCount> lines_{};
    std::array<QPlainTextEdit*, report::kSiteFieldCount> texts_{};
    QDateEdit* date_;
    QLineEdit* limit_;
    QLabel* limitError_;
    QTableWidget* notes_;
    QLabel* noRecords_;
    QPushButton* save_;
    QPushButton* print_;
    QPushButton* preview_;
    QPushButton* file_;
    QStringListModel* siteNames_;
    QStringListModel* pointNames_;
    std::array<QLabel*, report::kSiteFieldCount> fieldLabels_{};
    QLabel* limitLabel_;
    QLabel* notesLabel_;
    Language wordedIn_;
    QTimer refreshTimer_;
    std::map<int, QString> noteTexts_;
    std::map<int, QString> pointTexts_;  // as typed, by record number
    std::map<int, QString> lastPoints_;  // the site's latest visit, to pre-fill the rest
    std::optional<std::vector<report::ReportRecord>> ownRecords_;  // imported ones
    QString source_;   // where the records came from, as filed
    int pdfType_ = 0;  // the type picked in this dialog's Save, kept apart from the main one
};

// Opens a report dialog holding the records of a record CSV the program saved, to file them as a
// visit; a file that cannot be read is said in a box (nullptr then).
ReportDialog* openVisitImport(Form1& form, const QString& csvPath, QWidget* parent);

}  // namespace kelvora
