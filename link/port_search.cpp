#include "app/form1.h"

namespace kelvora {

void Form1::comopen(int16_t) {}
void Form1::Findcom_Timer() {}
void Form1::COMtimout_Timer() {}

}  // namespace kelvora
