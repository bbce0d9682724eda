#include "app/form1.h"

namespace kelvora {

void Form1::SendRequest(uint8_t, uint8_t, uint8_t, uint8_t, uint8_t, uint8_t) {}
void Form1::comunication_Timer() {}
void Form1::Command1_Click() {}
void Form1::Readdat_Timer() {}

}  // namespace kelvora
