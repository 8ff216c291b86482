#include "ui/qtplatform/FontSubstitutions.h"

#include <QFont>

#include <array>
#include <mutex>

namespace tidewake {
namespace {

struct Substitution {
  const char16_t* family;
  const char16_t* standIn;
};

constexpr std::array<Substitution, 4> kSubstitutions{{
    {u"ＭＳ ゴシック", u"IPAGothic"},
    {u"MS Gothic", u"IPAGothic"},
    {u"ＭＳ Ｐゴシック", u"IPAPGothic"},
    {u"MS PGothic", u"IPAPGothic"},
}};

}  // namespace

void RegisterFontSubstitutions() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (const Substitution& s : kSubstitutions) {
      QFont::insertSubstitution(QString::fromUtf16(s.family), QString::fromUtf16(s.standIn));
    }
  });
}

bool IsSubstitutedFont(const QString& family) {
  for (const Substitution& s : kSubstitutions) {
    if (family.compare(QString::fromUtf16(s.family), Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

}  // namespace tidewake
