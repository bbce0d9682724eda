#pragma once

namespace kelvora {

// Ends the event loop on SIGINT, SIGTERM and SIGHUP, so that a program stopped from a terminal
// still releases its serial port and removes its temporary files. Does nothing on Windows.
void quitEventLoopOnSignals();

}  // namespace kelvora
