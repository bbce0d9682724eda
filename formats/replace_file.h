#pragma once

#include <QString>

namespace kelvora {

// Puts `from` in the place of `to` in one step, so `to` is never missing or half there.
bool replaceFile(const QString& from, const QString& to);

// A write past the process's file-size limit fails with EFBIG instead of ending the program.
void ignoreFileSizeSignal();

}  // namespace kelvora
