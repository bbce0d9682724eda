#pragma once

#include <QByteArray>
#include <cstdint>

namespace kelvora {

// Little-endian integer writers shared by the compound file and the BIFF8 record encoders.
inline void appendU8(QByteArray& out, std::uint8_t value) {
    out.append(static_cast<char>(value));
}

inline void appendU16(QByteArray& out, std::uint16_t value) {
    const char bytes[2] = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
    out.append(bytes, 2);
}

inline void appendU32(QByteArray& out, std::uint32_t value) {
    const char bytes[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                           static_cast<char>((value >> 16) & 0xFF),
                           static_cast<char>((value >> 24) & 0xFF)};
    out.append(bytes, 4);
}

inline void putU16(QByteArray& out, int offset, std::uint16_t value) {
    out[offset] = static_cast<char>(value & 0xFF);
    out[offset + 1] = static_cast<char>(value >> 8);
}

inline void putU32(QByteArray& out, int offset, std::uint32_t value) {
    putU16(out, offset, static_cast<std::uint16_t>(value & 0xFFFF));
    putU16(out, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

inline std::uint16_t readU16(const QByteArray& in, int offset) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(in[offset]) |
                                      (static_cast<std::uint8_t>(in[offset + 1]) << 8));
}

inline std::uint32_t readU32(const QByteArray& in, int offset) {
    return static_cast<std::uint32_t>(readU16(in, offset)) |
           (static_cast<std::uint32_t>(readU16(in, offset + 2)) << 16);
}

}  // namespace kelvora
