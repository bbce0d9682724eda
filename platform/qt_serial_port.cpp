#include "platform/qt_serial_port.h"

namespace kelvora {

namespace {

class NullPort : public SerialPort {
public:
    void setPortNumber(int n) override { number_ = n; }
    int portNumber() const override { return number_; }
    OpenResult open() override { return OpenResult::InvalidPort; }
    void close() override {}
    bool isOpen() const override { return false; }
    void setReceiveThreshold(int bytes) override { threshold_ = bytes; }
    int receiveThreshold() const override { return threshold_; }
    void write(const QByteArray&) override {}
    void discardInput() override {}
    void discardOutput() override {}
    QByteArray readAll() override { return {}; }
    int bytesWaiting() const override { return 0; }

private:
    int number_ = 1;
    int threshold_ = 0;
};

}  // namespace

std::unique_ptr<SerialPort> makeQtSerialPort(const PortMap&) { return std::make_unique<NullPort>(); }

}  // namespace kelvora
