#include "app/form1.h"
#include "modbus/modbus_frame.h"

namespace kelvora {

void Form1::SendRequest(uint8_t address, uint8_t function, uint8_t registerHigh,
                        uint8_t registerLow, uint8_t countHigh, uint8_t countLow) {
    if (!MSComm1->isOpen()) {
        return;
    }
    requestRegister = static_cast<int16_t>(registerHigh << 8 | registerLow);
    requestCount = static_cast<int16_t>(countHigh << 8 | countLow);
    // The threshold must be in place before the meter can answer.
    if (const std::optional<int> threshold = receiveThresholdFor(requestRegister)) {
        MSComm1->setReceiveThreshold(*threshold);
    }
    MSComm1->write(toByteArray(
        buildRequestFrame(address, function, registerHigh, registerLow, countHigh, countLow)));
    // Whatever was waiting belongs to an earlier request; the port still sends what was written.
    MSComm1->discardInput();
    MSComm1->discardOutput();
}

void Form1::SendRequest(const Request& request) {
    SendRequest(request.address, request.function, request.registerHigh(), request.registerLow(),
                request.countHigh(), request.countLow());
}

void Form1::comunication_Timer() {
    if (!comConnected) {
        return;
    }
    SendRequest(liveView ? Request::liveReading() : Request::handshake());
}

}  // namespace kelvora
