#include "formats/byte_sink.h"

namespace kelvora {

void ByteSink::endRecord() {
    const qsizetype length = buffer_.size() - recordStart_ - 4;
    buffer_[recordStart_ + 2] = static_cast<char>(length & 0xFF);
    buffer_[recordStart_ + 3] = static_cast<char>((length >> 8) & 0xFF);
    checkpoint();
}

void ByteSink::flush() {
    if (ok_ && !buffer_.isEmpty()) {
        ok_ = device_->write(buffer_) == buffer_.size();
    }
    flushed_ += buffer_.size();
    buffer_.resize(0);  // keeps the capacity for the next round
    recordStart_ = 0;
}

bool ByteSink::finish() {
    if (device_) {
        flush();
    }
    return ok_;
}

}  // namespace kelvora
