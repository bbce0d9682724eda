#include "app/form1.h"

namespace kelvora {

void Form1::gridinit() {}

}  // namespace kelvora
