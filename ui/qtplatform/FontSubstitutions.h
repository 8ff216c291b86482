#pragma once

#include <QString>

namespace tidewake {

// The program names the Windows fonts; the IPA fonts are drawn to stand in for them:
// "ＭＳ ゴシック" and "MS Gothic" become IPAGothic (fixed pitch), "ＭＳ Ｐゴシック" and
// "MS PGothic" IPAPGothic (proportional). Safe to call more than once; call it once a
// QGuiApplication exists, before the first font is made. Every QtDrawSurface calls it too.
void RegisterFontSubstitutions();

// True for the Windows font names above. Their stand-ins are given the line height of the fonts
// they replace: one em, as the Windows fonts have it.
bool IsSubstitutedFont(const QString& family);

}  // namespace tidewake
