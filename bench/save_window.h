#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

#include "app/form1.h"
#include "seams/common_dialog.h"

namespace kelvora::bench {

// A Save dialog that the user confirms at once with the given name and type.
class ConfirmingDialog : public CommonDialog {
public:
    QString path;
    int type = 1;
    DialogOutcome showSave(QWidget*) override {
        fileName = path;
        filterIndex = type;
        return {DialogOutcome::Accepted, {}};
    }
    DialogOutcome showPrinter(QWidget*) override { return {DialogOutcome::Cancelled, {}}; }
};

struct BenchWindow {
    ConfirmingDialog* dialog = nullptr;
    std::unique_ptr<Form1> form;
};

// A window on a port in memory with the real workbook writer and a Save dialog that confirms;
// its timers stopped.
BenchWindow makeSaveWindow(const QString& folder, const QByteArray& charset = {});

}  // namespace kelvora::bench
