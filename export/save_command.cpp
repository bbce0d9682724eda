#include "app/form1.h"

namespace kelvora {

void Form1::Command2_Click() {
    if (liveView) {
        SaveReading();
    } else {
        SaveRecordTable();
    }
}

}  // namespace kelvora
