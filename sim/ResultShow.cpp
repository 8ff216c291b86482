#include "platform/Format.h"
#include "platform/Numeric.h"
#include "platform/RaceScene.h"
#include "platform/Random.h"
#include "platform/TextUtil.h"
#include "sim/mGlobal.h"
#include "sim/mMain.h"

#include <QStringBuilder>

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace tidewake {
namespace {

constexpr Colour kBlack = 0x000000;
constexpr Colour kYellow = 0x00FFFF;

// Both tables are printed in a black panel, line by line from X 190, two units apart. The panel
// reaches X 320, or further when a line is wider, so that no line runs off it onto the water.
void PrintPanel(IDrawSurface& pool, const QStringList& lines) {
  const float h = pool.TextHeight(QStringLiteral("1"));
  float right = 320;
  for (const QString& line : lines) right = std::max(right, 190 + pool.TextWidth(line) + 10);
  pool.Box(180, 20, right, 8 * h + 56, kBlack, true);
  pool.SetForeColor(kYellow);
  pool.SetCurrentY(30);
  pool.SetCurrentX(190);
  for (const QString& line : lines) {
    pool.Print(line, true);
    pool.SetCurrentY(pool.CurrentY() + 2);
    pool.SetCurrentX(190);
  }
}

QString FullWidthBoatNo(int index) { return Widen(QString::number(index + 1)); }

}  // namespace

void ChakujunSet() {
  std::array<float, kBoatCount> times{};
  for (int i = 0; i < kBoatCount; ++i)
    times[static_cast<std::size_t>(i)] = gtypEntrant[static_cast<std::size_t>(i)].GoalTime;
  BubbleSortVariantArray(std::span(times));
  int place = 1;
  for (const float t : times) {
    // The flying and late boats' times find no boat still without a result and are passed over.
    for (EntrantType& e : gtypEntrant) {
      if (e.GoalTime == t && e.Result.isEmpty()) {
        e.Result = QString::number(place);
        ++place;
        break;
      }
    }
  }
}

QString TimeFormat(float sngTime) {
  // The minutes come from the time rounded to the whole second, so 119.6 reads 2:00:0.
  const std::int32_t m = RoundToLong(sngTime) / 60;
  double x = (static_cast<double>(sngTime) - m * 60) * 10;
  if (x < 0) x = 0;
  const double s = std::floor(x / 10);
  std::int16_t d = RoundToInteger(x - s * 10);
  if (d > 9) d = 9;
  return FormatNumber(static_cast<int>(m), u"0:") % FormatNumber(s, u"00:") % FormatNumber(static_cast<int>(d), u"0");
}

void ResultShow() {
  IRaceScene& scene = RaceScene();
  IDrawSurface& pool = scene.picPool();
  ChakujunSet();
  QStringList lines = {QStringLiteral(" 確定 ") % scene.RaceNoText(),
                       QStringLiteral(" 着順  艇番  タイム  進入  ＳＴ")};
  for (int p = 1; p <= kBoatCount; ++p) {
    const QString place = QString::number(p);
    for (int i = 0; i < kBoatCount; ++i) {
      const EntrantType& e = gtypEntrant[static_cast<std::size_t>(i)];
      if (e.Result != place) continue;
      lines << (QStringLiteral("  ") % FormatNumber(p, u"#着") % QStringLiteral("  ") % u' ' % FullWidthBoatNo(i) %
                QStringLiteral("   ") % TimeFormat(e.GoalTime) % QStringLiteral("  ") % QChar(u' ') %
                FormatNumber(static_cast<int>(e.Course), u"0") % QStringLiteral("    ") %
                FormatText(FormatNumber(e.StTime, u".00"), u"@@@@"));
      break;
    }
  }
  for (int i = 0; i < kBoatCount; ++i) {
    const EntrantType& e = gtypEntrant[static_cast<std::size_t>(i)];
    if (e.Result != u"F" && e.Result != u"L") continue;
    lines << (QStringLiteral("  ") % e.Result % QStringLiteral("    ") % QChar(u' ') % FullWidthBoatNo(i) %
              QStringLiteral("   ") % QStringLiteral(" :  :   ") % u' ' %
              FormatNumber(static_cast<int>(e.Course), u"0") % QStringLiteral("    ") %
              FormatText(FormatNumber(std::fabs(e.StTime), u"+.00"), u"@@@@"));
  }
  PrintPanel(pool, lines);
  pool.SetForeColor(kBlack);
}

void TestTimeShow(std::array<float, 6>& sngMaxSpeed) {
  IRaceScene& scene = RaceScene();
  IDrawSurface& pool = scene.picPool();
  scene.lblStart().SetVisible(false);
  QStringList lines = {QStringLiteral(" 展示タイムのお知らせ "), QStringLiteral(" 艇番    選 手 名     タイム")};
  for (int i = 0; i < kBoatCount; ++i) {
    const EntrantType& e = gtypEntrant[static_cast<std::size_t>(i)];
    // The time to cover 150 units at the boat's best straight speed, plus up to a tenth of chance.
    const float time = 150 / sngMaxSpeed[static_cast<std::size_t>(i)] + Random().Rnd() / 10;
    lines << (u' ' + FullWidthBoatNo(i) + QStringLiteral("号艇 ") + u' ' + (e.Name + u'\u3000').left(5) +
              QStringLiteral("    ") + FormatNumber(time, u"0.00"));
  }
  PrintPanel(pool, lines);
  pool.SetForeColor(kBlack);
}

}  // namespace tidewake
