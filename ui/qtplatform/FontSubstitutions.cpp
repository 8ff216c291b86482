#include "ui/qtplatform/FontSubstitutions.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>

#include <array>
#include <mutex>

namespace tidewake {
namespace {

struct Substitution {
  const char16_t* family;
  bool fixedPitch;
};

constexpr std::array<Substitution, 4> kSubstitutions{{
    {u"ＭＳ ゴシック", true},
    {u"MS Gothic", true},
    {u"ＭＳ Ｐゴシック", false},
    {u"MS PGothic", false},
}};

// The IPA fonts first (drawn to stand in for the Windows fonts, the same metrics); then, on a
// Windows without the font named, the Windows Japanese fonts that are there: the fixed-pitch ones
// before the proportional, so that the card's columns keep their widths where they can.
constexpr std::array<const char16_t*, 5> kFixedStandIns{
    {u"IPAGothic", u"MS Gothic", u"BIZ UDGothic", u"Meiryo", u"Yu Gothic"}};
constexpr std::array<const char16_t*, 6> kProportionalStandIns{
    {u"IPAPGothic", u"MS PGothic", u"BIZ UDPGothic", u"Meiryo UI", u"Yu Gothic UI", u"Meiryo"}};

}  // namespace

QStringList FontStandIns(const QString& family) {
  QStringList out;
  for (const Substitution& s : kSubstitutions) {
    if (family.compare(QString::fromUtf16(s.family), Qt::CaseInsensitive) != 0) continue;
    const auto add = [&](const auto& list) {
      for (const char16_t* f : list) {
        const QString name = QString::fromUtf16(f);
        // Never the family itself: Qt has already looked for it when it asks for a stand-in.
        if (name.compare(family, Qt::CaseInsensitive) != 0) out << name;
      }
    };
    if (s.fixedPitch) {
      add(kFixedStandIns);
    } else {
      add(kProportionalStandIns);
    }
  }
  return out;
}

void RegisterFontSubstitutions() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (const Substitution& s : kSubstitutions) {
      const QString family = QString::fromUtf16(s.family);
      QFont::insertSubstitutions(family, FontStandIns(family));
    }
  });
}

bool IsSubstitutedFont(const QString& family) {
  for (const Substitution& s : kSubstitutions) {
    if (family.compare(QString::fromUtf16(s.family), Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

QString InstalledFamily(const QString& family) {
  if (!IsSubstitutedFont(family) || !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return family;
  // The fonts installed do not change while the program runs: each name is looked up once.
  static std::mutex guard;
  static QHash<QString, QString> found;
  const std::lock_guard lock(guard);
  const QString key = family.toCaseFolded();
  if (const auto f = found.constFind(key); f != found.constEnd()) return *f;
  const QStringList installed = QFontDatabase::families();
  const auto has = [&](const QString& name) { return installed.contains(name, Qt::CaseInsensitive); };
  QString use = family;
  if (!has(family)) {
    for (const QString& standIn : FontStandIns(family)) {
      if (has(standIn)) {
        use = standIn;
        break;
      }
    }
  }
  found.insert(key, use);
  return use;
}

}  // namespace tidewake
