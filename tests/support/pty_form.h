#pragma once

#include <functional>
#include <memory>

#include "app/form1.h"
#include "link/port_map.h"
#include "support/fake_platform.h"

namespace kelvora {
class QtSerialPort;
}

namespace kelvora::testing {

// Runs the event loop until `condition` holds or `timeoutMs` has passed; returns the condition.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// Runs the event loop for about `ms` milliseconds (for checking that something does not happen).
void processEventsFor(int ms);

// A Form1 on the real serial adapter (with `ports` as its port map) and fakes for the rest.
struct PtyForm {
    std::unique_ptr<Form1> form;
    QtSerialPort* port = nullptr;
    FakeCommonDialog* dialog = nullptr;
    FakeMessageBoxes* messages = nullptr;
    int programEnds = 0;

    Form1* operator->() const { return form.get(); }
};

std::unique_ptr<PtyForm> makePtyForm(const PortMap& ports);

}  // namespace kelvora::testing
