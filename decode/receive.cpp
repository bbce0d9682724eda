#include "app/form1.h"

namespace kelvora {

void Form1::MSComm1_OnComm(int) {}

}  // namespace kelvora
