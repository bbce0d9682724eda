#include "app/report_target.h"

#include "formats/write_target.h"

namespace kelvora {

QString reportTargetRefusal(const QString& records, const QString& pdf) {
    if (sameFile(records, pdf)) {
        return QStringLiteral("it is the records file %1 itself: nothing is written").arg(records);
    }
    switch (writeTargetFault(pdf)) {
        case WriteTargetFault::NoName:
            return QStringLiteral("no file name given");
        case WriteTargetFault::NotRegular:
            return QStringLiteral(
                "not a regular file (a device, FIFO, socket or folder): it is left as it is");
        case WriteTargetFault::None:
            break;
    }
    return {};
}

}  // namespace kelvora
