#pragma once

#include "modbus/port_map.h"
#include "seams/form1_seams.h"

namespace kelvora {

// The real platform: Qt's serial port, dialogs, printer and clipboard, the system clock.
Form1Seams makeRealSeams(const PortMap& ports);

// "c:\Kelvora" on Windows; a folder "Kelvora" in the home folder elsewhere.
QString defaultSaveFolderForSystem();

}  // namespace kelvora
