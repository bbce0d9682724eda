#pragma once

#include <QByteArray>

#include "modbus/serial_port.h"

namespace kelvora::bench {

// A serial port in memory for benchmarks and fuzzing: every port opens, writes are counted,
// and delivered bytes raise the receive event the way a real port does at its threshold.
class MemoryPort : public SerialPort {
public:
    void setPortNumber(int portNumber) override { number_ = portNumber; }
    int portNumber() const override { return number_; }
    OpenResult open() override {
        open_ = true;
        return OpenResult::Ok;
    }
    void close() override {
        open_ = false;
        input_.clear();
    }
    bool isOpen() const override { return open_; }
    void setReceiveThreshold(int bytes) override { threshold_ = bytes; }
    int receiveThreshold() const override { return threshold_; }
    void write(const QByteArray& bytes) override { written_ += bytes.size(); }
    void discardInput() override { input_.clear(); }
    void discardOutput() override {}
    QByteArray readAll() override {
        QByteArray all;
        all.swap(input_);
        return all;
    }
    int bytesWaiting() const override { return static_cast<int>(input_.size()); }

    // Bytes from the line; the receive event comes once the threshold is reached.
    void deliver(const QByteArray& bytes) {
        if (!open_) {
            return;
        }
        input_ += bytes;
        if (threshold_ > 0 && input_.size() >= threshold_) {
            raiseEvent(kComEvReceive);
        }
    }
    void raise(int code) { raiseEvent(code); }
    long long bytesWritten() const { return written_; }

private:
    int number_ = 1;
    bool open_ = false;
    int threshold_ = 0;
    QByteArray input_;
    long long written_ = 0;
};

}  // namespace kelvora::bench
