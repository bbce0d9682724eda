#include "app/form1.h"

namespace kelvora {

void Form1::vrprecord_Timer() {}
void Form1::Movectrltimer_Timer() {}
void Form1::Movetimer_Timer() {}
void Form1::HideReadingLabels() {}
void Form1::StartMove(TwipLabel*, int16_t, int16_t, int16_t, int16_t, bool) {}

}  // namespace kelvora
