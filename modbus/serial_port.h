#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <utility>

namespace kelvora {

// Event codes of the receive event; only kComEvReceive is acted on.
constexpr int kComEvReceive = 2;
constexpr int kComEventBreak = 1001;
constexpr int kComEventFrame = 1004;
constexpr int kComEventOverrun = 1006;
constexpr int kComEventRxOver = 1008;
constexpr int kComEventRxParity = 1009;
constexpr int kComEventTxFull = 1010;
constexpr int kComEventDeviceGone = 1011;  // the device went away (unplugged, hung up)

// Error numbers the port reports for the two open failures the search tells apart.
constexpr int kComPortOpen = 8005;
constexpr int kComInvalidPort = 8002;

enum class OpenResult {
    Ok,
    InUse,             // 8005: held by another program
    InvalidPort,       // 8002: no device behind this number
    PermissionDenied,  // exists, but this user may not open it (not in the dialout group)
    OtherFailure,      // exists but cannot be opened (I/O error ...)
    Pending,           // still opening: the outcome comes later to the open handler
};

// The one serial port of the window: 9600 baud 8N1, no flow control, raw bytes.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    virtual void setPortNumber(int portNumber) = 0;
    virtual int portNumber() const = 0;
    // May answer Pending for a device that is slow to open. close() also gives up a pending
    // open: should it succeed later, the device is closed again at once.
    virtual OpenResult open() = 0;
    virtual void close() = 0;
    // An open of this port is still under way, one given up included.
    virtual bool openPending(int /*portNumber*/) const { return false; }
    virtual bool isOpen() const = 0;
    // The system's name of the device behind the port number ("/dev/ttyUSB0"), if known.
    virtual QString deviceName() const { return {}; }

    // The receive event is raised once at least this many bytes wait.
    virtual void setReceiveThreshold(int bytes) = 0;
    virtual int receiveThreshold() const = 0;

    // The bytes must reach the line even if discardOutput() follows at once.
    virtual void write(const QByteArray& bytes) = 0;
    virtual void discardInput() = 0;
    virtual void discardOutput() = 0;
    virtual QByteArray readAll() = 0;
    virtual int bytesWaiting() const = 0;

    // Called on the window's thread with an event code (kComEvReceive, ...).
    void setEventHandler(std::function<void(int)> handler) { onComm_ = std::move(handler); }
    // Called on the window's thread with the outcome of an open that answered Pending.
    void setOpenHandler(std::function<void(OpenResult)> handler) { onOpen_ = std::move(handler); }

protected:
    void raiseEvent(int code) {
        if (onComm_) {
            onComm_(code);
        }
    }

    bool hasOpenHandler() const { return static_cast<bool>(onOpen_); }
    void reportOpen(OpenResult result) {
        if (onOpen_) {
            onOpen_(result);
        }
    }

private:
    std::function<void(int)> onComm_;
    std::function<void(OpenResult)> onOpen_;
};

}  // namespace kelvora
