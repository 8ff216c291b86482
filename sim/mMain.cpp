#include "sim/mMain.h"

#include <array>

namespace tidewake {
namespace {

const std::array<const char16_t*, 24> kJyoNames = {
    u"桐生", u"戸田", u"江戸川", u"平和島", u"多摩川", u"浜名湖", u"蒲郡", u"常滑",
    u"津",   u"三国", u"琵琶湖", u"住之江", u"尼崎",   u"鳴門",   u"丸亀", u"児島",
    u"宮島", u"徳山", u"下関",   u"若松",   u"芦屋",   u"福岡",   u"唐津", u"大村",
};

struct BoatColours {
  Colour back;
  Colour fore;
};

// Background and text colour of boats 1..6; boat 2 is dark grey, not black.
constexpr std::array<BoatColours, 6> kBoatColours = {{
    {0xFFFFFF, 0x000000},
    {0x404040, 0xFFFFFF},
    {0x0000FF, 0xFFFFFF},
    {0xFF0000, 0xFFFFFF},
    {0x00FFFF, 0x000000},
    {0x00FF00, 0x000000},
}};

}  // namespace

QString JyoNameGet(std::int16_t intJyoCode) {
  if (intJyoCode < 1 || intJyoCode > 24) return QString();
  return QString::fromUtf16(kJyoNames[static_cast<std::size_t>(intJyoCode - 1)]);
}

std::optional<Colour> BoatColor(std::int16_t intWakuNo, bool blnBackColor) {
  if (intWakuNo < 1 || intWakuNo > 6) return std::nullopt;
  const BoatColours& c = kBoatColours[static_cast<std::size_t>(intWakuNo - 1)];
  return blnBackColor ? c.back : c.fore;
}

namespace detail {

bool SortCountersCover(std::size_t count) {
  constexpr std::size_t kMost = 32767;
  if (count <= kMost) return true;
  const RuntimeError e(
      ErrNo::Overflow,
      QStringLiteral("並べ替える配列の要素が多すぎます: %1 個（数えられるのは %2 個まで）").arg(count).arg(kMost));
  MsgBox(QStringLiteral("Error: %1. %2").arg(e.number()).arg(e.description()), MsgButtons::Ok, MsgIcon::None,
         QStringLiteral("BubbleSortVariantArray"));
  return false;
}

}  // namespace detail
}  // namespace tidewake
