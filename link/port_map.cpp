#include "link/port_map.h"

namespace kelvora {

PortMap PortMap::fromSystem() { return PortMap(); }

}  // namespace kelvora
