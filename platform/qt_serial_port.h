#pragma once

#include <memory>

#include "link/port_map.h"
#include "link/serial_port.h"

namespace kelvora {

std::unique_ptr<SerialPort> makeQtSerialPort(const PortMap& ports);

}  // namespace kelvora
