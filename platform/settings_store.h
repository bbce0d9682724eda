#pragma once

#include <QSettings>
#include <memory>

namespace kelvora {

// The program's remembered settings ("Kelvora"), in the default format, so that tests can point
// it at a folder of INI files.
inline std::unique_ptr<QSettings> settingsStore() {
    return std::make_unique<QSettings>(QSettings::defaultFormat(), QSettings::UserScope,
                                       QStringLiteral("Kelvora"), QStringLiteral("Kelvora"));
}

}  // namespace kelvora
