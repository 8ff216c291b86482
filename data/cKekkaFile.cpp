#include "data/cKekkaFile.h"

#include "data/mDayFile.h"

#include "platform/ByteScan.h"
#include "platform/Format.h"
#include "platform/LineReader.h"
#include "platform/MessageBox.h"
#include "platform/Numeric.h"
#include "platform/RuntimeError.h"
#include "platform/SjisText.h"
#include "platform/TextUtil.h"
#include "platform/mMyFunc.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

namespace tidewake {

namespace {

using Venue = cKekkaFile::Venue;
using Race = cKekkaFile::Race;
using Boat = cKekkaFile::Boat;

const QString kRaceNo = QStringLiteral("レース番号");
const QString kJyuni = QStringLiteral("着順の行");
const QString kWakuNo = QStringLiteral("艇番");
const QString kIndex = QStringLiteral("払戻金の番号");

const QString kStoreName = QStringLiteral("KEKKA.BRF");
const QString kTitleList = QStringLiteral("成績ファイル読み込みエラー(01)");
const QString kTitleLoad = QStringLiteral("成績ファイル読み込みエラー(02)");
const QString kTitleConv = QStringLiteral("成績ファイル変換エラー");
const QString kNotFound = QStringLiteral("ファイルが見つかりません。");

// A day's results are about 200 KB; a file many times that size is no results file, and is
// refused before it is read into memory.
constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;
// No line of a results file comes near this.
constexpr qsizetype kMaxLineBytes = 4 * 1024;

void Warn(const QString& text, const QString& title) { WarnBox(text, title); }

// Bytes from..from+width-1 of the line; the part beyond its end is missing.
QByteArrayView Cut(QByteArrayView line, qsizetype from, qsizetype width) {
  if (from >= line.size()) return {};
  return line.sliced(from, std::min(width, line.size() - from));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsDigits(QByteArrayView b) {
  if (b.isEmpty()) return false;
  for (char c : b) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

// The venue block markers: two digits and KBGN or KEND, blanks around allowed.
bool IsMarker(QByteArrayView trimmed, const char* kind) {
  return trimmed.size() == 6 && IsDigit(trimmed[0]) && IsDigit(trimmed[1]) && trimmed.sliced(2) == kind;
}

// The value of ASCII digits, nothing when there are none, or more than fit 32 bits surely.
std::optional<std::int32_t> SmallDigits(QByteArrayView b) {
  if (b.isEmpty() || b.size() > 9) return std::nullopt;
  std::int32_t v = 0;
  for (char c : b) {
    if (!IsDigit(c)) return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

// The bytes read as the characters they decode to. A blank byte is never part of a character and
// an ASCII digit never ends one, so a field trimmed as bytes decodes to the trimmed text, and its
// bytes are ASCII digits exactly when its text is digits: most fields need no text at all.
//
// A whole number of the field, which must be there.
std::int32_t NumberField(QByteArrayView line, int lineNo, const QString& field, qsizetype from, qsizetype width) {
  const QByteArrayView b = TrimBytes(Cut(line, from, width));
  if (const auto v = SmallDigits(b)) return *v;
  const QString s = DecodeSjis(b);
  if (!IsDigits(b)) {
    ThrowField(ErrNo::TypeMismatch, lineNo, field, from, width, QStringLiteral("が数値ではありません"), s);
  }
  try {
    return ToLong(s);
  } catch (const RuntimeError&) {
    ThrowField(ErrNo::Overflow, lineNo, field, from, width, QStringLiteral("が大きすぎます"), s);
  }
}

std::int16_t SmallField(QByteArrayView line, int lineNo, const QString& field, qsizetype from, qsizetype width) {
  const std::int32_t v = NumberField(line, lineNo, field, from, width);
  if (v > 32767) {
    ThrowField(ErrNo::Overflow, lineNo, field, from, width, QStringLiteral("が大きすぎます"), QString::number(v));
  }
  return static_cast<std::int16_t>(v);
}

// A figure with a decimal point ("6.89", "0.08").
float DecimalField(QStringView s, int lineNo, const QString& field, qsizetype from, qsizetype width) {
  // A sign is refused after blanks too ("F -0.01"): a timing or a time is never below zero.
  const QStringView t = TrimView(s);
  const bool plain = !(s.contains(u'e') || s.contains(u'E') || t.startsWith(u'-') || t.startsWith(u'+'));
  try {
    if (plain) return ToSingle(s);
  } catch (const RuntimeError& e) {
    // ToSingle fails TypeMismatch exactly when the text is no number at all.
    if (e.number() != ErrNo::TypeMismatch) {
      ThrowField(ErrNo::Overflow, lineNo, field, from, width, QStringLiteral("が大きすぎます"), s.toString());
    }
  }
  ThrowField(ErrNo::TypeMismatch, lineNo, field, from, width, QStringLiteral("が数値ではありません"), s.toString());
}

const std::array<const char16_t*, kKakesikiCount> kKakesikiNames = {u"単勝",   u"複勝",   u"２連単", u"２連複",
                                                                    u"拡連複", u"３連単", u"３連複"};

const QString kFuseiritu = QStringLiteral("不成立");
const QString kTokubarai = QStringLiteral("特払い");
const QString kCancelled = QStringLiteral("中止");  // printed "中　止"; read with or without the space
const QString kRaceVoid = QStringLiteral("レース不成立");
const QString kNinki = QStringLiteral("人気");

// The words a line is told by, in the bytes of the file. None of their characters has a second
// code in the code page, so a word's bytes equal these exactly when its text equals the word.
struct Words {
  std::array<QByteArray, kKakesikiCount> kinds;
  QByteArray fuseiritu = EncodeSjis(kFuseiritu), tokubarai = EncodeSjis(kTokubarai), ninki = EncodeSjis(kNinki);
  QByteArray raceVoid = EncodeSjis(kRaceVoid), raceTime = EncodeSjis(u"ﾚｰｽﾀｲﾑ");
  Words() {
    for (int k = 0; k < kKakesikiCount; ++k) kinds[k] = EncodeSjis(kKakesikiNames[k]);
  }
};

const Words& Word() {
  static const Words words;
  return words;
}

int KakesikiOf(QByteArrayView word) {
  // Every name is two or three full-width characters: most words are told apart by their length.
  if (word.size() != 4 && word.size() != 6) return -1;
  const Words& words = Word();
  for (int k = 0; k < kKakesikiCount; ++k) {
    if (word == words.kinds[k]) return k;
  }
  return -1;
}

// QChar::isDigit of the word's first character (full-width digits count too).
bool StartsWithDigit(QByteArrayView word) {
  if (word.isEmpty()) return false;
  if (static_cast<unsigned char>(word[0]) < 0x80) return IsDigit(word[0]);
  const SjisField first(word.first(std::min<qsizetype>(2, word.size())));
  return first.view().front().isDigit();
}

// The kinds of the day's payout summary, in its column order.
constexpr std::array<Kakesiki, 4> kMatomeKinds = {Kakesiki::Sanrentan, Kakesiki::Sanrenfuku, Kakesiki::Nirentan,
                                                  Kakesiki::Nirenfuku};

// A race header: the race number right-aligned in four bytes, then "R" and a blank
// ("   1R       予選…", "  10R …").
bool IsRaceHeader(QByteArrayView line) {
  if (line.size() < 6 || line[4] != 'R' || line[5] != ' ' || !IsDigit(line[3])) return false;
  for (int i = 0; i < 3; ++i) {
    if (line[i] != ' ' && !IsDigit(line[i])) return false;
  }
  return true;
}

// A line of the finishing order: the place in bytes 3-4 between blanks ("  01  1 3501 …",
// "  F   4 …", "  K0  3 …").
bool LooksLikeBoatLine(QByteArrayView line) {
  return line.size() >= 7 && line[0] == ' ' && line[1] == ' ' && line[2] != ' ' && line[4] == ' ' && line[5] == ' ';
}

// The blank-separated words of a line as bytes, each with the byte it starts at: a blank byte is
// never part of a Shift_JIS character. `words` is the caller's, kept for its room.
const std::vector<std::pair<qsizetype, QByteArrayView>>& SplitWords(
    QByteArrayView line, std::vector<std::pair<qsizetype, QByteArrayView>>& words) {
  words.clear();
  const char* p = line.data();
  const qsizetype n = line.size();
  for (qsizetype i = SkipByte(p, 0, n, ' '); i < n; i = SkipByte(p, i, n, ' ')) {
    const qsizetype j = FindByte(p, i, n, ' ');
    words.emplace_back(i, line.sliced(i, j - i));
    i = j;
  }
  return words;
}

// The code of character k of a field, read alike from the bytes of an ASCII field (whose characters
// are its bytes) and from decoded text: the field readers below are one routine for both.
char16_t Unit(QByteArrayView s, qsizetype k) { return static_cast<unsigned char>(s[k]); }
char16_t Unit(QStringView s, qsizetype k) { return s[k].unicode(); }

bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// The metres of a distance field ("H1800m": a letter for the course, up to four digits, "m");
// nothing for any other text. A field outside ASCII is read from its text, where a letter is any
// letter.
template <typename View>
std::optional<std::int16_t> Metres(View s) {
  qsizetype from = 0, to = s.size();
  if (to > 0) {
    if constexpr (std::is_same_v<View, QStringView>) {
      if (s.front().isLetter()) from = 1;
    } else {
      if (IsAsciiLetter(Unit(s, 0))) from = 1;
    }
  }
  if (to > from && Unit(s, to - 1) == u'm') --to;
  if (to == from || to - from > 4) return std::nullopt;
  std::int16_t v = 0;
  for (qsizetype k = from; k < to; ++k) {
    const char16_t c = Unit(s, k);
    if (c < u'0' || c > u'9') return std::nullopt;
    v = static_cast<std::int16_t>(v * 10 + (c - u'0'));
  }
  return v;
}

// "1.49.7" in seconds (109.7): minutes and seconds of one or two digits, one digit of tenths, at
// most 59 seconds; nothing for any other text.
template <typename View>
std::optional<float> RaceSeconds(View t) {
  qsizetype dots[2] = {-1, -1};
  int found = 0;
  for (qsizetype k = 0; k < t.size(); ++k) {
    if (Unit(t, k) != u'.') continue;
    if (found == 2) return std::nullopt;
    dots[found++] = k;
  }
  if (found != 2) return std::nullopt;
  // The value of the digits from..to-1: one or two of them, else nothing.
  const auto part = [&t](qsizetype from, qsizetype to) -> int {
    if (to - from < 1 || to - from > 2) return -1;
    int v = 0;
    for (qsizetype k = from; k < to; ++k) {
      const char16_t c = Unit(t, k);
      if (c < u'0' || c > u'9') return -1;
      v = v * 10 + (c - u'0');
    }
    return v;
  };
  const int minutes = part(0, dots[0]);
  const int seconds = part(dots[0] + 1, dots[1]);
  const int tenths = t.size() - dots[1] - 1 == 1 ? part(dots[1] + 1, t.size()) : -1;
  if (minutes < 0 || seconds < 0 || tenths < 0 || seconds > 59) return std::nullopt;
  return static_cast<float>(minutes * 60 + seconds + tenths / 10.0);
}

// A figure with a decimal point from the bytes of the field, where it is in the short form every
// results file prints ("6.89", "0.08"): the value DecimalField gives its text, by the same
// routine. Nothing for any other bytes (a sign, an exponent, a character outside ASCII), which the
// caller reads as text.
std::optional<float> ShortDecimal(QByteArrayView b) {
  const QByteArrayView t = TrimBytes(b);
  if (!t.isEmpty() && (t.front() == '-' || t.front() == '+')) return std::nullopt;
  return ShortSingle(b);
}

// The field's figure: from its bytes in the short form, from its text otherwise (refused there
// with the field's name and columns when it is no figure). Both roads give the same value.
float DecimalBytes(QByteArrayView b, int lineNo, const QString& field, qsizetype from, qsizetype width) {
  const auto fast = ShortDecimal(b);
  Q_ASSERT(!fast || *fast == DecimalField(SjisField(b).view(), lineNo, field, from, width));
  return fast ? *fast : DecimalField(SjisField(b).view(), lineNo, field, from, width);
}

// Where the caption "ﾚｰｽﾀｲﾑ" starts in the line's bytes, -1 when the line does not hold it. Its
// characters are one byte each, but those bytes can also be the second byte of a pair: a match
// counts only where it starts a character, which is where the decoded line holds the caption.
qsizetype RaceTimeCaption(QByteArrayView line) {
  const QByteArrayView caption = Word().raceTime;
  qsizetype at = FindBytes(line, caption);
  while (at >= 0 && !StartsSjisCharacter(line, at)) {
    const qsizetype next = FindBytes(line.sliced(at + 1), caption);
    at = next < 0 ? -1 : at + 1 + next;
  }
  Q_ASSERT(at < 0 ? !DecodeSjis(line).contains(u"ﾚｰｽﾀｲﾑ")
                  : DecodeSjis(line.first(at)).size() == DecodeSjis(line).indexOf(u"ﾚｰｽﾀｲﾑ"));
  return at;
}

#ifndef QT_NO_DEBUG
// Every field alike, the numbers bit for bit: a debug build reads each printed line both ways.
bool SameBoat(const cKekkaFile::Boat& a, const cKekkaFile::Boat& b, bool keepText) {
  const auto same = [](float x, float y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  const bool texts = a.Tyakujyun == b.Tyakujyun && a.SensyuNo == b.SensyuNo && a.SensyuName == b.SensyuName &&
                     a.MotorNo == b.MotorNo && a.BoatNo == b.BoatNo && a.StartTimingText == b.StartTimingText &&
                     a.RaceTime == b.RaceTime;
  return (texts || !keepText) && a.TyakujyunNo == b.TyakujyunNo && a.WakuNo == b.WakuNo && a.Course == b.Course &&
         same(a.TenjiTime, b.TenjiTime) && same(a.StartTiming, b.StartTiming) &&
         same(a.RaceTimeSeconds, b.RaceTimeSeconds) && a.StartFlying == b.StartFlying &&
         a.StartTimingExists == b.StartTimingExists && a.StartLate == b.StartLate;
}
#endif

// Reads the lines of one venue block, from the line after NNKBGN to NNKEND.
class VenueReader {
 public:
  // `keepText` false reads and checks every line as ever but leaves the boats' texts and the
  // payouts out of the venue: a conversion that only checks the file does not build what it throws away.
  VenueReader(LineReader& reader, const QString& code, int beginLine, bool keepText)
      : r_(reader), code_(code), beginLine_(beginLine), keepText_(keepText) {}

  Venue Read();

 private:
  enum class Part { Head, LongTitle, Matome, Race, Boats };

  void ReadVenueLine(QByteArrayView line);
  void ReadDateLine(QByteArrayView line);
  void ReadMatomeLine(QByteArrayView line);
  void ReadRaceHeader(QByteArrayView line);
  void ReadBoatLine(QByteArrayView line);
  bool ReadPrintedBoat(QByteArrayView line, Boat& b);
  void ReadBoatFields(QByteArrayView line, Boat& b);
  bool ReadPayoutLine(QByteArrayView line);
  Race& Current() { return v_.races[race_ - 1]; }
  int LineNo() const { return r_.LineNumber(); }
  void SettleStatus();

  LineReader& r_;
  const Words& word_ = Word();
  bool KeepText() const { return keepText_; }
  QString code_;
  int beginLine_;
  bool keepText_;
  Venue v_;
  Part part_ = Part::Head;
  bool venueLineRead_ = false;
  bool noticeBlock_ = false;  // the venue line is "ボートレース…": a block with a notice, no race
  int race_ = 0;              // the race being read, 1..12; 0 before the first header
  int lastKind_ = -1;         // the kind of the last payout line, for the further lines of a kind
  int matomeRace_ = 0;        // the race of the last summary line, for a dead heat's further line
  // The words of the line being read with the byte each starts at, kept for their room; and the
  // summary line's words by kind.
  std::vector<std::pair<qsizetype, QByteArrayView>> words_;
  std::array<std::vector<QByteArrayView>, 4> columns_;
  // Per race: the summary says 中止, the section says レース不成立, a payout line was read.
  std::array<bool, cKekkaFile::kMaxRace> cancelled_{}, void_{}, paid_{};
  std::array<bool, cKekkaFile::kMaxRace> summarized_{};  // the payout summary has a line of the race
};

// What each race comes to once the whole block is read: a race is Held only with its boats and
// its payouts (or their 不成立), so a section the file does not complete is never an ordinary
// result.
void VenueReader::SettleStatus() {
  for (int i = 0; i < cKekkaFile::kMaxRace; ++i) {
    Race& race = v_.races[i];
    if (void_[i] && !race.boats.empty()) {  // a void race without its boats is not complete
      race.Status = RaceStatus::Void;
    } else if (!race.boats.empty() && paid_[i]) {
      race.Status = RaceStatus::Held;
    } else if (cancelled_[i]) {
      race.Status = RaceStatus::Cancelled;
    } else {
      race.Status = RaceStatus::None;
    }
  }
}

Venue VenueReader::Read() {
  v_.KyoteijyoCode = code_;
  const QByteArray end = (code_ + QStringLiteral("KEND")).toLatin1();
  QByteArrayView line;
  while (r_.Next(line)) {
    const QByteArrayView t = TrimBytes(line);
    if (t == end) {
      SettleStatus();
      return std::move(v_);
    }
    if (IsMarker(t, "KBGN") || IsMarker(t, "KEND") || t == "FINALK") {
      throw RuntimeError(ErrNo::InputPastEnd,
                         QStringLiteral("%1 行目で始まる競艇場コード %2 のブロックが %3 行目で終わらずに切れています"
                                        "（%2KEND の行がありません）: \"%4\"")
                             .arg(beginLine_)
                             .arg(code_)
                             .arg(LineNo())
                             .arg(DecodeSjis(t)));
    }
    if (t.isEmpty()) {
      // An empty line closes the finishing order and the summary.
      if (part_ == Part::Boats) part_ = Part::Race;
      if (part_ == Part::Matome) part_ = Part::Head;
      continue;
    }
    if (IsRaceHeader(line)) {
      ReadRaceHeader(line);
      continue;
    }
    // Under the boats of a race that did not count, with or without a blank line before it.
    if ((part_ == Part::Race || part_ == Part::Boats) && t == word_.raceVoid) {
      void_[race_ - 1] = true;
      continue;
    }
    switch (part_) {
      case Part::Head: {
        if (!venueLineRead_) {
          ReadVenueLine(line);
          continue;
        }
        const QString text = DecodeSjis(line);
        if (noticeBlock_) {
          v_.Notice += (v_.Notice.isEmpty() ? QString() : QStringLiteral("\n")) + Trim(text);
        } else if (text.contains(u"競走成績")) {
          part_ = Part::LongTitle;
        } else if (Trim(text).startsWith(u'第') && text.contains(u'/')) {
          ReadDateLine(line);
        } else if (text.contains(u"[払戻金]")) {
          part_ = Part::Matome;
        }
        continue;
      }
      case Part::LongTitle:
        v_.TitleLong = TrimPadding(DecodeSjis(line));
        part_ = Part::Head;
        continue;
      case Part::Matome:
        ReadMatomeLine(line);
        continue;
      case Part::Boats:
        if (LooksLikeBoatLine(line)) {
          ReadBoatLine(line);
        } else {
          if (KeepText()) Current().bikou << Trim(DecodeSjis(line));
        }
        continue;
      case Part::Race: {
        if (t.startsWith("---")) {
          part_ = Part::Boats;
          continue;
        }
        // The column captions end with the winning technique.
        if (const qsizetype caption = RaceTimeCaption(line); caption >= 0) {
          if (KeepText()) Current().Kimarite = TrimPadding(DecodeSjis(line.sliced(caption + word_.raceTime.size())));
          continue;
        }
        if (!ReadPayoutLine(line) && KeepText()) Current().bikou << Trim(DecodeSjis(line));
        continue;
      }
    }
  }
  throw RuntimeError(ErrNo::InputPastEnd,
                     QStringLiteral("%1 行目で始まる競艇場コード %2 のブロックの途中でファイルが終わっています"
                                    "（%3 行目まで。%2KEND の行がありません）")
                         .arg(beginLine_)
                         .arg(code_)
                         .arg(LineNo()));
}

// "大　村［成績］      1/ 1      ミッドナイトボートレ  第 1日": the venue, then the short title
// from byte 31.
//
// A block whose day is not in yet has "ボートレース三　国" and a notice instead.
void VenueReader::ReadVenueLine(QByteArrayView line) {
  venueLineRead_ = true;
  const QString text = DecodeSjis(line);
  const QString brand = QStringLiteral("ボートレース");
  if (!text.contains(u'［') && Trim(text).startsWith(brand)) {
    noticeBlock_ = true;
    v_.KyoteijyoName = TrimPadding(Trim(text).mid(brand.size()));
    return;
  }
  const qsizetype mark = text.indexOf(u'［');
  v_.KyoteijyoName = TrimPadding(mark >= 0 ? QStringView(text).first(mark) : QStringView(text).first(0));
  v_.Title = Trim(DecodeSjis(Cut(line, 30, line.size())));
}

// "   第 1日          2024/ 1/ 1          ボートレース大　村": the day of the meeting and the date.
void VenueReader::ReadDateLine(QByteArrayView line) {
  const QString text = DecodeSjis(line);
  const qsizetype dai = text.indexOf(u'第');
  const qsizetype nichi = text.indexOf(u'日', dai);
  if (dai >= 0 && nichi > dai) {
    const QString day = Trim(QStringView(text).sliced(dai + 1, nichi - dai - 1));
    if (IsNumeric(day)) v_.TotalDay = ToInteger(day);
  }
  const QList<QByteArray> parts = TrimBytes(Cut(line, 19, 10)).toByteArray().split('/');
  bool ok = parts.size() == 3;
  int ymd[3] = {};
  for (int i = 0; ok && i < 3; ++i) {
    const QByteArrayView p = TrimBytes(parts[i]);
    ok = IsDigits(p) && p.size() <= 4;
    if (ok) ymd[i] = p.toInt();
  }
  if (!ok || ymd[1] < 1 || ymd[1] > 12 || ymd[2] < 1 || ymd[2] > 31) {
    ThrowField(ErrNo::TypeMismatch, LineNo(), QStringLiteral("日付"), 19, 10,
               QStringLiteral("が年/月/日の日付ではありません"), DecodeSjis(Cut(line, 19, 10)));
  }
  v_.RaceDate = FormatNumber(ymd[0], u"##00") + u'/' + FormatNumber(ymd[1], u"00") + u'/' + FormatNumber(ymd[2], u"00");
}

// "           1R  1-3-6    1830    1-3-6     760    1-3     390    1-3     310": per kind its
// column of the combination and the yen; 不成立 (not paid) or 特払い (a special payout, yen when
// given) in place of both; "           7R  中　止" for a race called off. A line with no race
// number holds a dead heat's further combinations for the race above, its other columns blank.
void VenueReader::ReadMatomeLine(QByteArrayView line) {
  const std::vector<std::pair<qsizetype, QByteArrayView>>& words = SplitWords(line, words_);
  // The race number ("1R".."12R"): a word of something and R. An ASCII word is its text; any other
  // is decoded to be told.
  const QByteArrayView first = words.front().second;
  const bool numbered = IsAsciiBytes(first) ? first.size() >= 2 && first.back() == 'R' : [&first] {
    const QString text = DecodeSjis(first);
    return text.size() >= 2 && text.endsWith(u'R');
  }();
  int race = 0;
  std::size_t w = 0;
  if (numbered) {
    // Digits before the R are ASCII bytes, each its own character.
    const QByteArrayView digits = first.chopped(1);
    race = IsDigits(digits) && digits.size() <= 2 ? digits.toInt() : 0;
    w = 1;
  } else if (words.front().first >= 13 && matomeRace_ > 0) {
    race = matomeRace_;  // a dead heat's further line
  }
  if (race < 1 || race > cKekkaFile::kMaxRace) {
    throw RuntimeError(ErrNo::TypeMismatch,
                       QStringLiteral("%1 行目の払戻金の一覧のレース番号が 1R～12R ではありません: \"%2\"")
                           .arg(LineNo())
                           .arg(DecodeSjis(first)));
  }
  const bool further = w == 0;
  if (!further && (cancelled_[race - 1] || summarized_[race - 1])) {
    throw RuntimeError(ErrNo::SubscriptOutOfRange,
                       QStringLiteral("%1 行目の払戻金の一覧に %2R が 2 度あります").arg(LineNo()).arg(race));
  }
  matomeRace_ = race;
  // "中　止": a word starting with an ASCII byte starts with that character, and is no 中止.
  if (!further && w < words.size() && static_cast<unsigned char>(words[w].second.front()) >= 0x80 &&
      DecodeSjis(words[w].second).remove(u'\u3000') == kCancelled) {
    if (words.size() > w + 1) {
      throw RuntimeError(ErrNo::TypeMismatch,
                         QStringLiteral("%1 行目の払戻金の一覧（%2R）の中止の後に文字があります: \"%3\"")
                             .arg(LineNo())
                             .arg(race)
                             .arg(Trim(DecodeSjis(line))));
    }
    cancelled_[race - 1] = true;
    return;
  }
  // Each word belongs to the kind whose column it starts in.
  constexpr std::array<qsizetype, 4> kColumnEnd = {32, 49, 64, std::numeric_limits<qsizetype>::max()};
  // The words stay bytes (compared with the words' bytes, see Words); only a combination is decoded.
  std::array<std::vector<QByteArrayView>, 4>& columns = columns_;
  for (auto& col : columns) col.clear();
  for (; w < words.size(); ++w) {
    std::size_t c = 0;
    while (words[w].first >= kColumnEnd[c]) ++c;
    columns[c].push_back(words[w].second);
  }
  const Words& word = word_;
  for (std::size_t c = 0; c < kMatomeKinds.size(); ++c) {
    const Kakesiki kind = kMatomeKinds[c];
    const std::vector<QByteArrayView>& col = columns[c];
    const auto name = [kind] { return cKekkaFile::KakesikiName(kind); };
    if (col.empty()) {
      if (further) continue;
      throw RuntimeError(
          ErrNo::InputPastEnd,
          QStringLiteral("%1 行目の払戻金の一覧（%2R）に%3の組番がありません").arg(LineNo()).arg(race).arg(name()));
    }
    cKekkaFile::Matome m;
    m.Tokubarai = col[0] == word.tokubarai;
    if (!m.Tokubarai && KeepText()) m.Kumiban = DecodeSjis(col[0]);
    const bool unpaid = col[0] == word.fuseiritu;
    const bool yenWanted = !unpaid && !m.Tokubarai;
    if (col.size() > 2 || (unpaid && col.size() > 1) || (yenWanted && col.size() < 2)) {
      QStringList texts;
      for (QByteArrayView b : col) texts << DecodeSjis(b);
      throw RuntimeError(ErrNo::TypeMismatch,
                         QStringLiteral("%1 行目の払戻金の一覧（%2R）の%3が組番と払戻金ではありません: \"%4\"")
                             .arg(LineNo())
                             .arg(race)
                             .arg(name(), texts.join(u' ')));
    }
    if (col.size() == 2) {
      const auto yen = SmallDigits(col[1]);
      if (!yen) {
        throw RuntimeError(ErrNo::TypeMismatch,
                           QStringLiteral("%1 行目の払戻金の一覧（%2R）の%3の払戻金が数値ではありません: \"%4\"")
                               .arg(LineNo())
                               .arg(race)
                               .arg(name(), DecodeSjis(col[1])));
      }
      m.Kingaku = *yen;
    }
    summarized_[race - 1] = true;
    // A check needs only to know that the race is in the summary (a second line of it is refused).
    if (KeepText()) v_.races[race - 1].matome[static_cast<int>(kind)].push_back(std::move(m));
  }
}

// "   1R       予選　　　　                 H1800m  晴　  風  北　　 3m  波　  2cm"
void VenueReader::ReadRaceHeader(QByteArrayView line) {
  const int no = NumberField(line, LineNo(), kRaceNo, 0, 4);
  if (no < 1 || no > cKekkaFile::kMaxRace) {
    ThrowField(ErrNo::SubscriptOutOfRange, LineNo(), kRaceNo, 0, 4, QStringLiteral("が 1～12 の範囲外です"),
               QString::number(no));
  }
  if (v_.races[no - 1].Exists) {
    ThrowField(ErrNo::SubscriptOutOfRange, LineNo(), kRaceNo, 0, 4, QStringLiteral("のレースが 2 度あります"),
               QString::number(no));
  }
  if (line.size() < 77) {
    throw RuntimeError(ErrNo::InputPastEnd,
                       QStringLiteral("%1 行目の %2R の見出しが途中で切れています（%3 バイト）: \"%4\"")
                           .arg(LineNo())
                           .arg(no)
                           .arg(line.size())
                           .arg(DecodeSjis(line)));
  }
  race_ = no;
  part_ = Part::Race;
  lastKind_ = -1;
  Race& race = Current();
  race.Exists = true;
  race.boats.reserve(cKekkaFile::kBoats);
  // The texts only a venue on show needs; a check reads none of them.
  if (KeepText()) {
    QString name = DecodeSjis(Cut(line, 5, 34));
    if (name.contains(u"進入固定")) {
      race.CourseFix = true;
      name.remove(QStringLiteral("進入固定"));
    }
    race.RaceName = TrimPadding(name);
    race.Tenko = TrimPadding(SjisField(Cut(line, 47, 8)).view());
    race.KazeMuki = TrimPadding(SjisField(Cut(line, 59, 6)).view());
  }
  // "  H1800m": a letter for the course, the metres and "m".
  const QByteArrayView distBytes = TrimBytes(Cut(line, 39, 8));
  const auto metres = IsAsciiBytes(distBytes) ? Metres(distBytes) : std::nullopt;
  Q_ASSERT(!metres || metres == Metres(SjisField(distBytes).view()));
  if (metres) {
    race.Kyori = *metres;
  } else {
    const SjisField dist(distBytes);
    const auto fromText = Metres(dist.view());
    if (!fromText) {
      ThrowField(ErrNo::TypeMismatch, LineNo(), QStringLiteral("距離"), 39, 8, QStringLiteral("が読めません"),
                 dist.toString());
    }
    race.Kyori = *fromText;
  }
  race.Fusoku = SmallField(line, LineNo(), QStringLiteral("風速"), 65, 2);
  race.Hakou = SmallField(line, LineNo(), QStringLiteral("波高"), 74, 3);
}

// "  01  1 3501 川　上　　昇　平 50   12  6.89   1    0.08     1.49.7": place, boat, registration
// number, name (16 bytes), motor, boat, exhibition time, course, start timing, race time.
void VenueReader::ReadBoatLine(QByteArrayView line) {
  Race& race = Current();
  const int n = LineNo();
  if (line.size() < 61) {
    throw RuntimeError(
        ErrNo::InputPastEnd,
        QStringLiteral("%1 行目の %2R の着順の行が途中で切れています（%3 バイト、66 バイトのはず）: \"%4\"")
            .arg(n)
            .arg(race_)
            .arg(line.size())
            .arg(DecodeSjis(line)));
  }
  if (race.boats.size() == cKekkaFile::kBoats) {
    throw RuntimeError(ErrNo::SubscriptOutOfRange,
                       QStringLiteral("%1 行目: %2R に 7 艇目の着順の行があります（1 レースは 6 艇まで）: \"%3\"")
                           .arg(n)
                           .arg(race_)
                           .arg(Trim(DecodeSjis(line))));
  }
  Boat b;
  if (ReadPrintedBoat(line, b)) {
#ifndef QT_NO_DEBUG
    Boat fromFields;
    ReadBoatFields(line, fromFields);
    Q_ASSERT(SameBoat(b, fromFields, KeepText()));
#endif
  } else {
    b = Boat();
    ReadBoatFields(line, b);
  }
  race.boats.push_back(std::move(b));
}

// The line of a boat that finished, as the files print it, 66 bytes: "  01  1 3501 <name in 16
// bytes> 50   12  6.89   1    0.08     1.49.7" (motor and boat numbers right-aligned, the figures in
// their usual places, the race time or " .  . " for none). Read at fixed bytes, to the values ReadBoatFields gives.
// False, with `b` to be thrown away, for any other line (another place, a figure missing, moved or in another form, a
// boat or course already in the race): ReadBoatFields then reads it, and says what is wrong.
bool VenueReader::ReadPrintedBoat(QByteArrayView line, Boat& b) {
  if (line.size() != 66) return false;
  const char* p = line.data();
  const auto digit = [p](int k) { return p[k] >= '0' && p[k] <= '9'; };
  const auto blanks = [p](int from, int to) {
    for (int k = from; k < to; ++k) {
      if (p[k] != ' ') return false;
    }
    return true;
  };
  // Blanks, then at least one digit up to `to`: the digits' value; -1 otherwise.
  const auto rightAligned = [&](int from, int to) {
    int k = from;
    while (k < to && p[k] == ' ') ++k;
    if (k == to) return -1;
    int v = 0;
    for (; k < to; ++k) {
      if (!digit(k)) return -1;
      v = v * 10 + (p[k] - '0');
    }
    return v;
  };
  // "6.89" at k: its hundredths; -1 otherwise.
  const auto hundredths = [&](int k) {
    if (!digit(k) || p[k + 1] != '.' || !digit(k + 2) || !digit(k + 3)) return -1;
    return (p[k] - '0') * 100 + (p[k + 2] - '0') * 10 + (p[k + 3] - '0');
  };
  const auto boatDigit = [p](int k) { return p[k] >= '1' && p[k] <= '6'; };
  if (!blanks(0, 2) || p[2] != '0' || !boatDigit(3) || !blanks(4, 6) || !boatDigit(6) || p[7] != ' ' || !digit(8) ||
      !digit(9) || !digit(10) || !digit(11) || p[12] != ' ') {
    return false;
  }
  const int motor = rightAligned(29, 32), boat = rightAligned(32, 37);
  const int tenji = blanks(37, 39) ? hundredths(39) : -1;
  const int course = blanks(43, 46) && boatDigit(46) ? p[46] - '0' : -1;
  const int timing = blanks(47, 51) ? hundredths(51) : -1;
  // No time (" .  . ": the boats after the first few are often not timed), or "1.49.7".
  int shown = 0, points = 0;
  for (int k = 55; k < 66; ++k) {
    shown += p[k] != ' ';
    points += p[k] == '.';
  }
  const bool noTime = shown == 0 || (shown == 2 && points == 2);
  const std::optional<float> seconds = !noTime && blanks(55, 60) ? RaceSeconds(line.sliced(60)) : std::nullopt;
  if (motor < 0 || boat < 0 || tenji < 0 || course < 0 || timing < 0 || !(noTime || seconds)) return false;
  const auto waku = static_cast<std::int16_t>(p[6] - '0');
  for (const Boat& other : Current().boats) {
    if (other.WakuNo == waku || other.Course == course) return false;
  }
  b.TyakujyunNo = static_cast<std::int16_t>(p[3] - '0');
  b.WakuNo = waku;
  b.Course = static_cast<std::int16_t>(course);
  // The short-number routine's value: the digits divided by the power of ten, in single precision.
  b.TenjiTime = static_cast<float>(tenji) / 100.0f;
  b.StartTiming = static_cast<float>(timing) / 100.0f;
  b.StartTimingExists = true;
  if (seconds) b.RaceTimeSeconds = *seconds;
  if (KeepText()) {
    b.Tyakujyun = QString::fromLatin1(line.sliced(2, 2));
    b.SensyuNo = QString::fromLatin1(line.sliced(8, 4));
    b.SensyuName = DecodeSjis(TrimBytes(line.sliced(13, 16)));
    b.MotorNo = QString::number(motor);
    b.BoatNo = QString::number(boat);
    b.StartTimingText = QString::fromLatin1(line.sliced(51, 4));
    if (seconds) b.RaceTime = QString::fromLatin1(line.sliced(60));
  }
  return true;
}

// The fields of a finishing order's line in any form the files may hold, each refused with its
// name and bytes.
void VenueReader::ReadBoatFields(QByteArrayView line, Boat& b) {
  Race& race = Current();
  const int n = LineNo();
  // Place: "01".."06", or a letter and a digit or blank (F, L, K0, S1).
  const QByteArrayView place = Cut(line, 2, 2);
  // "00" is the boat left alone in a void race: no place.
  if (place[0] == '0' && place[1] >= '1' && place[1] <= '6') {
    b.TyakujyunNo = static_cast<std::int16_t>(place[1] - '0');
  } else if (!(place == "00") && !(place[0] >= 'A' && place[0] <= 'Z' && (place[1] == ' ' || IsDigit(place[1])))) {
    ThrowField(ErrNo::TypeMismatch, n, QStringLiteral("着順"), 2, 2, QStringLiteral("が読めません"), DecodeSjis(place));
  }
  const QByteArrayView placeText = TrimBytes(place);
  if (KeepText()) b.Tyakujyun = DecodeSjis(placeText);
  const char waku = line[6];
  if (line[5] != ' ' || waku < '1' || waku > '6' || line[7] != ' ') {
    ThrowField(ErrNo::TypeMismatch, n, kWakuNo, 6, 1, QStringLiteral("が 1～6 ではありません"),
               DecodeSjis(Cut(line, 5, 3)));
  }
  b.WakuNo = static_cast<std::int16_t>(waku - '0');
  for (const Boat& other : race.boats) {
    if (other.WakuNo == b.WakuNo) {
      ThrowField(ErrNo::SubscriptOutOfRange, n, kWakuNo, 6, 1, QStringLiteral("の艇がこのレースに 2 度あります"),
                 QString::number(b.WakuNo));
    }
  }
  const QByteArrayView no = Cut(line, 8, 4);
  if (!IsDigits(no) || no.size() != 4) {
    ThrowField(ErrNo::TypeMismatch, n, QStringLiteral("登録番号"), 8, 4, QStringLiteral("が 4 桁の数字ではありません"),
               DecodeSjis(no));
  }
  const std::int32_t motor = NumberField(line, n, QStringLiteral("モーター番号"), 29, 3);
  const std::int32_t boat = NumberField(line, n, QStringLiteral("ボート番号"), 32, 5);
  if (KeepText()) {
    b.SensyuNo = QString::fromLatin1(no);
    b.SensyuName = DecodeSjis(TrimBytes(Cut(line, 13, 16)));
    b.MotorNo = QString::number(motor);
    b.BoatNo = QString::number(boat);
  }

  // A boat withdrawn before the start prints "K ." for its exhibition time and timing.
  const QByteArrayView tenji = TrimBytes(Cut(line, 37, 6));
  if (!tenji.isEmpty() && !(tenji.front() >= 'A' && tenji.front() <= 'Z')) {
    b.TenjiTime = DecimalBytes(tenji, n, QStringLiteral("展示タイム"), 37, 6);
  }
  const QByteArrayView course = TrimBytes(Cut(line, 43, 4));
  if (!course.isEmpty()) {
    if (course.size() != 1 || course[0] < '1' || course[0] > '6') {
      ThrowField(ErrNo::TypeMismatch, n, QStringLiteral("進入コース"), 43, 4, QStringLiteral("が 1～6 ではありません"),
                 DecodeSjis(course));
    }
    b.Course = static_cast<std::int16_t>(course[0] - '0');
    for (const Boat& other : race.boats) {
      if (other.Course == b.Course) {
        ThrowField(ErrNo::SubscriptOutOfRange, n, QStringLiteral("進入コース"), 43, 4,
                   QStringLiteral("に入った艇がこのレースに 2 艇あります"), DecodeSjis(course));
      }
    }
  }
  // An ASCII byte is a character of its own, so the first byte is the first character: the
  // letter of "F0.01", "L1.99", "K ." is told on the bytes, and the figure after it starts a
  // character.
  const QByteArrayView timing = TrimBytes(Cut(line, 47, 8));
  if (KeepText()) b.StartTimingText = DecodeSjis(timing);
  b.StartLate = timing.startsWith('L') || placeText.startsWith('L');
  if (!timing.isEmpty()) {
    const bool letter = timing.front() >= 'A' && timing.front() <= 'Z';
    const QByteArrayView figure = letter ? timing.sliced(1) : timing;
    // "K ." is no timing; "F0.01" a flying start; "0.08" a timing.
    if (!(letter && TrimBytes(figure) == ".")) {
      b.StartTiming = DecimalBytes(figure, n, QStringLiteral("スタートタイミング"), 47, 8);
      b.StartTimingExists = true;
      b.StartFlying = timing.front() == 'F';
    }
  }
  // "1.49.7" is 1 minute 49.7 seconds; " .  . " no time.
  const QByteArrayView timeBytes = TrimBytes(Cut(line, 55, 11));
  qsizetype shown = 0;  // the characters other than blanks, ".." when there is no time
  for (char c : timeBytes) shown += c != ' ';
  const bool noTime = shown == 0 || (shown == 2 && timeBytes.count('.') == 2);
  if (!noTime) {
    const bool ascii = IsAsciiBytes(timeBytes);
    auto seconds = ascii ? RaceSeconds(timeBytes) : std::nullopt;
    Q_ASSERT(!ascii || seconds == RaceSeconds(SjisField(timeBytes).view()));
    if (!ascii) seconds = RaceSeconds(SjisField(timeBytes).view());
    if (!seconds) {
      ThrowField(ErrNo::TypeMismatch, n, QStringLiteral("レースタイム"), 55, 11,
                 QStringLiteral("が 分.秒.1/10秒 ではありません"), DecodeSjis(timeBytes));
    }
    if (KeepText()) b.RaceTime = DecodeSjis(timeBytes);
    b.RaceTimeSeconds = *seconds;
  }
}

// "        ２連単   1-3        390  人気     1 ", "        複勝     1          140  3          290  ",
// the further lines of 拡連複 without the kind, and "        ３連単   不成立". False for a line that
// is none of these.
bool VenueReader::ReadPayoutLine(QByteArrayView line) {
  // Only a combination needs its text.
  const std::vector<std::pair<qsizetype, QByteArrayView>>& words = SplitWords(line, words_);
  const auto tokens = [&words](std::size_t k) { return words[k].second; };
  if (words.empty()) return false;
  const Words& word = word_;
  const auto at = [&](std::size_t k) { return k < words.size() ? tokens(k) : QByteArrayView(); };
  std::size_t k = 0;
  int kind = KakesikiOf(tokens(0));
  if (kind >= 0) {
    k = 1;
  } else if (line.startsWith("                 ") && lastKind_ >= 0 &&
             (StartsWithDigit(tokens(0)) || tokens(0) == word.tokubarai)) {
    kind = lastKind_;  // a further combination of the kind above (拡連複, a dead heat)
  } else {
    return false;
  }
  lastKind_ = kind;
  Race& race = Current();
  const auto name = [kind] { return cKekkaFile::KakesikiName(static_cast<Kakesiki>(kind)); };
  paid_[race_ - 1] = true;
  if (at(k) == word.fuseiritu) {
    race.fuseiritu[kind] = true;
    return true;
  }
  const bool single = kind == static_cast<int>(Kakesiki::Tansyo) || kind == static_cast<int>(Kakesiki::Fukusyo);
  const auto number = [&](QByteArrayView s, const QString& field) {
    const auto v = SmallDigits(s);
    if (!v) {
      throw RuntimeError(ErrNo::TypeMismatch, QStringLiteral("%1 行目の %2R の%3の%4が数値ではありません: \"%5\"")
                                                  .arg(LineNo())
                                                  .arg(race_)
                                                  .arg(name(), field, DecodeSjis(s)));
    }
    return *v;
  };
  while (k < words.size()) {
    cKekkaFile::Haraimodosi h;
    if (tokens(k) == word.tokubarai) {
      // A special payout: no combination, its yen when printed, no popularity.
      h.Tokubarai = true;
      ++k;
      if (k < words.size() && StartsWithDigit(tokens(k))) h.Kingaku = number(tokens(k++), QStringLiteral("払戻金"));
      if (KeepText()) race.payouts[kind].push_back(std::move(h));
      continue;
    }
    if (KeepText()) h.Kumiban = DecodeSjis(tokens(k));
    ++k;
    h.Kingaku = number(at(k++), QStringLiteral("払戻金"));
    if (!single) {
      if (at(k) != word.ninki) {
        throw RuntimeError(ErrNo::TypeMismatch, QStringLiteral("%1 行目の %2R の%3に人気がありません: \"%4\"")
                                                    .arg(LineNo())
                                                    .arg(race_)
                                                    .arg(name(), Trim(DecodeSjis(line))));
      }
      const std::int32_t ninki = number(at(k + 1), kNinki);
      if (ninki > 32767) {
        throw RuntimeError(ErrNo::Overflow, QStringLiteral("%1 行目の %2R の%3の人気が大きすぎます: \"%4\"")
                                                .arg(LineNo())
                                                .arg(race_)
                                                .arg(name())
                                                .arg(ninki));
      }
      h.Ninki = static_cast<std::int16_t>(ninki);
      k += 2;
    }
    // A check reads and refuses every payout alike; only a venue on show keeps them.
    if (KeepText()) race.payouts[kind].push_back(std::move(h));
  }
  return true;
}

// The venue code 1..24 of a NNKBGN line.
int VenueCode(QByteArrayView marker, int lineNo) {
  const int code = marker.first(2).toInt();
  if (code < 1 || code > 24) {
    throw RuntimeError(ErrNo::VenueCodeOutOfRange, QStringLiteral("%1 行目の競艇場コード \"%2\" は 01～24 の範囲外です")
                                                       .arg(lineNo)
                                                       .arg(QString::fromLatin1(marker.first(2))));
  }
  return code;
}

// Reads every block of the text; `wanted` empty means all venues, else only the block of that code.
// Returns the number of blocks read.
int ReadBlocks(QByteArrayView bytes, const QString& wanted, const std::function<void(Venue&&)>& found,
               bool keepText = true) {
  LineReader reader(bytes);
  QByteArrayView line;
  int blocks = 0;
  while (reader.Next(line)) {
    const QByteArrayView t = TrimBytes(line);
    if (!IsMarker(t, "KBGN")) continue;
    const QString code = QString::fromLatin1(t.first(2));
    if (!wanted.isEmpty() && code != wanted) continue;
    const int n = reader.LineNumber();
    VenueCode(t, n);
    VenueReader venue(reader, code, n, keepText);
    found(venue.Read());
    ++blocks;
    if (!wanted.isEmpty()) break;
  }
  return blocks;
}

// A results text is refused when it is too large to be one. Conversion and load apply the same
// limit, so that a store once written can always be read again.
void CheckSize(qint64 size, const QString& path) {
  if (size > kMaxFileBytes) {
    throw RuntimeError(ErrNo::NotATextFile,
                       QStringLiteral("成績ファイルではありません（%1 バイトは大きすぎます）: %2").arg(size).arg(path));
  }
}

// The bytes of a file that may be a results text.
QByteArray ReadResultsBytes(const QString& path) {
  CheckSize(QFileInfo(path).size(), path);
  return ReadFileBytes(path);
}

// True when some stretch of the bytes between two `end` bytes (or the text's ends) is longer than
// `max`. A line cut at line feeds alone is never shorter than one cut at every line end, so when
// no stretch is longer, no line is.
bool AnyStretchLongerThan(QByteArrayView bytes, char end, qsizetype max) {
  const char* data = bytes.data();
  const qsizetype n = bytes.size();
  if (n == 0) return false;
  for (qsizetype from = 0;;) {
    const void* at = std::memchr(data + from, end, static_cast<std::size_t>(n - from));
    const qsizetype to = at ? static_cast<const char*>(at) - data : n;
    if (to - from > max) return true;
    if (!at) return false;
    from = to + 1;
  }
}

// A text file of lines: no NUL byte, no line longer than any line of results.
void CheckText(QByteArrayView bytes, const QString& path) {
  // A text without a NUL byte anywhere (every results file) has its lines' lengths checked only,
  // and needs no line by line reading when no stretch between line feeds is that long.
  const bool anyNul = bytes.contains('\0');
  if (!anyNul && !AnyStretchLongerThan(bytes, '\n', kMaxLineBytes)) return;
  LineReader reader(bytes);
  QByteArrayView line;
  while (reader.Next(line)) {
    const bool nul = anyNul && line.contains('\0');
    if (nul || line.size() > kMaxLineBytes) {
      throw RuntimeError(
          ErrNo::NotATextFile,
          QStringLiteral("%1 行目が成績の行ではありません（%2）。成績ファイル(K*.TXT)を選んでください: %3")
              .arg(reader.LineNumber())
              .arg(nul ? QStringLiteral("NUL 文字があります")
                       : QStringLiteral("%1 バイトを超えています").arg(kMaxLineBytes))
              .arg(path));
    }
  }
}

// False, with the box titled after the operation, when no file is at the path.
bool ExistsOrWarn(const QString& path, const QString& title) {
  if (FileExists(path)) return true;
  Warn(kNotFound + u'\n' + path, title);
  return false;
}

QString StorePathOr(QString& strFileName) {
  if (strFileName.isEmpty()) strFileName = AppFilePath(kStoreName);
  return strFileName;
}

}  // namespace

QString cKekkaFile::KakesikiName(Kakesiki kind) {
  const int k = static_cast<int>(kind);
  return k >= 0 && k < kKakesikiCount ? QString::fromUtf16(kKakesikiNames[k]) : QString();
}

void cKekkaFile::ReadAll(QByteArrayView bytes, const std::function<void(Venue&&)>& found) {
  ReadBlocks(bytes, QString(), found);
}

bool cKekkaFile::FileConv(const QString& strFileName) {
  if (!ExistsOrWarn(strFileName, kTitleConv)) return false;
  QByteArray bytes;
  try {
    bytes = ReadResultsBytes(strFileName);
  } catch (const RuntimeError& e) {
    Warn(e.reportText(), kTitleConv);
    return false;
  }
  return FileConvBytes(bytes, strFileName);
}

namespace {

// The checks a results file passes before anything is kept of it: its size, its text, and at
// least one venue block. `read` reads the blocks (whole, or only checked).
void CheckResults(const QByteArray& bytes, const QString& strFileName, const std::function<int()>& read) {
  CheckSize(bytes.size(), strFileName);
  CheckText(bytes, strFileName);
  if (read() == 0) {
    throw RuntimeError(ErrNo::NotATextFile,
                       QStringLiteral("成績ファイルではありません: 競艇場のブロック（\"NNKBGN\" の行）がありません。"
                                      "成績ファイル(K*.TXT)を選んでください: %1")
                           .arg(strFileName));
  }
}

}  // namespace

bool cKekkaFile::FileConvBytes(const QByteArray& bytes, const QString& strFileName) {
  try {
    // Every venue is read before the store is touched, so a damaged file never replaces good
    // results.
    Check(bytes, strFileName);
    Store(bytes);
  } catch (const RuntimeError& e) {
    Warn(e.reportText(), kTitleConv);
    return false;
  }
  return true;
}

std::vector<cKekkaFile::Venue> cKekkaFile::ReadFile(const QByteArray& bytes, const QString& strFileName) {
  std::vector<Venue> venues;
  CheckResults(bytes, strFileName,
               [&] { return ReadBlocks(bytes, QString(), [&venues](Venue&& v) { venues.push_back(std::move(v)); }); });
  return venues;
}

void cKekkaFile::Check(const QByteArray& bytes, const QString& strFileName) {
  CheckResults(bytes, strFileName, [&] {
    return ReadBlocks(
        bytes, QString(), [](const Venue&) {}, false);
  });
}

void cKekkaFile::Store(const QByteArray& bytes) {
  // The bytes as read: code page 932 has characters with two codes, which decoding and encoding
  // again would not keep. The store is replaced by renaming a complete copy over it.
  StoreReplace(kStoreName, bytes, QStringLiteral("成績ファイル"));
}

bool cKekkaFile::FileLoad(const QString& strKyoteijyoCode, QString& strFileName) {
  const QString path = StorePathOr(strFileName);
  if (!ExistsOrWarn(path, kTitleLoad)) return false;
  try {
    const QByteArray bytes = ReadResultsBytes(path);
    Venue venue;
    const int blocks = ReadBlocks(bytes, strKyoteijyoCode, [&venue](Venue&& v) { venue = std::move(v); });
    if (blocks == 0) {
      Warn(QStringLiteral("競艇場コードが見つかりません。\nCode: %1#").arg(strKyoteijyoCode), kTitleLoad);
      return false;
    }
    // Replaced only when the whole block was read: a failed load leaves the results on show.
    venue_ = std::move(venue);
  } catch (const RuntimeError& e) {
    Warn(e.reportText() + QStringLiteral("\n競艇場コード： ") + strKyoteijyoCode, kTitleLoad);
    return false;
  }
  return true;
}

bool cKekkaFile::KaisaiCheck(KyoteijyoTable& strKyoteijyoTable, QString& strFileName) {
  const QString path = StorePathOr(strFileName);
  if (!ExistsOrWarn(path, kTitleList)) return false;
  try {
    const QByteArray bytes = ReadResultsBytes(path);
    // Every block is listed by the head of its block, a block whose day is not in yet by its
    // notice, so that choosing its venue tells the user why there is no result. The blocks are
    // read whole when a venue is loaded.
    KyoteijyoTable table;
    LineReader reader(bytes);
    QByteArrayView line;
    while (reader.Next(line)) {
      const QByteArrayView t = TrimBytes(line);
      if (!IsMarker(t, "KBGN")) continue;
      const int code = VenueCode(t, reader.LineNumber());
      // The first two lines with text: the venue line, and a notice in a block not in yet.
      QByteArray head[2];
      int found = 0;
      while (found < 2 && reader.Next(line) && !IsMarker(TrimBytes(line), "KEND")) {
        if (!TrimBytes(line).isEmpty()) head[found++] = line.toByteArray();
      }
      const bool notice = found > 0 && !DecodeSjis(head[0]).contains(u'［');
      const QString shown = Trim(DecodeSjis(notice ? QByteArrayView(head[1]) : Cut(head[0], 30, head[0].size())));
      table[static_cast<std::size_t>(code)] = shown.isEmpty() ? QString::fromLatin1(t.first(2)) : shown;
    }
    for (std::size_t code = 1; code < table.size(); ++code) {
      if (!table[code].isEmpty()) strKyoteijyoTable[code] = table[code];
    }
  } catch (const RuntimeError& e) {
    Warn(e.reportText(), kTitleList);
    return false;
  }
  return true;
}

const cKekkaFile::Race& cKekkaFile::RaceAt(std::int16_t intRaceNo) const {
  CheckIndex(kRaceNo, intRaceNo, 1, kMaxRace);
  return venue_.races[intRaceNo - 1];
}

// A line past the race's last boat answers the empty boat: empty texts and zeros.
const cKekkaFile::Boat& cKekkaFile::At(std::int16_t intRaceNo, std::int16_t intJyuni) const {
  static const Boat kNone;
  const Race& race = RaceAt(intRaceNo);
  CheckIndex(kJyuni, intJyuni, 1, kBoats);
  return intJyuni <= static_cast<int>(race.boats.size()) ? race.boats[intJyuni - 1] : kNone;
}

const std::vector<cKekkaFile::Haraimodosi>& cKekkaFile::PayoutsAt(std::int16_t intRaceNo, Kakesiki kind) const {
  const Race& race = RaceAt(intRaceNo);
  CheckIndex(QStringLiteral("賭式"), static_cast<int>(kind), 0, kKakesikiCount - 1);
  return race.payouts[static_cast<int>(kind)];
}

QString cKekkaFile::KyoteijyoCode() const { return venue_.KyoteijyoCode; }
QString cKekkaFile::KyoteijyoName() const { return venue_.KyoteijyoName; }
QString cKekkaFile::Title() const { return venue_.Title; }
QString cKekkaFile::TitleLong() const { return venue_.TitleLong; }
QString cKekkaFile::RaceDate() const { return venue_.RaceDate; }
std::int16_t cKekkaFile::TotalDay() const { return venue_.TotalDay; }

bool cKekkaFile::RaceExists(std::int16_t r) const {
  const RaceStatus status = Status(r);
  return status == RaceStatus::Held || status == RaceStatus::Void;
}
RaceStatus cKekkaFile::Status(std::int16_t r) const {
  return r < 1 || r > kMaxRace ? RaceStatus::None : venue_.races[r - 1].Status;
}
QString cKekkaFile::RaceName(std::int16_t r) const { return RaceAt(r).RaceName; }
bool cKekkaFile::CourseFix(std::int16_t r) const { return RaceAt(r).CourseFix; }
std::int16_t cKekkaFile::Kyori(std::int16_t r) const { return RaceAt(r).Kyori; }
QString cKekkaFile::Tenko(std::int16_t r) const { return RaceAt(r).Tenko; }
QString cKekkaFile::KazeMuki(std::int16_t r) const { return RaceAt(r).KazeMuki; }
std::int16_t cKekkaFile::Fusoku(std::int16_t r) const { return RaceAt(r).Fusoku; }
std::int16_t cKekkaFile::Hakou(std::int16_t r) const { return RaceAt(r).Hakou; }
QString cKekkaFile::Kimarite(std::int16_t r) const { return RaceAt(r).Kimarite; }
std::int16_t cKekkaFile::BoatNumbers(std::int16_t r) const { return static_cast<std::int16_t>(RaceAt(r).boats.size()); }

QString cKekkaFile::Tyakujyun(std::int16_t r, std::int16_t j) const { return At(r, j).Tyakujyun; }
std::int16_t cKekkaFile::TyakujyunNo(std::int16_t r, std::int16_t j) const { return At(r, j).TyakujyunNo; }
std::int16_t cKekkaFile::WakuNo(std::int16_t r, std::int16_t j) const { return At(r, j).WakuNo; }
QString cKekkaFile::SensyuNo(std::int16_t r, std::int16_t j) const { return At(r, j).SensyuNo; }
QString cKekkaFile::SensyuName(std::int16_t r, std::int16_t j) const { return At(r, j).SensyuName; }
QString cKekkaFile::MotorNo(std::int16_t r, std::int16_t j) const { return At(r, j).MotorNo; }
QString cKekkaFile::BoatNo(std::int16_t r, std::int16_t j) const { return At(r, j).BoatNo; }
float cKekkaFile::TenjiTime(std::int16_t r, std::int16_t j) const { return At(r, j).TenjiTime; }
std::int16_t cKekkaFile::Course(std::int16_t r, std::int16_t j) const { return At(r, j).Course; }
float cKekkaFile::StartTiming(std::int16_t r, std::int16_t j) const { return At(r, j).StartTiming; }
bool cKekkaFile::StartFlying(std::int16_t r, std::int16_t j) const { return At(r, j).StartFlying; }
bool cKekkaFile::StartTimingExists(std::int16_t r, std::int16_t j) const { return At(r, j).StartTimingExists; }
bool cKekkaFile::StartLate(std::int16_t r, std::int16_t j) const { return At(r, j).StartLate; }
QString cKekkaFile::StartTimingText(std::int16_t r, std::int16_t j) const { return At(r, j).StartTimingText; }
QString cKekkaFile::RaceTime(std::int16_t r, std::int16_t j) const { return At(r, j).RaceTime; }
float cKekkaFile::RaceTimeSeconds(std::int16_t r, std::int16_t j) const { return At(r, j).RaceTimeSeconds; }

std::int16_t cKekkaFile::JyuniOfWaku(std::int16_t r, std::int16_t w) const {
  const Race& race = RaceAt(r);
  CheckIndex(kWakuNo, w, 1, kBoats);
  for (std::size_t i = 0; i < race.boats.size(); ++i) {
    if (race.boats[i].WakuNo == w) return static_cast<std::int16_t>(i + 1);
  }
  return 0;
}

std::int16_t cKekkaFile::WakuCourse(std::int16_t r, std::int16_t w) const {
  const std::int16_t j = JyuniOfWaku(r, w);
  return j == 0 ? 0 : venue_.races[r - 1].boats[j - 1].Course;
}

std::int16_t cKekkaFile::HaraimodosiNumbers(std::int16_t r, Kakesiki kind) const {
  return static_cast<std::int16_t>(PayoutsAt(r, kind).size());
}

QString cKekkaFile::Kumiban(std::int16_t r, Kakesiki kind, std::int16_t i) const {
  const auto& p = PayoutsAt(r, kind);
  CheckIndex(kIndex, i, 1, static_cast<long long>(p.size()));
  return p[i - 1].Kumiban;
}
std::int32_t cKekkaFile::Kingaku(std::int16_t r, Kakesiki kind, std::int16_t i) const {
  const auto& p = PayoutsAt(r, kind);
  CheckIndex(kIndex, i, 1, static_cast<long long>(p.size()));
  return p[i - 1].Kingaku;
}
std::int16_t cKekkaFile::Ninki(std::int16_t r, Kakesiki kind, std::int16_t i) const {
  const auto& p = PayoutsAt(r, kind);
  CheckIndex(kIndex, i, 1, static_cast<long long>(p.size()));
  return p[i - 1].Ninki;
}
bool cKekkaFile::Fuseiritu(std::int16_t r, Kakesiki kind) const {
  PayoutsAt(r, kind);
  return RaceAt(r).fuseiritu[static_cast<int>(kind)];
}

bool cKekkaFile::Tokubarai(std::int16_t r, Kakesiki kind, std::int16_t i) const {
  const auto& p = PayoutsAt(r, kind);
  CheckIndex(kIndex, i, 1, static_cast<long long>(p.size()));
  return p[i - 1].Tokubarai;
}

// An index past the summary's entries (a kind the summary does not list) answers the empty entry.
const cKekkaFile::Matome& cKekkaFile::MatomeAt(std::int16_t r, Kakesiki kind, std::int16_t i) const {
  static const Matome kNone;
  PayoutsAt(r, kind);
  CheckIndex(kIndex, i, 1, kMaxRace);
  const auto& m = RaceAt(r).matome[static_cast<int>(kind)];
  return i <= static_cast<int>(m.size()) ? m[i - 1] : kNone;
}
std::int16_t cKekkaFile::MatomeNumbers(std::int16_t r, Kakesiki kind) const {
  PayoutsAt(r, kind);
  return static_cast<std::int16_t>(RaceAt(r).matome[static_cast<int>(kind)].size());
}
QString cKekkaFile::MatomeKumiban(std::int16_t r, Kakesiki kind, std::int16_t i) const {
  return MatomeAt(r, kind, i).Kumiban;
}
std::int32_t cKekkaFile::MatomeKingaku(std::int16_t r, Kakesiki kind, std::int16_t i) const {
  return MatomeAt(r, kind, i).Kingaku;
}
bool cKekkaFile::MatomeTokubarai(std::int16_t r, Kakesiki kind, std::int16_t i) const {
  return MatomeAt(r, kind, i).Tokubarai;
}
QString cKekkaFile::Notice() const { return venue_.Notice; }

QStringList cKekkaFile::Bikou(std::int16_t r) const { return RaceAt(r).bikou; }

}  // namespace tidewake
