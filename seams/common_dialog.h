#pragma once

#include <QString>

class QWidget;

namespace kelvora {

constexpr int kCdlCancel = 32755;       // error number of a cancelled dialog
constexpr int kCdlOverwritePrompt = 2;  // save flag: confirm before replacing a file
constexpr int kCdlPrintReturnDc = 0x100;
constexpr int kCdlPrintNoPageNums = 0x8;

struct DialogOutcome {
    enum Kind { Accepted, Cancelled, Failed };
    Kind kind = Accepted;
    QString errorDescription;  // set when Failed
};

// The common dialog object shared by Save (both behaviours) and Print. Its properties outlive
// one use; in particular filterIndex remembers the type the user picked last time.
class CommonDialog {
public:
    virtual ~CommonDialog() = default;

    QString fileName;
    QString filter;      // "name (*.ext)|*.ext|..." pairs
    QString defaultExt;  // ".txt" etc., added to a name typed without extension
    QString initDir;
    int flags = 0;
    int filterIndex = 0;  // 1-based type picked last; 0 before the first use
    bool cancelError = false;

    // On Accepted, fileName holds the chosen full path and filterIndex the chosen type.
    virtual DialogOutcome showSave(QWidget* parent) = 0;
    virtual DialogOutcome showPrinter(QWidget* parent) = 0;
};

}  // namespace kelvora
