#include "data/cBangumiFile.h"

#include "data/EntrantColumns.h"
#include "data/mDayFile.h"

#include "platform/Format.h"
#include "platform/LineReader.h"
#include "platform/MessageBox.h"
#include "platform/Numeric.h"
#include "platform/RuntimeError.h"
#include "platform/SjisText.h"
#include "platform/TextUtil.h"
#include "platform/mMyFunc.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace tidewake {

namespace {
const QString kRaceNo = QStringLiteral("レース番号");
const QString kWakuNo = QStringLiteral("艇番");
const QString kIndex = QStringLiteral("参加選手の番号");

const QString kStoreName = QStringLiteral("BANGUMI.BRF");
const QString kTitleList = QStringLiteral("番組ファイル読み込みエラー(01)");
const QString kTitleLoad = QStringLiteral("番組ファイル読み込みエラー(02)");
const QString kTitleConv = QStringLiteral("番組ファイル変換エラー");
const QString kNotFound = QStringLiteral("ファイルが見つかりません。");

// No line of a programme comes near this; a longer one means the file is no programme, and
// reading stops keeping bytes there so that such a file cannot exhaust memory.
constexpr qsizetype kMaxLineBytes = 64 * 1024;

void Warn(const QString& text, const QString& title) { WarnBox(text, title); }

// Trimmed text from character 19: the meeting title of a venue line.
QString TitleCut(QStringView line) { return Trim(MidToEnd(line, 19)); }

// Characters start..start+length-1 (from 1) as Mid gives them, without a copy: every line of a
// programme passes these tests.
QStringView MidView(QStringView s, qsizetype start, qsizetype length) {
  if (start - 1 >= s.size()) return {};
  return s.sliced(start - 1, std::min(length, s.size() - (start - 1)));
}
QStringView RightView(QStringView s, qsizetype length) { return s.last(std::min(length, s.size())); }

// The rules of a line's kind on its text. The reader tests the bytes of the same characters (see
// LineMarks); a debug build checks every line both ways.
bool IsVenueLine(QStringView line) {
  const QStringView c57 = MidView(line, 5, 3);
  return c57 == u"競艇場" || c57 == u"競走場" || MidView(line, 1, 6) == u"ボートレース";
}

bool IsDateLine(QStringView line) {
  const QStringView last3 = RightView(line, 3);
  return last3 == u"競艇場" || last3 == u"競走場" || RightView(line, 9).contains(u"ボートレース");
}

bool IsRaceHeaderLine(QStringView line) { return MidView(line, 30, 2) == u"電話" || MidView(line, 3, 1) == u"Ｒ"; }

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int SeisekiPoint(QChar c) {
  switch (c.unicode()) {
    case u'1':
      return 10;
    case u'2':
      return 8;
    case u'3':
      return 6;
    case u'4':
      return 4;
    case u'5':
      return 2;
    case u'6':
      return 1;
    case u'F':
    case u'L':
      return -10;
    default:
      return 0;
  }
}

bool CountsAsRace(QChar c) { return (c >= u'1' && c <= u'6') || c == u'F' || c == u'L' || c == u'S' || c == u'K'; }

// SeisekiPoints of a field not yet decoded (whole characters of a line): only ASCII characters
// count, and an ASCII byte is a character of its own unless it ends a pair, which counts nothing.
cBangumiFile::SeriesPoints PointsOfBytes(QByteArrayView seiseki) {
  cBangumiFile::SeriesPoints p;
  const auto* b = reinterpret_cast<const unsigned char*>(seiseki.data());
  const qsizetype n = seiseki.size();
  for (qsizetype i = 0; i < n; ++i) {
    if (b[i] < 0x80) {
      const QChar c(b[i]);
      if (CountsAsRace(c)) {
        p.Total += SeisekiPoint(c);
        ++p.Races;
      }
    } else if (IsSjisLeadByte(b[i]) && i + 1 < n && IsSjisTrailByte(b[i + 1])) {
      ++i;
    }
  }
  return p;
}

// Whether two racers' numbers, whole characters of their lines, decode alike without decoding
// them when they need not be: equal bytes decode alike, and ASCII decodes to itself.
bool SameNumber(QByteArrayView a, QByteArrayView b) {
  if (a == b) return true;
  const auto ascii = [](QByteArrayView v) {
    return std::all_of(v.begin(), v.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  };
  if (ascii(a) && ascii(b)) return false;
  return DecodeSjis(a) == DecodeSjis(b);
}

// The failure of a field given in characters from..from+length-1 (from 1) of `line`, a decoded
// line that starts `lead` bytes into the line as read: reported in the bytes of the file's line.
[[noreturn]] void ThrowCharField(int number, int lineNo, QStringView line, qsizetype lead, const QString& field,
                                 int from, int length, const QString& what, const QString& found) {
  const qsizetype before = std::min<qsizetype>(from - 1, line.size());
  const QStringView cut = MidView(line, from, length);
  ThrowField(number, lineNo, field, lead + SjisByteCount(line.first(before)) + (from - 1 - before),
             SjisByteCount(cut) + (length - cut.size()), what, found);
}

// Reads the fields of one entrant line; every failure names the line, the field and its columns.
class EntrantCutter {
 public:
  EntrantCutter(QStringView trimmed, qsizetype lead, int lineNo) : t_(trimmed), lead_(lead), lineNo_(lineNo) {}

  QString Text(int from, int length) const { return Mid(t_, from, length); }

  std::int16_t Integer(const QString& field, int from, int length) const {
    const QStringView s = MidView(t_, from, length);
    const auto v = ParseNumber(s);
    if (!v) ThrowField(ErrNo::TypeMismatch, field, from, length, QStringLiteral("が数値ではありません"), s.toString());
    try {
      if (!std::isfinite(*v)) throw RuntimeError(ErrNo::Overflow, QString());
      return RoundToInteger(*v);
    } catch (const RuntimeError&) {
      ThrowField(ErrNo::Overflow, field, from, length, QStringLiteral("が大きすぎます"), s.toString());
    }
  }

  float Single(const QString& field, int from, int length) const {
    const QStringView s = MidView(t_, from, length);
    try {
      return ToSingle(s);
    } catch (const RuntimeError& e) {
      if (e.number() == ErrNo::TypeMismatch) {
        ThrowField(ErrNo::TypeMismatch, field, from, length, QStringLiteral("が数値ではありません"), s.toString());
      }
      ThrowField(ErrNo::Overflow, field, from, length, QStringLiteral("が大きすぎます"), s.toString());
    }
  }

 private:
  [[noreturn]] void ThrowField(int number, const QString& field, int from, int length, const QString& what,
                               const QString& found) const {
    ThrowCharField(number, lineNo_, t_, lead_, field, from, length, what, found);
  }

  QStringView t_;
  qsizetype lead_;
  int lineNo_;
};

}  // namespace

cBangumiFile::cBangumiFile() { card_.participants << QString(); }

const cBangumiFile::Race& cBangumiFile::RaceAt(std::int16_t intRaceNo) const {
  CheckIndex(kRaceNo, intRaceNo, 1, kMaxRace);
  return card_.races[intRaceNo - 1];
}

const cBangumiFile::Entrant& cBangumiFile::At(std::int16_t intRaceNo, std::int16_t intWakuNo) const {
  const Race& race = RaceAt(intRaceNo);
  CheckIndex(kWakuNo, intWakuNo, 1, kBoats);
  return race.boats[intWakuNo - 1];
}

QStringList cBangumiFile::ParticipationSensyuNoAllGet() const { return card_.participants; }

namespace {

using Card = cBangumiFile::Card;
using Entrant = cBangumiFile::Entrant;

// An empty card: no venue, no races, the date "0", a participant list of the empty entry 0.
Card DataClear() {
  Card c;
  c.RaceDate = QStringLiteral("0");
  c.participants << QString();
  return c;
}

int DaysInMonth(int year, int month) {
  if (month == 2) return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 29 : 28;
  return month == 4 || month == 6 || month == 9 || month == 11 ? 30 : 31;
}

// One of the date's fields: a whole number written plainly, from `low` to `high`. A field the
// number rules read otherwise ("1e64", "2.5", "+1") or a month 13 fails the load, naming it.
int DateField(QStringView line, int lineNo, const QString& field, int from, int length, int low, int high) {
  const QString text = Mid(line, from, length);
  const auto v = PlainWholeNumber(text);
  if (!v) {
    ThrowCharField(ErrNo::TypeMismatch, lineNo, line, 0, field, from, length, QStringLiteral("が整数ではありません"),
                   text);
  }
  if (*v < low || *v > high) {
    ThrowCharField(ErrNo::DateOutOfRange, lineNo, line, 0, field, from, length,
                   QStringLiteral("が %1～%2 の範囲外です").arg(low).arg(high), text);
  }
  return *v;
}

void ReadDateLine(Card& card, QStringView line, int lineNo) {
  const QString year = Narrow(Mid(line, 18, 4));
  const QString month = Narrow(Mid(line, 23, 2));
  const QString day = Narrow(Mid(line, 26, 2));
  if (IsNumeric(year) && IsNumeric(month) && IsNumeric(day)) {
    const int y = DateField(line, lineNo, QStringLiteral("日付の年"), 18, 4, 0, 9999);
    const int m = DateField(line, lineNo, QStringLiteral("日付の月"), 23, 2, 1, 12);
    const int d = DateField(line, lineNo, QStringLiteral("日付の日"), 26, 2, 1, DaysInMonth(y, m));
    card.RaceDate = FormatNumber(y, u"##00") + u'/' + FormatNumber(m, u"00") + u'/' + FormatNumber(d, u"00");
  }
  const QString total = Mid(line, 5, 2);
  if (IsNumeric(total)) card.TotalDay = ToInteger(total);
}

void ReadRaceHeader(cBangumiFile::Race& race, QStringView line) {
  race.RaceTitle = Trim(line);
  const qsizetype p = line.indexOf(u"締切予定");
  if (p >= 0) race.ClosingHour = Narrow(Mid(line, p + 1 + 4, 5)) + QStringLiteral(":00");
  if (line.contains(u"連単連複")) {
    race.VoteType = 4;
  } else if (line.contains(u"連複")) {
    race.VoteType = 2;
  } else {
    race.VoteType = 3;
  }
  if (line.contains(u"進入固定")) race.CourseFix = true;
}

// `trimmed` is the line without the `lead` blanks it begins with. With `keepText` false the
// texts that no later step reads (name, birthplace, class, motor and boat numbers) are left out.
void ReadEntrant(Entrant& e, QStringView trimmed, qsizetype lead, int lineNo, bool keepText) {
  const EntrantCutter cut(trimmed, lead, lineNo);
  e.SensyuNo = cut.Text(3, 4);
  if (keepText) e.SensyuName = cut.Text(7, 4);
  e.SensyuAge = cut.Integer(QStringLiteral("年齢"), 11, 2);
  if (keepText) e.SensyuBirthplace = cut.Text(13, 2);
  e.SensyuWeight = cut.Integer(QStringLiteral("体重"), 15, 2);
  if (keepText) e.SensyuClass = cut.Text(17, 2);
  e.SensyuZenkokuSyoritu = cut.Single(QStringLiteral("全国勝率"), 19, 5);
  e.SensyuZenkokuFSyoritu = cut.Single(QStringLiteral("全国２連率"), 24, 6);
  e.SensyuTochiSyoritu = cut.Single(QStringLiteral("当地勝率"), 30, 5);
  e.SensyuTochiFSyoritu = cut.Single(QStringLiteral("当地２連率"), 35, 6);
  // Motor and boat numbers of three digits fill the separator column before them ("35.36160 34.64"
  // is boat 160): a digit there belongs to the number.
  const QStringView t = trimmed;
  if (keepText) e.MotorNo = t.size() >= 41 && IsDigit(t[40]) ? cut.Text(41, 3) : cut.Text(42, 2);
  e.MotorFSyoritu = cut.Single(QStringLiteral("モーター２連率"), 44, 6);
  if (keepText) e.BoatNo = t.size() >= 50 && IsDigit(t[49]) ? cut.Text(50, 3) : cut.Text(51, 2);
  e.BoatFSyoritu = cut.Single(QStringLiteral("ボート２連率"), 53, 6);
  e.Seiseki = cut.Text(60, 12);
  const QStringView hayami = MidView(trimmed, 72, 2);
  if (IsNumeric(hayami)) e.Hayami = cut.Integer(QStringLiteral("早見"), 72, 2);
}

// ReadEntrant on the bytes of the line as read, for the line whose fields are all in the short
// plain forms (ASCII numbers, texts at their character columns): each field is cut at the bytes of
// its characters, numbers are read from those bytes and only texts are decoded, so the values are
// those ReadEntrant gives. Without `keepText` no text is decoded at all: a check takes the
// racer's number and results from the bytes (see BlockReader). `columns` are the line's
// (SjisColumns, or EntrantColumns where the line has the printed layout), and the entrant's fields
// start after `lead` blanks. False, with `e` to be thrown away, for any other line (a number in
// another form or not one at all, full-width digits, a line too short for a field): ReadEntrant
// then reads it and reports what is wrong.
template <typename Columns>
bool ReadEntrantBytes(Entrant& e, const Columns& columns, qsizetype lead, bool keepText) {
  const auto cut = [&](int from, int length) { return columns.Mid(lead + from, length); };
  const auto text = [&](int from, int length) {
    const QByteArrayView b = cut(from, length);
    return b.isEmpty() ? QString() : DecodeSjis(b);
  };
  const auto single = [&](int from, int length, float& out) {
    const QByteArrayView field = cut(from, length);
    if (TwoPlaceSingle(field, out)) return true;
    const auto v = ShortSingle(field);
    if (v) out = *v;
    return v.has_value();
  };
  const auto integer = [&](int from, int length, std::int16_t& out) {
    const QByteArrayView field = cut(from, length);
    if (SmallWhole(field, out)) return true;
    const auto v = ShortNumber(field);
    if (!v || !(*v >= -32768.0 && *v <= 32767.0)) return false;
    out = RoundToInteger(*v);
    return true;
  };
  if (!integer(11, 2, e.SensyuAge) || !integer(15, 2, e.SensyuWeight) || !single(19, 5, e.SensyuZenkokuSyoritu) ||
      !single(24, 6, e.SensyuZenkokuFSyoritu) || !single(30, 5, e.SensyuTochiSyoritu) ||
      !single(35, 6, e.SensyuTochiFSyoritu) || !single(44, 6, e.MotorFSyoritu) || !single(53, 6, e.BoatFSyoritu)) {
    return false;
  }
  // The 早見 is read only when it is a number: blanks (most boats) leave it 0.
  if (!TrimBytes(cut(72, 2)).isEmpty() && !integer(72, 2, e.Hayami)) return false;
  if (keepText) {
    e.SensyuNo = text(3, 4);
    e.Seiseki = text(60, 12);
    e.SensyuName = text(7, 4);
    e.SensyuBirthplace = text(13, 2);
    e.SensyuClass = text(17, 2);
    // A digit in the separator column belongs to a three-digit number (see ReadEntrant); a digit
    // byte is always a character of its own.
    const auto digitAt = [&](int column) {
      const QByteArrayView c = cut(column, 1);
      return c.size() == 1 && c[0] >= '0' && c[0] <= '9';
    };
    e.MotorNo = digitAt(41) ? text(41, 3) : text(42, 2);
    e.BoatNo = digitAt(50) ? text(50, 3) : text(51, 2);
  }
  return true;
}

#ifndef QT_NO_DEBUG
// Every field alike, the numbers bit for bit: a debug build reads each entrant both ways.
bool SameEntrant(const Entrant& a, const Entrant& b, bool keepText) {
  const auto same = [](float x, float y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  const bool texts = a.SensyuNo == b.SensyuNo && a.SensyuName == b.SensyuName &&
                     a.SensyuBirthplace == b.SensyuBirthplace && a.SensyuClass == b.SensyuClass &&
                     a.MotorNo == b.MotorNo && a.BoatNo == b.BoatNo && a.Seiseki == b.Seiseki;
  return (texts || !keepText) && a.SensyuAge == b.SensyuAge && a.SensyuWeight == b.SensyuWeight &&
         a.Hayami == b.Hayami && same(a.SensyuZenkokuSyoritu, b.SensyuZenkokuSyoritu) &&
         same(a.SensyuZenkokuFSyoritu, b.SensyuZenkokuFSyoritu) && same(a.SensyuTochiSyoritu, b.SensyuTochiSyoritu) &&
         same(a.SensyuTochiFSyoritu, b.SensyuTochiFSyoritu) && same(a.MotorFSyoritu, b.MotorFSyoritu) &&
         same(a.BoatFSyoritu, b.BoatFSyoritu);
}
#endif

// Each racer once: a racer in two races carries the other race's number in both entries.
std::int16_t ParticipationNumbersCount(const Card& card) {
  int h = 0, n = 0;
  for (int r = 0; r < card.RaceNumbers; ++r) {
    for (const Entrant& e : card.races[r].boats) (e.Hayami != 0 ? h : n) += 1;
  }
  return RoundToInteger(h / 2.0 + n);
}

// The participants of a card in slot order (races in order, boats 1..6), each racer once: a racer
// whose 早見 names his other race is marked there, so that his entry in that race is not counted
// again. `same(r, b, r2, b2)` says whether two slots (from 0) hold one racer; `take(r, b)` gets
// each participant's slot. Throws when the 早見 give more participants than the card counts, or
// name a race outside 1..12.
template <typename Same, typename Take>
void ForEachParticipant(const Card& card, Same&& same, Take&& take) {
  const int n = card.ParticipationNumbers;
  bool marked[cBangumiFile::kMaxRace][cBangumiFile::kBoats] = {};
  int next = 1;
  for (int r = 0; r < card.RaceNumbers; ++r) {
    for (int b = 0; b < cBangumiFile::kBoats; ++b) {
      if (marked[r][b]) continue;
      const Entrant& e = card.races[r].boats[b];
      if (next > n) {
        throw RuntimeError(
            ErrNo::InconsistentHayami,
            QStringLiteral("%1R %2号艇: 参加選手が %3 人を超えています。早見の欄が他のレースと合っていません")
                .arg(r + 1)
                .arg(b + 1)
                .arg(n));
      }
      take(r, b);
      ++next;
      marked[r][b] = true;
      if (e.Hayami != 0) {
        if (e.Hayami < 1 || e.Hayami > cBangumiFile::kMaxRace) {
          throw RuntimeError(
              ErrNo::SubscriptOutOfRange,
              QStringLiteral("%1R %2号艇の早見 %3 は 1～12 の範囲外です").arg(r + 1).arg(b + 1).arg(e.Hayami));
        }
        for (int k = 0; k < cBangumiFile::kBoats; ++k) {
          if (same(e.Hayami - 1, k, r, b)) marked[e.Hayami - 1][k] = true;
        }
      }
    }
  }
}

// The participant list: the participants' numbers, ascending. Equal numbers keep their order (as
// the exchange sort the order was first defined by keeps them), the empty number of an empty slot
// sorts first.
void ParticipationSensyuNoSet(Card& card) {
  card.participants = QStringList(card.ParticipationNumbers + 1);
  int next = 1;
  ForEachParticipant(
      card,
      [&card](int r, int b, int r2, int b2) {
        return card.races[r].boats[b].SensyuNo == card.races[r2].boats[b2].SensyuNo;
      },
      [&](int r, int b) { card.participants[next++] = card.races[r].boats[b].SensyuNo; });
  std::stable_sort(card.participants.begin() + 1, card.participants.end());
}

// The points rate of each slot from its points so far in the meeting.
using SlotPoints = std::array<std::array<cBangumiFile::SeriesPoints, cBangumiFile::kBoats>, cBangumiFile::kMaxRace>;
float PointsRate(const cBangumiFile::SeriesPoints& p) {
  return p.Races == 0 ? 0.0f : static_cast<float>(static_cast<double>(p.Total) / p.Races);
}
void TokutenrituSet(Card& card, const SlotPoints& points) {
  for (int r = 0; r < card.RaceNumbers; ++r) {
    for (int b = 0; b < cBangumiFile::kBoats; ++b) card.races[r].boats[b].Tokutenritu = PointsRate(points[r][b]);
  }
}

// The first slot, races in order and boats 1..6, holding each registration number: the slots
// sorted once by number (slot order kept among equals), then searched.
class FirstSlots {
 public:
  explicit FirstSlots(const Card& card) {
    slots_.reserve(static_cast<std::size_t>(card.RaceNumbers) * cBangumiFile::kBoats);
    for (int r = 0; r < card.RaceNumbers; ++r) {
      for (const Entrant& e : card.races[r].boats) slots_.push_back(&e);
    }
    std::stable_sort(slots_.begin(), slots_.end(),
                     [](const Entrant* a, const Entrant* b) { return a->SensyuNo < b->SensyuNo; });
  }
  const Entrant* With(const QString& no) const {
    const auto it = std::lower_bound(slots_.begin(), slots_.end(), no,
                                     [](const Entrant* e, const QString& key) { return e->SensyuNo < key; });
    return it != slots_.end() && (*it)->SensyuNo == no ? *it : nullptr;
  }

 private:
  std::vector<const Entrant*> slots_;
};

// Competition ranks of the points rate among the day's participants: 7.5, 7.5, 6.0 rank 1, 1, 3.
void TokutenrituOrderSet(Card& card) {
  const int n = card.ParticipationNumbers;
  std::vector<float> rates(n);
  const FirstSlots first(card);
  for (int i = 0; i < n; ++i) {
    const Entrant* e = first.With(card.participants[i + 1]);
    rates[i] = e ? e->Tokutenritu : 0.0f;
  }
  // Highest first; the rates are finite (a count of points over a count of races).
  std::sort(rates.begin(), rates.end(), std::greater<float>());
  // A rate's competition rank is one more than the count of rates above it; a slot whose rate
  // no participant has keeps its rank.
  for (int r = 0; r < card.RaceNumbers; ++r) {
    for (Entrant& e : card.races[r].boats) {
      const auto it = std::lower_bound(rates.begin(), rates.end(), e.Tokutenritu, std::greater<float>());
      if (it != rates.end() && *it == e.Tokutenritu) {
        e.TokutenrituOrder = static_cast<std::int16_t>(it - rates.begin() + 1);
      }
    }
  }
}

void TansyorituSet(Card& card) {
  for (int r = 0; r < card.RaceNumbers; ++r) {
    auto& boats = card.races[r].boats;
    const auto shares = cBangumiFile::WinShares(card.races[r], card.TotalDay);
    if (!shares) {
      throw RuntimeError(
          ErrNo::DivisionByZero,
          QStringLiteral("%1R の単勝率を計算できません: 6 艇の勝率とモーター２連率がすべて 0 です").arg(r + 1));
    }
    for (int b = 0; b < cBangumiFile::kBoats; ++b) boats[b].Tansyoritu = (*shares)[b];
  }
}

QString StorePathOr(QString& strFileName) {
  if (strFileName.isEmpty()) strFileName = AppFilePath(kStoreName);
  return strFileName;
}

// A text searched for in lines as bytes first. None of the characters searched for has a second
// code in the code page, so a decoded line holds the text only when its bytes hold the text's
// bytes; only those few lines are decoded to rule out a match that straddles a character.
struct Needle {
  explicit Needle(const char16_t* t) : text(QString::fromUtf16(t)), bytes(EncodeSjis(text)) {}
  bool In(QByteArrayView line) const { return FindBytes(line, bytes) >= 0 && DecodeSjis(line).contains(text); }
  // The decoded line begins with the text exactly when its bytes begin with the text's bytes.
  bool Starts(QByteArrayView line) const { return line.startsWith(bytes); }
  QString text;
  QByteArray bytes;
};

// The lines a race card needs; headings, column captions, separators, notices and empty lines go.
bool KeepsProgrammeLine(QByteArrayView line) {
  static const Needle ban(u"番"), tei(u"艇"), notice(u"内容に"), heading(u"番組表");
  if (line.isEmpty()) return false;
  // The first byte says which of the starts can be there: "-" or the lead byte of a character.
  const auto first = static_cast<unsigned char>(line[0]);
  if (first == '-' && line.startsWith("---")) return false;
  if (first >= 0x80 && (ban.Starts(line) || tei.Starts(line))) return false;
  return !notice.In(line) && !heading.In(line);
}

// A line no programme has: too long, or holding a NUL byte (a file of another kind).
// `anyNul` says whether the whole text holds one, so that a text without one is not searched line
// by line.
void CheckProgrammeLine(QByteArrayView bytes, int lineNo, bool anyNul) {
  if (bytes.size() <= kMaxLineBytes && !(anyNul && bytes.contains('\0'))) return;
  throw RuntimeError(ErrNo::NotATextFile,
                     QStringLiteral("%1 行目が番組の行ではありません（%2）。番組ファイル(B*.TXT)を選んでください")
                         .arg(lineNo)
                         .arg(bytes.contains('\0') ? QStringLiteral("NUL 文字があります")
                                                   : QStringLiteral("%1 バイトを超えています").arg(kMaxLineBytes)));
}

// The venue code of a block's start line, 1..24; anything else fails, naming the line.
int VenueCodeOf(QStringView line, int lineNo) {
  const QString codeText = Mid(Trim(line), 1, 2);
  if (!IsNumeric(codeText)) {
    throw RuntimeError(ErrNo::TypeMismatch,
                       QStringLiteral("%1 行目の競艇場コードが数値ではありません: \"%2\"").arg(lineNo).arg(codeText));
  }
  const double code = ToDouble(codeText);
  if (!(code >= 1 && code <= 24) || code != static_cast<int>(code)) {
    throw RuntimeError(ErrNo::VenueCodeOutOfRange,
                       QStringLiteral("%1 行目の競艇場コード \"%2\" は 01～24 の範囲外です").arg(lineNo).arg(codeText));
  }
  return static_cast<int>(code);
}

// What follows a venue line: its long title, the start or end of a block, or nothing.
enum class Following { Line, Boundary, End };

// A kept line of a programme: its bytes as read, its character columns, and its text, each made
// only when a test of the line needs it. Most lines (the entrants') are read from their bytes.
class ProgrammeLine {
 public:
  void Set(QByteArrayView bytes, int lineNo) {
    bytes_ = bytes;
    lineNo_ = lineNo;
    decoded_ = false;
    columns_.reset();
  }
  QByteArrayView bytes() const { return bytes_; }
  int lineNo() const { return lineNo_; }
  const QString& text() {
    if (!decoded_) {
      DecodeSjisInto(bytes_, text_);
      decoded_ = true;
    }
    return text_;
  }
  const SjisColumns& columns() {
    if (!columns_) columns_.emplace(bytes_);
    return *columns_;
  }

 private:
  QByteArrayView bytes_;
  int lineNo_ = 0;
  QString text_;  // kept from line to line, so that decoding allocates only for a longer line
  bool decoded_ = false;
  std::optional<SjisColumns> columns_;
};

// The texts the line tests look for, as bytes. Each character has one code in the code page, and
// no other bytes decode to it, so characters of a line are these texts exactly when the bytes of
// those characters are these bytes.
struct LineMarks {
  QByteArray kyoteijyo = EncodeSjis(u"競艇場"), kyosojyo = EncodeSjis(u"競走場"),
             boatRace = EncodeSjis(u"ボートレース"), denwa = EncodeSjis(u"電話"), wideR = EncodeSjis(u"Ｒ");
};

const LineMarks& Marks() {
  static const LineMarks marks;
  return marks;
}

// IsVenueLine, IsDateLine and IsRaceHeaderLine on a line's columns: the bytes of the characters
// tested are compared, and the line is decoded only where a text may stand anywhere in a stretch.
bool IsVenueLine(ProgrammeLine& line) {
  const LineMarks& m = Marks();
  const QByteArrayView c57 = line.columns().Mid(5, 3);
  const bool venue = c57 == m.kyoteijyo || c57 == m.kyosojyo || line.columns().Mid(1, 6) == m.boatRace;
  Q_ASSERT(venue == IsVenueLine(QStringView(line.text())));
  return venue;
}

bool IsDateLine(ProgrammeLine& line) {
  const LineMarks& m = Marks();
  const QByteArrayView last3 = line.columns().Right(3);
  const bool date = last3 == m.kyoteijyo || last3 == m.kyosojyo ||
                    (FindBytes(line.columns().Right(9), m.boatRace) >= 0 && IsDateLine(QStringView(line.text())));
  Q_ASSERT(date == IsDateLine(QStringView(line.text())));
  return date;
}

bool IsRaceHeaderLine(ProgrammeLine& line) {
  const LineMarks& m = Marks();
  const bool header = line.columns().Mid(30, 2) == m.denwa || line.columns().Mid(3, 1) == m.wideR;
  Q_ASSERT(header == IsRaceHeaderLine(QStringView(line.text())));
  return header;
}

// A block's start line holds "BBGN"; the bytes of such a line hold them too (ASCII is never part
// of another character's code).
bool IsStartLine(ProgrammeLine& line) {
  if (FindBytes(line.bytes(), "BBGN") < 0) return false;
  const QString& text = line.text();
  return std::u16string_view(reinterpret_cast<const char16_t*>(text.constData()), text.size()).find(u"BBGN") !=
         std::u16string_view::npos;
}

// One venue block being read: its card, and the lines that are neither title, date, race nor
// entrant (a block with no race yet holds only its notice there).
struct BlockReader {
  Card card = DataClear();
  QStringList others;
  int longTitleOther = -1;  // the index in `others` of the line read as the long title
  bool dateSeen = false;
  QString end;
  std::optional<QByteArray> endBytes;  // the end line's bytes when it is all ASCII
  bool keepText;
  // Per slot, as the entrant's line gave them: the bytes of the racer's number (a check compares
  // racers by them) and his points so far in the meeting.
  std::array<std::array<QByteArrayView, cBangumiFile::kBoats>, cBangumiFile::kMaxRace> numbers{};
  SlotPoints points{};

  BlockReader(const QString& code, bool keep) : end(code + QStringLiteral("BEND")), keepText(keep) {
    card.KyoteijyoCode = code;
    if (std::all_of(end.begin(), end.end(), [](QChar c) { return c.unicode() < 0x80; })) endBytes = end.toLatin1();
  }

  bool IsEnd(ProgrammeLine& line) const {
    if (endBytes) return TrimBytes(line.bytes()) == *endBytes;
    return TrimView(line.text()) == end;
  }

  // The venue line (with the long title after it), the date line and a race header; false when
  // the line is one of them.
  template <typename NextLine>
  bool HeadLines(ProgrammeLine& line, NextLine&& next) {
    bool other = true;
    if (IsVenueLine(line)) {
      card.Title = TitleCut(line.text());
      const int venueLineNo = line.lineNo();
      ProgrammeLine after;
      switch (next(after)) {
        case Following::End:
          throw RuntimeError(
              ErrNo::InputPastEnd,
              QStringLiteral("%1 行目の開催場の行の後でファイルが終わっています（長い題名の行がありません）")
                  .arg(venueLineNo));
        case Following::Boundary:  // the block ends here: no long title, and the line is read in its place
          card.TitleLong.clear();
          break;
        case Following::Line:
          line = std::move(after);
          card.TitleLong = Trim(line.text());
          longTitleOther = static_cast<int>(others.size());
          break;
      }
    }
    if (IsDateLine(line)) {
      ReadDateLine(card, line.text(), line.lineNo());
      dateSeen = true;
      other = false;
    }
    if (IsRaceHeaderLine(line)) {
      if (++card.RaceNumbers == cBangumiFile::kMaxRace + 1) {
        throw RuntimeError(ErrNo::TooManyRaces,
                           QStringLiteral("%1 行目: レース No.がオーバーフローしました。\nRace No: %2")
                               .arg(line.lineNo())
                               .arg(card.RaceNumbers));
      }
      // The header's title, closing time and bet kinds are shown, never checked.
      if (keepText) ReadRaceHeader(card.races[card.RaceNumbers - 1], line.text());
      other = false;
    }
    return other;
  }

  // An entrant's line, whose fields start after `lead` blanks, read with `columns`.
  template <typename Columns>
  void ReadEntrantLine(ProgrammeLine& line, const Columns& columns, qsizetype lead) {
    if (card.RaceNumbers == 0) {
      throw RuntimeError(ErrNo::EntrantBeforeRace,
                         QStringLiteral("%1 行目: レースの見出しより前に出走選手の行があります").arg(line.lineNo()));
    }
    Entrant e;
    if (!ReadEntrantBytes(e, columns, lead, keepText)) {
      e = Entrant();
      ReadEntrant(e, QStringView(line.text()).sliced(lead), lead, line.lineNo(), keepText);
    }
    const int r = card.RaceNumbers - 1, b = line.bytes()[lead] - '1';
    numbers[r][b] = columns.Mid(lead + 3, 4);
    points[r][b] = PointsOfBytes(columns.Mid(lead + 60, 12));
#ifndef QT_NO_DEBUG
    Entrant fromText;
    ReadEntrant(fromText, QStringView(line.text()).sliced(lead), lead, line.lineNo(), keepText);
    Q_ASSERT(SameEntrant(e, fromText, keepText));
    Q_ASSERT(DecodeSjis(numbers[r][b]) == fromText.SensyuNo);
    const cBangumiFile::SeriesPoints p = cBangumiFile::SeisekiPoints(TrimView(fromText.Seiseki));
    Q_ASSERT(p.Total == points[r][b].Total && p.Races == points[r][b].Races);
#endif
    card.races[r].boats[b] = std::move(e);
  }

  // The line's kinds in their order; `next` gives the line after a venue line.
  template <typename NextLine>
  void Line(ProgrammeLine& line, NextLine&& next) {
    // An entrant's line in the printed layout: ASCII where a venue, date or race header line has
    // its marks, so it is none of them, and its columns are at fixed bytes.
    const std::optional<EntrantColumns> fixed = EntrantColumns::Of(line.bytes());
    Q_ASSERT(!fixed || (!IsVenueLine(line) && !IsDateLine(line) && !IsRaceHeaderLine(line)));
#ifndef QT_NO_DEBUG
    if (fixed) {
      const SjisColumns walked(line.bytes());
      Q_ASSERT(walked.size() == fixed->size());
      for (qsizetype k = 0; k <= walked.size(); ++k) Q_ASSERT(walked.Offset(k) == EntrantColumns::Offset(k));
    }
#endif
    bool other = !fixed && HeadLines(line, next);
    // An entrant's line: blanks, the boat number 1..6 and a blank, all ASCII, so its bytes say it.
    const QByteArrayView bytes = line.bytes();
    qsizetype lead = 0;
    while (lead < bytes.size() && bytes[lead] == ' ') ++lead;
    const QByteArrayView t = bytes.sliced(lead);
    if (t.size() >= 2 && t[0] >= '1' && t[0] <= '6' && t[1] == ' ') {
      if (fixed) {
        ReadEntrantLine(line, *fixed, lead);
      } else {
        ReadEntrantLine(line, line.columns(), lead);
      }
      other = false;
    }
    // The other lines make only the notice of a block with no race, which a check throws away
    // with its card: a check neither decodes nor keeps them.
    if (!keepText) return;
    if (other && !TrimBytes(bytes).isEmpty()) {
      others << TrimView(line.text()).toString();
    } else if (longTitleOther == others.size()) {
      longTitleOther = -1;
    }
  }

  // The values derived from the whole block, and its checks. The card is left for the caller to
  // take.
  Card&& Finish() {
    card.ParticipationNumbers = ParticipationNumbersCount(card);
    if (keepText) {
      ParticipationSensyuNoSet(card);
    } else {
      // A check needs only the rule's failures, not the list: racers are compared by their bytes.
      ForEachParticipant(
          card, [this](int r, int b, int r2, int b2) { return SameNumber(numbers[r][b], numbers[r2][b2]); },
          [](int, int) {});
    }
    TokutenrituSet(card, points);
    // The ranks are shown, never checked: a conversion, which throws its cards away, skips them.
    if (keepText && card.ParticipationNumbers > 0) TokutenrituOrderSet(card);  // a block with no race has none
    TansyorituSet(card);
    if (card.RaceNumbers == 0) {
      // The long title of a block that has its date line is a title, not the notice.
      if (dateSeen && longTitleOther >= 0 && longTitleOther < others.size()) others.removeAt(longTitleOther);
      card.Notice = others.join(u'\n');
    }
    return std::move(card);
  }
};

// Reads the venue blocks of a programme text, in file order, and hands each finished card to
// `take`. The text may be the day's file as downloaded or the store's kept lines: the lines the
// store would not keep are passed over, so both read alike and line numbers are those of the text
// given. With `only` set, blocks of other codes are passed over unread (a store's venue is loaded
// whatever the others hold). A block ends at its BEND line, at the next block's start, or at the
// end of the text. With `keepText` false the cards leave out what only a card on show reads
// (entrants' texts, race headers' titles, points-rate ranks) (a conversion checks the text and throws the cards away);
// `kept`, when given, gets every line the store keeps, as read and ended by CR LF.
template <typename Take>
void ReadBlocks(QByteArrayView bytes, const std::optional<QString>& only, Take&& take, bool keepText = true,
                QByteArray* kept = nullptr) {
  LineReader reader(bytes);
  QByteArrayView raw;
  const bool anyNul = bytes.contains('\0');
  // The next kept line; a line handed back (a boundary met after a venue line) first.
  std::optional<ProgrammeLine> held;
  auto next = [&](ProgrammeLine& line) {
    if (held) {
      line = std::move(*held);
      held.reset();
      return true;
    }
    while (reader.Next(raw)) {
      CheckProgrammeLine(raw, reader.LineNumber(), anyNul);
      if (!KeepsProgrammeLine(raw)) continue;
      if (kept) {
        // The line and its CR LF in one step: the store is every kept line, so this runs for most.
        const qsizetype at = kept->size();
        kept->resize(at + raw.size() + 2);
        char* to = kept->data() + at;
        std::memcpy(to, raw.data(), static_cast<std::size_t>(raw.size()));
        to[raw.size()] = '\r';
        to[raw.size() + 1] = '\n';
      }
      line.Set(raw, reader.LineNumber());
      return true;
    }
    return false;
  };
  std::optional<BlockReader> block;
  // The line after a venue line, unless it starts or ends a block: then it is handed back.
  auto following = [&](ProgrammeLine& line) {
    if (!next(line)) return Following::End;
    if (IsStartLine(line) || block->IsEnd(line)) {
      held.emplace(line);
      return Following::Boundary;
    }
    return Following::Line;
  };
  ProgrammeLine line;
  while (next(line)) {
    if (IsStartLine(line)) {
      if (block) take(block->Finish());
      block.reset();
      if (only) {
        if (TrimView(line.text()) == QString(*only + QStringLiteral("BBGN"))) block.emplace(*only, keepText);
      } else {
        const int code = VenueCodeOf(line.text(), line.lineNo());
        if (reader.AtEnd()) {
          throw RuntimeError(ErrNo::InputPastEnd,
                             QStringLiteral("%1 行目の開催の始まりの後でファイルが終わっています").arg(line.lineNo()));
        }
        block.emplace(QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0')), keepText);
      }
      continue;
    }
    if (!block) continue;
    if (block->IsEnd(line)) {
      take(block->Finish());
      block.reset();
    } else {
      block->Line(line, following);
    }
  }
  if (block) take(block->Finish());
}

}  // namespace

std::vector<cBangumiFile::Card> cBangumiFile::ReadDay(QByteArrayView bytes) {
  std::vector<Card> cards;
  ReadBlocks(bytes, std::nullopt, [&](Card&& c) { cards.push_back(std::move(c)); });
  return cards;
}

cBangumiFile::cBangumiFile(Card card) : card_(std::move(card)) {}

bool cBangumiFile::FileLoad(const QString& strKyoteijyoCode, QString& strFileName) {
  const QString path = StorePathOr(strFileName);
  if (!FileExists(path)) {
    Warn(kNotFound + u'\n' + path, kTitleLoad);
    return false;
  }
  // The new card is built aside and replaces the loaded one only when the whole block was read:
  // a failed load leaves the card that was on show as it was.
  std::optional<Card> card;
  try {
    const QByteArray bytes = ChosenFileRead(path);
    ReadBlocks(bytes, strKyoteijyoCode, [&](Card&& c) {
      if (!card) card = std::move(c);  // of two blocks with one code, the first
    });
  } catch (const RuntimeError& e) {
    if (e.number() == ErrNo::TooManyRaces) {
      Warn(QStringLiteral("レース No.がオーバーフローしました。\nRace No: %1").arg(kMaxRace + 1), kTitleLoad);
    } else {
      Warn(e.reportText() + QStringLiteral("\n競艇場コード： ") + strKyoteijyoCode, kTitleLoad);
    }
    return false;
  }
  if (!card) {
    Warn(QStringLiteral("競艇場コードが見つかりません。\nCode: %1#").arg(strKyoteijyoCode), kTitleLoad);
    return false;
  }
  card_ = std::move(*card);
  return true;
}

bool cBangumiFile::KaisaiCheck(KyoteijyoTable& strKyoteijyoTable, QString& strFileName) {
  const QString path = StorePathOr(strFileName);
  if (!FileExists(path)) {
    Warn(kNotFound + u'\n' + path, kTitleList);
    return false;
  }
  try {
    const QByteArray bytes = ChosenFileRead(path);
    // Each venue is listed as its block is read, so the entries before a failure stay.
    ReadBlocks(bytes, std::nullopt,
               [&](Card&& c) { strKyoteijyoTable[static_cast<std::size_t>(c.KyoteijyoCode.toInt())] = c.Title; });
  } catch (const RuntimeError& e) {
    Warn(e.reportText(), kTitleList);
    return false;
  }
  return true;
}

// The kept lines of a programme, each ended by CR LF, after the whole text was read as a day: a
// text whose venues, dates, races or entrants cannot be read is refused before the store changes.
// Messages name `sourceName` and the line of the text given.
QByteArray cBangumiFile::StoreBytes(QByteArrayView bytes, const QString& sourceName) {
  // The store gets the bytes as read: code page 932 has characters with two codes, which would
  // not survive decoding and encoding again.
  QByteArray kept;
  kept.reserve(bytes.size());
  int cards = 0;
  const auto count = [&cards](Card&&) { ++cards; };
  try {
    ReadBlocks(bytes, std::nullopt, count, false, &kept);
  } catch (const RuntimeError& e) {
    // A line that is no programme's says which file to choose instead, as it always did.
    const QString sep = e.number() == ErrNo::NotATextFile ? QStringLiteral(": ") : QStringLiteral("\n");
    throw RuntimeError(e.number(), e.description() + sep + sourceName);
  }
  // A file with no venue in it (a text of another kind picked by mistake) would replace the
  // day's programme with an empty one: it is refused and the store stays.
  if (cards == 0) {
    throw RuntimeError(ErrNo::NotATextFile, QStringLiteral("番組が見つかりません（場の始まりの行 BBGN がありません）。"
                                                           "番組ファイル(B*.TXT)を選んでください: %1")
                                                .arg(sourceName));
  }
  return kept;
}

namespace {

bool ConvBytes(QByteArrayView bytes, const QString& sourceName) {
  try {
    StoreReplace(kStoreName, cBangumiFile::StoreBytes(bytes, sourceName), QStringLiteral("番組ファイル"));
  } catch (const RuntimeError& e) {
    Warn(e.reportText(), kTitleConv);
    return false;
  }
  return true;
}

}  // namespace

bool cBangumiFile::FileConv(const QString& strFileName) {
  if (!FileExists(strFileName)) {
    Warn(kNotFound + u'\n' + strFileName, kTitleConv);
    return false;
  }
  QByteArray bytes;
  try {
    bytes = ChosenFileRead(strFileName);
  } catch (const RuntimeError& e) {
    Warn(e.reportText(), kTitleConv);
    return false;
  }
  return ConvBytes(bytes, strFileName);
}

bool cBangumiFile::FileConvBytes(const QByteArray& bytes, const QString& strSourceName) {
  return ConvBytes(bytes, strSourceName);
}

std::int16_t cBangumiFile::SensyuNoToIndex(const QString& strSensyuNo) const {
  for (std::int16_t i = 1; i <= card_.ParticipationNumbers && i < card_.participants.size(); ++i) {
    if (card_.participants[i] == strSensyuNo) return i;
  }
  return 0;
}

float cBangumiFile::Tansyoritu(std::int16_t r, std::int16_t w) const { return At(r, w).Tansyoritu; }

QString cBangumiFile::ParticipationSenyuNo(std::int16_t Index) const {
  CheckIndex(kIndex, Index, 0, card_.participants.size() - 1);
  return card_.participants[Index];
}

std::int16_t cBangumiFile::VoteType(std::int16_t r) const { return RaceAt(r).VoteType; }
std::int16_t cBangumiFile::TotalDay() const { return card_.TotalDay; }
std::int16_t cBangumiFile::TokutenrituOrder(std::int16_t r, std::int16_t w) const { return At(r, w).TokutenrituOrder; }
float cBangumiFile::Tokutenritu(std::int16_t r, std::int16_t w) const { return At(r, w).Tokutenritu; }
std::int16_t cBangumiFile::Hayami(std::int16_t r, std::int16_t w) const { return At(r, w).Hayami; }
cBangumiFile::SeriesPoints cBangumiFile::SeisekiPoints(QStringView seiseki) {
  SeriesPoints p;
  for (QChar c : seiseki) {
    if (CountsAsRace(c)) {
      p.Total += SeisekiPoint(c);
      ++p.Races;
    }
  }
  return p;
}

std::optional<std::array<float, cBangumiFile::kBoats>> cBangumiFile::WinShares(const Race& race,
                                                                               std::int16_t totalDay) {
  std::optional<double> w;
  if (totalDay == 2 || totalDay == 5) w = 0.15;
  if (totalDay == 3 || totalDay == 4) w = 0.24;
  std::array<float, kBoats> v{};
  float sum = 0;
  for (int b = 0; b < kBoats; ++b) {
    double x = 0.33 * race.boats[b].SensyuZenkokuSyoritu + 0.1 * race.boats[b].MotorFSyoritu;
    if (w) x += *w * race.boats[b].Tokutenritu;
    v[b] = static_cast<float>(x);
    sum += v[b];
  }
  if (sum == 0.0f) return std::nullopt;
  for (float& share : v) share = share / sum * 100.0f;
  return v;
}

float cBangumiFile::TokutenrituOf(QStringView seiseki) { return PointsRate(SeisekiPoints(TrimView(seiseki))); }

QString cBangumiFile::Seiseki(std::int16_t r, std::int16_t w) const { return At(r, w).Seiseki; }
float cBangumiFile::BoatFSyoritu(std::int16_t r, std::int16_t w) const { return At(r, w).BoatFSyoritu; }
QString cBangumiFile::BoatNo(std::int16_t r, std::int16_t w) const { return At(r, w).BoatNo; }
float cBangumiFile::MotorFSyoritu(std::int16_t r, std::int16_t w) const { return At(r, w).MotorFSyoritu; }
QString cBangumiFile::MotorNo(std::int16_t r, std::int16_t w) const { return At(r, w).MotorNo; }
float cBangumiFile::SensyuTochiFSyoritu(std::int16_t r, std::int16_t w) const { return At(r, w).SensyuTochiFSyoritu; }
float cBangumiFile::SensyuTochiSyoritu(std::int16_t r, std::int16_t w) const { return At(r, w).SensyuTochiSyoritu; }
float cBangumiFile::SensyuZenkokuFSyoritu(std::int16_t r, std::int16_t w) const {
  return At(r, w).SensyuZenkokuFSyoritu;
}
float cBangumiFile::SensyuZenkokuSyoritu(std::int16_t r, std::int16_t w) const { return At(r, w).SensyuZenkokuSyoritu; }
QString cBangumiFile::SensyuClass(std::int16_t r, std::int16_t w) const { return At(r, w).SensyuClass; }
QString cBangumiFile::SensyuBirthplace(std::int16_t r, std::int16_t w) const { return At(r, w).SensyuBirthplace; }
std::int16_t cBangumiFile::SensyuWeight(std::int16_t r, std::int16_t w) const { return At(r, w).SensyuWeight; }
std::int16_t cBangumiFile::SensyuAge(std::int16_t r, std::int16_t w) const { return At(r, w).SensyuAge; }
QString cBangumiFile::SensyuName(std::int16_t r, std::int16_t w) const { return At(r, w).SensyuName; }
QString cBangumiFile::SensyuNo(std::int16_t r, std::int16_t w) const { return At(r, w).SensyuNo; }
std::int16_t cBangumiFile::ParticipationNumbers() const { return card_.ParticipationNumbers; }
QString cBangumiFile::RaceTitle(std::int16_t r) const { return RaceAt(r).RaceTitle; }
QString cBangumiFile::RaceDate() const { return card_.RaceDate; }
QString cBangumiFile::Title() const { return card_.Title; }
QString cBangumiFile::TitleLong() const { return card_.TitleLong; }
std::int16_t cBangumiFile::RaceNumbers() const { return card_.RaceNumbers; }
QString cBangumiFile::KyoteijyoCode() const { return card_.KyoteijyoCode; }
QString cBangumiFile::ClosingHour(std::int16_t r) const { return RaceAt(r).ClosingHour; }
bool cBangumiFile::CourseFix(std::int16_t r) const { return RaceAt(r).CourseFix; }

// The first slot, races in order and boats 1..6, holding the participant at intIndex.
const cBangumiFile::Entrant* cBangumiFile::FirstSlotOf(std::int16_t intIndex) const {
  CheckIndex(kIndex, intIndex, 0, card_.ParticipationNumbers);
  const QString no = intIndex < card_.participants.size() ? card_.participants[intIndex] : QString();
  for (int r = 0; r < card_.RaceNumbers; ++r) {
    for (const Entrant& e : card_.races[r].boats) {
      if (e.SensyuNo == no) return &e;
    }
  }
  return nullptr;
}

QString cBangumiFile::IndexToSenyuName(std::int16_t i) const {
  const Entrant* e = FirstSlotOf(i);
  return e ? e->SensyuName : QString();
}
QString cBangumiFile::IndexToSenyuClass(std::int16_t i) const {
  const Entrant* e = FirstSlotOf(i);
  return e ? e->SensyuClass : QString();
}
float cBangumiFile::IndexToSenyuZenkokuSyoritu(std::int16_t i) const {
  const Entrant* e = FirstSlotOf(i);
  return e ? e->SensyuZenkokuSyoritu : 0.0f;
}
float cBangumiFile::IndexToSenyuZenkokuFSyoritu(std::int16_t i) const {
  const Entrant* e = FirstSlotOf(i);
  return e ? e->SensyuZenkokuFSyoritu : 0.0f;
}
float cBangumiFile::IndexToTokutenritu(std::int16_t i) const {
  const Entrant* e = FirstSlotOf(i);
  return e ? e->Tokutenritu : 0.0f;
}

}  // namespace tidewake
