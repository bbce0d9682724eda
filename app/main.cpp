#include <QApplication>

#include "app/form1.h"
#include "platform/real_seams.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kelvora::Form1 window(kelvora::makeRealSeams(kelvora::PortMap::fromSystem()));
    window.show();
    return app.exec();
}
