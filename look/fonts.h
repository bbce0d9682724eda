#pragma once

#include <QFont>
#include <QStringList>

namespace kelvora {

// Installed faces tried, in order, where SimSun itself is missing (Linux, macOS). Song faces
// first, for the closest look; any CJK face is better than boxes for the captions, ρ and Ω.
QStringList simSunStandIns();

// Makes "宋体" and "SimSun" resolve to an installed CJK face. Safe to call more than once.
void installFontSubstitutions();

// The window's one family, SimSun, at a point size that may have a fraction (21.75, 9.75).
QFont simSunFont(double pointSize, bool bold);

}  // namespace kelvora
