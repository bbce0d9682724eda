#pragma once

// The window that the fuzz targets drive: real seams but a port in memory, built once per
// process, with every timer stopped so that only the steps tick them.

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/form1.h"
#include "bench/memory_port.h"
#include "modbus/port_map.h"
#include "platform/real_seams.h"

namespace kelvora::bench {

struct FuzzForm {
    MemoryPort* port = nullptr;
    std::unique_ptr<Form1> form;
};

// `boxes` replaces the real message boxes when given.
inline FuzzForm* makeFuzzForm(const char* programName,
                              std::unique_ptr<MessageBoxes> boxes = nullptr) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(programName), nullptr};
    new QApplication(argc, argv);
    Form1Seams seams = makeRealSeams(PortMap());
    auto port = std::make_unique<MemoryPort>();
    auto* made = new FuzzForm;
    made->port = port.get();
    seams.serialPort = std::move(port);
    if (boxes) {
        seams.messageBoxes = std::move(boxes);
    }
    made->form = std::make_unique<Form1>(std::move(seams));
    for (QTimer* timer : {&made->form->Findcom, &made->form->COMtimout, &made->form->comunication,
                          &made->form->Readdat, &made->form->vrprecord, &made->form->Movectrltimer,
                          &made->form->Movetimer, &made->form->Timer1}) {
        timer->stop();
    }
    return made;
}

// A broken invariant ends the run, so that libFuzzer keeps the input.
inline void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

}  // namespace kelvora::bench
