#include "app/form1.h"

namespace kelvora {

void Form1::Command2_Click() {}
void Form1::SaveReading() {}
void Form1::SaveRecordTable() {}
void Form1::SaveSpreadsheet(const QString&) {}

}  // namespace kelvora
