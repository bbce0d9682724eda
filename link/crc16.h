#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvora {

// CRC-16/MODBUS (reflected polynomial 0xA001, initial 0xFFFF), table-driven.
// Covers data[start .. start+length-1] of a buffer of `size` bytes; a range outside the buffer
// is clipped to it, so nothing beyond the buffer is ever read.
void Crc16(const uint8_t* data, size_t size, int start, int length, uint8_t& crcHigh,
           uint8_t& crcLow);

// Entries of the two lookup tables (index 0..255).
uint8_t GetCRCh(int index);
uint8_t GetCRCl(int index);

}  // namespace kelvora
