#pragma once

namespace kelvora {

class Form1;
struct Reading;

// Makes `record` the last row of the record table and of the record model and fills it: its
// number and the values of its mode, or, for a record that could not be read (reading null),
// nothing at all.
void writeRecordRow(Form1& form, int record, const Reading* reading);

}  // namespace kelvora
