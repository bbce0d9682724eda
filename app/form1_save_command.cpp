#include "app/form1.h"

namespace kelvora {

void Form1::Command2_Click() {
    if (download.running()) {
        return;  // from the menu: the table is still being filled
    }
    if (liveView) {
        SaveReading();
    } else {
        SaveRecordTable();
    }
}

}  // namespace kelvora
