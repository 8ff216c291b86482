// Any bytes as a programme, in memory: read as a day (as a load reads it) and checked as a
// conversion checks them before it replaces the store. Both refuse the same bytes with the same
// words (the check reads less of each line, from its bytes), never crash, and every card read
// answers every getter of every race and boat, and what the window shows of it (the venue and
// race items, the date, the card's columns) formats to well-formed text.

#include "data/cBangumiFile.h"

#include "platform/Format.h"
#include "platform/MessageBox.h"
#include "platform/Numeric.h"
#include "platform/RuntimeError.h"
#include "platform/SjisText.h"
#include "platform/mMyFunc.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

namespace {

using tidewake::cBangumiFile;

void Require(bool ok) {
  if (!ok) std::abort();
}

// Counts the boxes; each must be one of the programme store's warnings.
class CountingBox final : public tidewake::IMessageBox {
 public:
  tidewake::MsgResult Show(const QString& text, tidewake::MsgButtons buttons, tidewake::MsgIcon icon,
                           const QString& title) override {
    Require(!text.isEmpty() && buttons == tidewake::MsgButtons::Ok && icon == tidewake::MsgIcon::Warning);
    Require(title == u"番組ファイル読み込みエラー(01)" || title == u"番組ファイル読み込みエラー(02)" ||
            title == u"番組ファイル変換エラー");
    ++shown;
    return tidewake::MsgResult::Ok;
  }
  int shown = 0;
};

bool IsDigits(QStringView s) {
  return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// What a number pattern of digits makes of a finite value: a minus, digits, at most one point.
bool IsDecimal(const QString& s) {
  const QStringView body = QStringView(s).mid(s.startsWith(u'-') ? 1 : 0);
  const auto point = body.indexOf(u'.');
  if (point < 0) return IsDigits(body);
  return (point == 0 || IsDigits(body.first(point))) && (point + 1 == body.size() || IsDigits(body.mid(point + 1)));
}

// A rate as the card shows it ("0.00"); any text of the card as a grid cell with that format.
void ShowRate(float v) {
  const QString s = tidewake::FormatNumber(v, u"0.00");
  Require(std::isfinite(v) ? IsDecimal(s) && s.size() >= 4 : !s.isEmpty());
}

void ShowAsCell(const QString& text) {
  const QString s = tidewake::FormatValue(text, u"0.00");
  const auto v = tidewake::ParseNumber(text);
  Require(v && std::isfinite(*v) ? IsDecimal(s) : s == text);
}

// "0" before any date line was read, else year/mm/dd of a real month and day; the window's label
// shows it as "yyyy/m/d".
void CheckDate(const QString& date) {
  const QString shown = tidewake::FormatDate(date, u"yyyy/m/d");
  if (date == u"0") {
    Require(shown == date);
    return;
  }
  const auto parts = QStringView(date).split(u'/');
  Require(parts.size() == 3 && parts[0].size() >= 2 && parts[0].size() <= 4 && parts[1].size() == 2 &&
          parts[2].size() == 2 && IsDigits(parts[0]) && IsDigits(parts[1]) && IsDigits(parts[2]));
  const int month = parts[1].toInt(), day = parts[2].toInt();
  Require(month >= 1 && month <= 12 && day >= 1 && day <= 31);
  Require(shown == QStringLiteral("%1/%2/%3").arg(parts[0].toInt(), 4, 10, QLatin1Char('0')).arg(month).arg(day));
}

void RequireSubscript(const std::function<void()>& ask) {
  try {
    ask();
  } catch (const tidewake::RuntimeError& e) {
    Require(e.number() == tidewake::ErrNo::SubscriptOutOfRange);
    return;
  }
  std::abort();
}

void WalkBoat(const cBangumiFile& b, std::int16_t r, std::int16_t w, bool raced) {
  const QString texts[] = {b.SensyuNo(r, w), b.SensyuName(r, w), b.SensyuBirthplace(r, w), b.SensyuClass(r, w),
                           b.MotorNo(r, w),  b.BoatNo(r, w),     b.Seiseki(r, w)};
  const float rates[] = {
      b.SensyuZenkokuSyoritu(r, w), b.SensyuZenkokuFSyoritu(r, w), b.MotorFSyoritu(r, w),       b.BoatFSyoritu(r, w),
      b.Tansyoritu(r, w),           b.SensyuTochiSyoritu(r, w),    b.SensyuTochiFSyoritu(r, w), b.Tokutenritu(r, w)};
  const std::int16_t wholes[] = {b.SensyuAge(r, w), b.SensyuWeight(r, w), b.Hayami(r, w), b.TokutenrituOrder(r, w)};
  if (!raced) {
    // A race beyond the card answers empty texts and zeros.
    Require(std::all_of(std::begin(texts), std::end(texts), [](const QString& t) { return t.isEmpty(); }));
    Require(std::all_of(std::begin(rates), std::end(rates), [](float v) { return v == 0; }));
    Require(std::all_of(std::begin(wholes), std::end(wholes), [](std::int16_t v) { return v == 0; }));
    return;
  }
  // The card's columns as the window writes them: the rates of columns 7, 8, 10 and 12 and the win
  // share "0.00", age and weight as whole numbers, the texts as they are. The numbers among the
  // texts go through the grid's cell format too. Formatting is most of the cost of an input, so
  // only these are formatted.
  for (int k = 0; k < 5; ++k) ShowRate(rates[k]);
  for (const int k : {0, 4, 5}) ShowAsCell(texts[k]);
  Require(b.Tokutenritu(r, w) >= -10 && b.Tokutenritu(r, w) <= 10);
}

void WalkCard(const cBangumiFile& b, const QString& code) {
  Require(b.KyoteijyoCode() == code);
  CheckDate(b.RaceDate());
  (void)b.Title();
  (void)b.TitleLong();
  (void)b.TotalDay();
  const std::int16_t races = b.RaceNumbers();
  Require(races >= 0 && races <= cBangumiFile::kMaxRace);

  // The participant list: entry 0 empty, ascending, each number found at or before its place; a
  // block with no race yet has none.
  const std::int16_t n = b.ParticipationNumbers();
  const QStringList list = b.ParticipationSensyuNoAllGet();
  Require((races == 0) == (n == 0));
  Require(list.size() == n + 1 && list[0].isEmpty() && std::is_sorted(list.begin() + 1, list.end()));
  for (std::int16_t i = 0; i <= n; ++i) {
    Require(b.ParticipationSenyuNo(i) == list[i]);
    (void)b.IndexToSenyuName(i);
    (void)b.IndexToSenyuClass(i);
    (void)b.IndexToSenyuZenkokuFSyoritu(i);
    (void)b.IndexToTokutenritu(i);
    ShowRate(b.IndexToSenyuZenkokuSyoritu(i));
    if (i >= 1) {
      const std::int16_t at = b.SensyuNoToIndex(list[i]);
      Require(at >= 1 && at <= i && list[at] == list[i]);
    }
  }
  RequireSubscript([&] { (void)b.ParticipationSenyuNo(static_cast<std::int16_t>(n + 1)); });
  RequireSubscript([&] { (void)b.IndexToSenyuName(static_cast<std::int16_t>(n + 1)); });
  RequireSubscript([&] { (void)b.IndexToTokutenritu(-1); });

  for (std::int16_t r = 1; r <= cBangumiFile::kMaxRace; ++r) {
    const bool raced = r <= races;
    const QString title = b.RaceTitle(r), closing = b.ClosingHour(r);
    const std::int16_t vote = b.VoteType(r);
    const bool fix = b.CourseFix(r);
    if (raced) {
      Require(vote == 2 || vote == 3 || vote == 4);
      // The race selector's item.
      Require(tidewake::FormatNumber(static_cast<int>(r), u"@@ R") == QStringLiteral("%1 R").arg(r, 2));
    } else {
      Require(title.isEmpty() && closing.isEmpty() && vote == 0 && !fix);
    }
    for (std::int16_t w = 1; w <= cBangumiFile::kBoats; ++w) WalkBoat(b, r, w, raced);
  }
  RequireSubscript([&] { (void)b.RaceTitle(0); });
  RequireSubscript([&] { (void)b.ClosingHour(13); });
  RequireSubscript([&] { (void)b.SensyuNo(1, 0); });
  RequireSubscript([&] { (void)b.Tansyoritu(1, 7); });
  RequireSubscript([&] { (void)b.Seiseki(13, 1); });
}

// Every venue block of the bytes, read as a day the way a load reads it: each card read answers
// its getters; a block with no race carries only its notice. The conversion's check of the same
// bytes, which reads less of each line, refuses exactly what the day's read refuses, with the same
// words, and a text without a venue block besides.
void ReadDay(QByteArrayView bytes) {
  std::vector<cBangumiFile::Card> cards;
  std::optional<tidewake::RuntimeError> failure;
  try {
    cards = cBangumiFile::ReadDay(bytes);
  } catch (const tidewake::RuntimeError& e) {
    Require(!e.description().isEmpty());
    failure = e;
  }
  const QString name = QStringLiteral("b.txt");
  try {
    (void)cBangumiFile::StoreBytes(bytes, name);
    Require(!failure && !cards.empty());
  } catch (const tidewake::RuntimeError& e) {
    if (failure) {
      const bool text = failure->number() == tidewake::ErrNo::NotATextFile;
      Require(e.number() == failure->number() &&
              e.description() == failure->description() + (text ? QStringLiteral(": ") : QStringLiteral("\n")) + name);
    } else {
      Require(cards.empty() && e.number() == tidewake::ErrNo::NotATextFile);
    }
  }
  if (failure) return;
  for (cBangumiFile::Card& card : cards) {
    const int code = card.KyoteijyoCode.toInt();
    Require(code >= 1 && code <= 24 && card.KyoteijyoCode.size() == 2);
    Require(card.RaceNumbers >= 0 && card.RaceNumbers <= cBangumiFile::kMaxRace);
    Require(card.RaceNumbers == 0 || card.Notice.isEmpty());
    const QString two = card.KyoteijyoCode;
    WalkCard(cBangumiFile(std::move(card)), two);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CountingBox box;
  static bool ready = [] {
    tidewake::EnsureShiftJisCodec();
    tidewake::SetMessageBoxHandler(&box);
    return true;
  }();
  (void)ready;
  // In memory, as a conversion reads the text before it replaces the store: no file, no sync.
  ReadDay(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  Require(box.shown == 0);  // the reader shows nothing; its caller does
  return 0;
}
