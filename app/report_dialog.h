#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <map>
#include <optional>

#include "app/interface_language.h"
#include "visit/report_data.h"

class QDateEdit;
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

    void setField(report::SiteField field, const QString& text);
    QString field(report::SiteField field) const;
    QLineEdit* limitEdit() const { return limit_; }
    QLabel* limitError() const { return limitError_; }
    QTableWidget* notesTable() const { return notes_; }
    QLabel* noRecords() const { return noRecords_; }
    QPushButton* saveButton() const { return save_; }

    // The report as the dialog stands; empty, with the reason beside the limit, when the
    // limit is not a positive number. The site and the limit are remembered then.
    std::optional<report::ReportInput> reportInput();

    void savePdf();
    void print();
    void preview();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
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
    std::array<QLabel*, report::kSiteFieldCount> fieldLabels_{};
    QLabel* limitLabel_;
    QLabel* notesLabel_;
    Language wordedIn_;
    QTimer refreshTimer_;
    std::map<int, QString> noteTexts_;
    int pdfType_ = 0;  // the type picked in this dialog's Save, kept apart from the main one
};

}  // namespace kelvora
