#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvora {

// CRC-16/MODBUS (reflected polynomial 0xA001, initial 0xFFFF, no final XOR), table-driven.
// Covers data[start .. start+length-1] of a buffer of `size` bytes; a range outside the buffer
// is clipped to it, so nothing beyond the buffer is ever read. crcHigh/crcLow are the high and
// low bytes of the CRC value. Modbus RTU puts crcLow on the wire first: then the CRC of a whole
// frame, its own check included, comes out as 0 and 0, which is how a receiver checks it.
void Crc16(const uint8_t* data, size_t size, int start, int length, uint8_t& crcHigh,
           uint8_t& crcLow);

// Entries of the two lookup tables (index 0..255; other values are taken modulo 256).
uint8_t GetCRCh(int index);
uint8_t GetCRCl(int index);

}  // namespace kelvora
