#pragma once

#include <QString>
#include <optional>

#include "modbus/serial_port.h"

namespace kelvora {

// What the port and link labels report, kept as facts rather than words, so that the labels
// can be worded again when the interface language changes.
class LinkCaptions {
public:
    void portTried(int portNumber, OpenResult result) { port_ = Port{portNumber, result}; }
    void setLinkUp(bool up) { linkUp_ = up; }

    // True the first time a port refused this user, so the way to get access is told once a run.
    bool firstRefusal(OpenResult result) {
        const bool first = result == OpenResult::PermissionDenied && !refusalTold_;
        refusalTold_ = refusalTold_ || first;
        return first;
    }

    // "串口状态" until a port was tried, then "COM3已打开" and the like.
    QString portText() const;
    // "通信成功" or "通信失败".
    QString linkText() const;

    // Every wording of the port label, for checking that each fits.
    static QString portText(int portNumber, OpenResult result);

private:
    struct Port {
        int number;
        OpenResult result;
    };
    std::optional<Port> port_;
    bool linkUp_ = false;
    bool refusalTold_ = false;
};

}  // namespace kelvora
