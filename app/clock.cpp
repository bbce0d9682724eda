#include "app/form1.h"

namespace kelvora {

void Form1::Timer1_Timer() {}

}  // namespace kelvora
