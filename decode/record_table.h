#pragma once

namespace kelvora {

class RecordGrid;
struct Reading;

// Makes `record` the table's last row and fills it: its number and the values of its mode, or,
// for a record that could not be read (reading null), nothing at all.
void writeRecordRow(RecordGrid& grid, int record, const Reading* reading);

}  // namespace kelvora
