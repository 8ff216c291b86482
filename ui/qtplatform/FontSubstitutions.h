#pragma once

#include <QString>
#include <QStringList>

namespace tidewake {

// The program names the Windows fonts; the IPA fonts are drawn to stand in for them:
// "ＭＳ ゴシック" and "MS Gothic" become IPAGothic (fixed pitch), "ＭＳ Ｐゴシック" and
// "MS PGothic" IPAPGothic (proportional). On Windows the named font is used where it is
// installed; where neither it nor an IPA font is, another Windows Japanese font stands in
// (FontStandIns). Safe to call more than once; call it once a QGuiApplication exists, before the
// first font is made. Every QtDrawSurface calls it too.
void RegisterFontSubstitutions();

// The families tried, in order, for a Windows font name the program uses when that font is not
// installed; empty for any other family.
QStringList FontStandIns(const QString& family);

// True for the Windows font names above. Their stand-ins are given the line height of the fonts
// they replace: one em, as the Windows fonts have it.
bool IsSubstitutedFont(const QString& family);

// The family to ask Qt for to draw `family`: for the Windows names above, the named font where
// it is installed, else the first of its stand-ins that is; any other family as it is given (also
// before a QGuiApplication exists). Asking by the installed family draws with the same font as
// asking by the Windows name, without Qt first searching the system for a fallback of the missing
// name (a fontconfig sort for each script and size, a few milliseconds of the first paint).
QString InstalledFamily(const QString& family);

}  // namespace tidewake
