#include "app/form1.h"

namespace kelvora {

void Form1::Command4_Click() {}

}  // namespace kelvora
