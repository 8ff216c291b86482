#include "data/cSensyuFile.h"

#include "data/mDayFile.h"

#include "platform/LineReader.h"
#include "platform/MessageBox.h"
#include "platform/Numeric.h"
#include "platform/RuntimeError.h"
#include "platform/SjisText.h"

#include <QLatin1String>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <span>
#include <utility>
#include <vector>

namespace tidewake {

namespace {

using Racer = cSensyuFile::Racer;
using Period = cSensyuFile::Period;
using S = cSensyuFile;

const QString kTitle = QStringLiteral("選手ファイル読み取りエラー");
const QString kNotFound = QStringLiteral("ファイルが見つかりません。");
const QString kCourseNo = QStringLiteral("コース番号");
const QString kIndex = QStringLiteral("選手の番号");

// The racer count and every slot number are 16-bit.
constexpr int kMaxLines = std::numeric_limits<std::int16_t>::max();

void Warn(const QString& text) { WarnBox(text, kTitle); }

// ---- The record layouts -------------------------------------------------------------------

enum class Kind { Text, Integer, Real10, Real100, Ability };

// Where a field's value goes: the registration number, a text left in the record, a figure of
// the slot (per racer, or per course in a course block), or a value of the whole file.
enum class Target { Key, Text, Int, Real, Nen, Ki, YmdStart, YmdEnd };

// One field of a record: its name for messages, its width in bytes, how it converts and where it
// goes (`index` is the field's number within its target).
struct Row {
  const char16_t* name;
  int width;
  Kind kind;
  Target target;
  int index = 0;
};

const Row kHead[] = {
    {u"登録番号", 4, Kind::Text, Target::Key},
    {u"氏名（漢字）", 16, Kind::Text, Target::Text, S::tNameKanji},
    {u"氏名（カナ）", 15, Kind::Text, Target::Text, S::tNameKana},
    {u"支部", 4, Kind::Text, Target::Text, S::tBirthplace},
    {u"級別", 2, Kind::Text, Target::Text, S::tClass},
    {u"生年月日", 7, Kind::Text, Target::Text, S::tBirth},
    {u"性別", 1, Kind::Integer, Target::Int, S::iSex},
    {u"年齢", 2, Kind::Integer, Target::Int, S::iAge},
    {u"身長", 3, Kind::Integer, Target::Int, S::iHeight},
    {u"体重", 2, Kind::Integer, Target::Int, S::iWeight},
    {u"血液型", 2, Kind::Text, Target::Text, S::tBlood},
    {u"勝率", 4, Kind::Real100, Target::Real, S::rSyoritu},
    {u"２連対率", 4, Kind::Real10, Target::Real, S::rFSyoritu},
    {u"１着回数", 3, Kind::Integer, Target::Int, S::iOneFinishTimes},
    {u"２着回数", 3, Kind::Integer, Target::Int, S::iTwoFinishTimes},
    {u"出走回数", 3, Kind::Integer, Target::Int, S::iSyussoTimes},
    {u"優出回数", 2, Kind::Integer, Target::Int, S::iYusyutuTimes},
    {u"優勝回数", 2, Kind::Integer, Target::Int, S::iYusyoTimes},
    {u"平均スタートタイミング", 3, Kind::Real100, Target::Real, S::rStartTiming},
};

const Row kCourseA[] = {
    {u"進入回数", 3, Kind::Integer, Target::Int, S::cSyussoTimes},
    {u"２連対率", 4, Kind::Real10, Target::Real, S::cFSyoritu},
    {u"平均スタートタイミング", 3, Kind::Real100, Target::Real, S::cStartTiming},
    {u"平均スタート順位", 3, Kind::Real100, Target::Real, S::cStartHatujyun},
};

const Row kClassAbility[] = {
    {u"前期級別", 2, Kind::Text, Target::Text, S::tClassOld1},
    {u"前々期級別", 2, Kind::Text, Target::Text, S::tClassOld2},
    {u"前々々期級別", 2, Kind::Text, Target::Text, S::tClassOld3},
    {u"前期能力指数", 4, Kind::Ability, Target::Int, S::iAbilityOld},
    {u"今期能力指数", 4, Kind::Ability, Target::Int, S::iAbility},
};

const Row kPeriodCurrent[] = {
    {u"年", 4, Kind::Integer, Target::Nen},
    {u"期", 1, Kind::Integer, Target::Ki},
    {u"算出期間（自）", 8, Kind::Text, Target::YmdStart},
    {u"算出期間（至）", 8, Kind::Text, Target::YmdEnd},
    {u"養成期", 3, Kind::Integer, Target::Int, S::iYoseiKi},
};

const Row kPeriodOld[] = {
    {u"年", 2, Kind::Integer, Target::Nen},
    {u"期", 1, Kind::Integer, Target::Ki},
    {u"算出期間（自）", 6, Kind::Text, Target::YmdStart},
    {u"算出期間（至）", 6, Kind::Text, Target::YmdEnd},
    {u"養成期", 2, Kind::Integer, Target::Int, S::iYoseiKi},
};

const Row kCourseB[] = {
    {u"１着回数", 3, Kind::Integer, Target::Int, S::cFinish1},
    {u"２着回数", 3, Kind::Integer, Target::Int, S::cFinish2},
    {u"３着回数", 3, Kind::Integer, Target::Int, S::cFinish3},
    {u"４着回数", 3, Kind::Integer, Target::Int, S::cFinish4},
    {u"５着回数", 3, Kind::Integer, Target::Int, S::cFinish5},
    {u"６着回数", 3, Kind::Integer, Target::Int, S::cFinish6},
    {u"F回数", 2, Kind::Integer, Target::Int, S::cF0},
    {u"L0回数", 2, Kind::Integer, Target::Int, S::cL0},
    {u"L1回数", 2, Kind::Integer, Target::Int, S::cL1},
    {u"K0回数", 2, Kind::Integer, Target::Int, S::cK0},
    {u"K1回数", 2, Kind::Integer, Target::Int, S::cK1},
    {u"S0回数", 2, Kind::Integer, Target::Int, S::cS0},
    {u"S1回数", 2, Kind::Integer, Target::Int, S::cS1},
    {u"S2回数", 2, Kind::Integer, Target::Int, S::cS2},
};

const Row kTail[] = {
    {u"コース外L0回数", 2, Kind::Integer, Target::Int, S::iOutsideCourseL0Times},
    {u"コース外L1回数", 2, Kind::Integer, Target::Int, S::iOutsideCourseL1Times},
    {u"コース外K0回数", 2, Kind::Integer, Target::Int, S::iOutsideCourseK0Times},
    {u"コース外K1回数", 2, Kind::Integer, Target::Int, S::iOutsideCourseK1Times},
};

// A run of rows; a per-course run stands six times, once for each course in course order.
struct Section {
  std::span<const Row> rows;
  bool perCourse;
};

const Section kCurrentLayout[] = {
    {kHead, false}, {kCourseA, true}, {kClassAbility, false}, {kPeriodCurrent, false}, {kCourseB, true}, {kTail, false},
};

const Section kOlderLayout[] = {
    {kHead, false}, {kCourseA, true}, {kClassAbility, false}, {kPeriodOld, false}, {kCourseB, true}, {kTail, false},
};

// One field of a layout where it stands: the layout table walked in order, each per-course run
// expanded by course, each field's byte position the sum of the widths before it, and its
// index in the slot's arrays resolved.
struct Step {
  const Row* row;
  int course;  // 1..6 in a course block, 0 elsewhere
  qsizetype pos;
  int slotIndex;
};

// A numeric field as the quick pass reads it (see QuickParse).
struct Quick {
  qsizetype start;       // the four bytes that end with the field
  std::uint32_t before;  // mask of the bytes of those four that lie before the field
  std::size_t slotIndex;
};

Quick QuickOf(const Step& step) {
  const int width = step.row->width;
  return {step.pos + width - 4, width >= 4 ? 0u : (std::uint32_t{1} << (8 * (4 - width))) - 1u,
          static_cast<std::size_t>(step.slotIndex)};
}

struct Layout {
  std::vector<Step> steps;
  qsizetype width = 0;
  std::vector<Quick> ints, abilities, reals10, reals100;
  Step nen{}, ki{}, ymdStart{}, ymdEnd{};
};

int SlotIndex(const Row& row, int course) {
  if (course == 0) return row.index;
  const int base = row.target == Target::Int ? int{S::kRacerInts} : int{S::kRacerReals};
  const int stride = row.target == Target::Int ? int{S::kCourseInts} : int{S::kCourseReals};
  return base + (course - 1) * stride + row.index;
}

Layout Expand(std::span<const Section> sections) {
  Layout layout;
  for (const Section& section : sections) {
    const int courses = section.perCourse ? S::kCourses : 1;
    for (int c = 1; c <= courses; ++c) {
      const int course = section.perCourse ? c : 0;
      for (const Row& row : section.rows) {
        const Step step{&row, course, layout.width, SlotIndex(row, course)};
        layout.steps.push_back(step);
        switch (row.target) {
          case Target::Int:
            (row.kind == Kind::Ability ? layout.abilities : layout.ints).push_back(QuickOf(step));
            break;
          case Target::Real:
            (row.kind == Kind::Real10 ? layout.reals10 : layout.reals100).push_back(QuickOf(step));
            break;
          case Target::Nen:
            layout.nen = step;
            break;
          case Target::Ki:
            layout.ki = step;
            break;
          case Target::YmdStart:
            layout.ymdStart = step;
            break;
          case Target::YmdEnd:
            layout.ymdEnd = step;
            break;
          case Target::Key:
          case Target::Text:
            break;
        }
        layout.width += row.width;
      }
    }
  }
  return layout;
}

const Layout& CurrentLayout() {
  static const Layout layout = Expand(kCurrentLayout);
  return layout;
}

const Layout& OlderLayout() {
  static const Layout layout = Expand(kOlderLayout);
  return layout;
}

struct Span {
  qsizetype pos = 0;
  int width = 0;
};

// Where each text field stands. Both layouts agree up to byte 173, and every per-racer text
// field lies there.
const std::array<Span, S::kTextFields>& TextSpans() {
  static const auto spans = [] {
    std::array<Span, S::kTextFields> out{};
    for (const Step& s : CurrentLayout().steps) {
      if (s.row->target == Target::Text) out[static_cast<std::size_t>(s.row->index)] = {s.pos, s.row->width};
    }
    return out;
  }();
  return spans;
}

// ---- Field conversion ---------------------------------------------------------------------

// Digits with blanks around them and an optional sign: the form every numeric field of a real
// file has. Read straight from the bytes, to the same value the platform conversion gives; any
// other form goes through that conversion.
bool PlainInteger(QByteArrayView f, int& value) {
  qsizetype i = 0;
  const qsizetype n = f.size();
  while (i < n && f[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (f[i] == '+' || f[i] == '-')) negative = f[i++] == '-';
  int digits = 0;
  int v = 0;
  while (i < n && f[i] >= '0' && f[i] <= '9') {
    v = v * 10 + (f[i] - '0');
    ++i;
    // Four digits always fit a 16-bit value; longer numbers take the checked way.
    if (++digits > 4) return false;
  }
  while (i < n && f[i] == ' ') ++i;
  if (digits == 0 || i != n) return false;
  value = negative ? -v : v;
  return true;
}

// Nothing but digits, as nearly every field of a real record is: the quick case of PlainInteger.
bool AllDigits(QByteArrayView f, int& value) {
  if (f.isEmpty() || f.size() > 4) return false;
  int v = 0;
  for (const char c : f) {
    const auto d = static_cast<unsigned>(static_cast<unsigned char>(c)) - unsigned{'0'};
    if (d > 9) return false;
    v = v * 10 + static_cast<int>(d);
  }
  value = v;
  return true;
}

double NumberValue(QByteArrayView f) {
  int v = 0;
  if (AllDigits(f, v) || PlainInteger(f, v)) return v;
  return ToDouble(DecodeSjis(f));
}

std::int16_t IntegerValue(QByteArrayView f) {
  int v = 0;
  if (AllDigits(f, v) || PlainInteger(f, v)) return static_cast<std::int16_t>(v);
  return ToInteger(DecodeSjis(f));
}

float RealValue(QByteArrayView f, double divisor) {
  const double q = NumberValue(f) / divisor;
  if (!(std::fabs(q) <= FLT_MAX)) {
    throw RuntimeError(ErrNo::Overflow, QStringLiteral("オーバーフローしました: %1").arg(q, 0, 'g', 10));
  }
  return static_cast<float>(q);
}

std::int16_t AbilityValue(QByteArrayView f) { return RoundToInteger(static_cast<double>(IntegerValue(f)) / 100.0); }

// The description of a field of the older layout that does not convert: which line, which
// field at which bytes, and what was found there.
QString FieldFailure(const RuntimeError& e, const Row& row, int course, qsizetype pos, QByteArrayView line,
                     int lineNo) {
  const QString where = course > 0 ? QStringLiteral("%1 コースの「%2」").arg(course).arg(QString::fromUtf16(row.name))
                                   : QStringLiteral("「%1」").arg(QString::fromUtf16(row.name));
  const QString bytes = row.width == 1 ? QStringLiteral("%1 バイト目").arg(pos + 1)
                                       : QStringLiteral("%1～%2 バイト目").arg(pos + 1).arg(pos + row.width);
  if (lineNo == 0) {
    return QStringLiteral("選手ファイルに選手の行がありません（%1を読めません）").arg(where);
  }
  if (pos >= line.size()) {
    return QStringLiteral("選手ファイル %1 行目は %2 バイトで終わっていて、%3（%4）がありません")
        .arg(lineNo)
        .arg(line.size())
        .arg(where, bytes);
  }
  const QString found = DecodeSjis(line.sliced(pos, std::min<qsizetype>(row.width, line.size() - pos)));
  const QString what =
      e.number() == ErrNo::Overflow ? QStringLiteral("が大きすぎます") : QStringLiteral("が数値ではありません");
  // "2 行目の 3 コースの「１着回数」": a number after the particle stands apart from it.
  return QStringLiteral("選手ファイル %1 行目の%2（%3）%4: \"%5\"")
      .arg(lineNo)
      .arg(course > 0 ? u' ' + where : where, bytes, what, found);
}

// ---- Lines ------------------------------------------------------------------------------

// Blank when nothing but ASCII blanks: the only bytes that decode to a blank. A line cut at the
// record width is judged by the bytes kept: past them no field is ever read.
bool IsBlankLine(QByteArrayView bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == ' '; });
}

// The registration number a line begins with: its first four bytes decoded, the field the record
// layout gives the number. The list of numbers, the merge and the slot all take it by this one rule,
// so a racer is stored under the number he is listed and asked for.
QString KeyOf(QByteArrayView line) {
  const QByteArrayView head = line.first(std::min<qsizetype>(4, line.size()));
  if (std::all_of(head.begin(), head.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return QString::fromLatin1(head.data(), head.size());
  }
  return DecodeSjis(head);
}

// Binary comparison of a line's registration number with a requested number.
int CompareKey(QByteArrayView line, const QString& number) {
  const qsizetype m = std::min<qsizetype>(4, line.size());
  const QByteArrayView head = line.first(m);
  if (std::all_of(head.begin(), head.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return -number.compare(QLatin1String(head.data(), m), Qt::CaseSensitive);
  }
  return KeyOf(line).compare(number, Qt::CaseSensitive);
}

// The one forward pass that pairs the ascending requested numbers with the ascending lines. Fed
// the lines one by one; a number requested twice fills both slots from the same line.
class Merge {
 public:
  explicit Merge(const QStringList& list) : list_(list), n_(static_cast<int>(list.size()) - 1) {}

  // Slots the line fills, in slot order.
  template <typename OnMatch>
  void Feed(QByteArrayView line, OnMatch&& onMatch) {
    while (k_ <= n_) {
      const int c = CompareKey(line, list_[k_]);
      if (c == 0) {
        onMatch(static_cast<std::int16_t>(k_));
        ++k_;
      } else if (c > 0) {
        ++k_;  // the number is not in the file: its slot stays empty
      } else {
        return;  // the next line may hold it
      }
    }
  }

  bool Done() const { return k_ > n_; }

 private:
  const QStringList& list_;
  int n_;
  int k_ = 1;
};

}  // namespace

// ---- cSensyuFile ----------------------------------------------------------------------------

cSensyuFile::cSensyuFile() = default;

void cSensyuFile::StoreReset(std::int16_t n) {
  period_ = Period();
  racers_.assign(static_cast<std::size_t>(n) + 1, Racer());
  byNumber_.clear();
}

void cSensyuFile::IndexByNumber() {
  byNumber_.clear();
  for (std::size_t k = 1; k < racers_.size(); ++k) {
    if (!racers_[k].SensyuNo.isEmpty()) byNumber_.push_back(static_cast<std::int16_t>(k));
  }
  std::stable_sort(byNumber_.begin(), byNumber_.end(), [this](std::int16_t a, std::int16_t b) {
    return racers_[static_cast<std::size_t>(a)].SensyuNo < racers_[static_cast<std::size_t>(b)].SensyuNo;
  });
}

namespace {

// The digits of a field of one to four bytes: the four bytes ending with the field are read at
// once (every numeric field lies past the four bytes of the registration number), the ones
// before the field taken as "0".
[[gnu::always_inline]] inline bool QuickDigits(const char* data, const Quick& q, int& value) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint32_t x = 0;
    std::memcpy(&x, data + q.start, 4);
    x = (x & ~q.before) | (0x30303030u & q.before);
    // Every byte 0x30..0x39: high nibble 3, and still 3 after adding 6.
    if ((x & 0xF0F0F0F0u) != 0x30303030u || ((x + 0x06060606u) & 0xF0F0F0F0u) != 0x30303030u) return false;
    // Four digits, the first in the lowest byte: pairs first, then the pairs together.
    const std::uint32_t d = x - 0x30303030u;
    const std::uint32_t pairs = (d * 10 + (d >> 8)) & 0x00FF00FFu;
    value = static_cast<int>((pairs * 100 + (pairs >> 16)) & 0xFFFFu);
    return true;
  } else {
    const qsizetype width = 4 - std::popcount(q.before) / 8;
    return AllDigits(QByteArrayView(data + q.start + 4 - width, width), value);
  }
}

// The registration number of a line: the number the merge matched it with (equal to its KeyOf,
// and shared rather than decoded again), else its KeyOf.
QString NumberOf(const cSensyuFile::HeldLine& line) { return line.key.isNull() ? KeyOf(line.bytes) : line.key; }

// The quick way through a record whose every numeric field is plain digits, as every record of
// a real file is: the fields are independent of each other then, so they are read kind by kind
// in any order, to exactly the values the field-by-field walk gives. Anything else (a short
// line, a blank, a sign, a letter) answers false having written nothing but the slot's numbers,
// and the walk reads the line again from a fresh slot.
bool QuickParse(const Layout& layout, const cSensyuFile::HeldLine& line, Racer& racer, Period& period) {
  const QByteArrayView bytes(line.bytes);
  if (bytes.size() < layout.width) return false;
  const char* data = bytes.data();
  int v = 0;
  for (const Quick& q : layout.ints) {
    if (!QuickDigits(data, q, v)) return false;
    racer.ints[q.slotIndex] = static_cast<std::int16_t>(v);
  }
  for (const Quick& q : layout.abilities) {
    if (!QuickDigits(data, q, v)) return false;
    // Four digits over 100 round to at most 100: no ability overflows.
    racer.ints[q.slotIndex] = RoundToInteger(static_cast<double>(v) / 100.0);
  }
  for (const Quick& q : layout.reals10) {
    if (!QuickDigits(data, q, v)) return false;
    racer.reals[q.slotIndex] = static_cast<float>(static_cast<double>(v) / 10.0);
  }
  for (const Quick& q : layout.reals100) {
    if (!QuickDigits(data, q, v)) return false;
    racer.reals[q.slotIndex] = static_cast<float>(static_cast<double>(v) / 100.0);
  }
  int nen = 0, ki = 0;
  if (!QuickDigits(data, QuickOf(layout.nen), nen) || !QuickDigits(data, QuickOf(layout.ki), ki)) return false;
  racer.SensyuNo = NumberOf(line);
  period.Nen = static_cast<std::int16_t>(nen);
  period.Ki = static_cast<std::int16_t>(ki);
  period.YmdStart = {line.bytes, layout.ymdStart.pos, layout.ymdStart.row->width};
  period.YmdEnd = {line.bytes, layout.ymdEnd.pos, layout.ymdEnd.row->width};
  return true;
}

}  // namespace

bool cSensyuFile::ReadsAsRecord(QByteArrayView line) {
  const HeldLine held{line.toByteArray(), 0, QString()};
  for (const Layout* layout : {&CurrentLayout(), &OlderLayout()}) {
    Racer racer;
    Period period;
    if (QuickParse(*layout, held, racer, period)) return true;
  }
  return false;
}

namespace {

// Two digits from `pos` that make a month 01..12.
bool MonthAt(QByteArrayView line, qsizetype pos) {
  int m = 0;
  return line.size() >= pos + 2 && AllDigits(line.sliced(pos, 2), m) && m >= 1 && m <= 12;
}

// The term (1 or 2) at `pos`.
bool TermAt(QByteArrayView line, qsizetype pos) { return line.size() > pos && (line[pos] == '1' || line[pos] == '2'); }

}  // namespace

std::int16_t cSensyuFile::LayoutOf(QByteArrayView line) {
  const HeldLine held{line.toByteArray(), 0, QString()};
  Racer racer;
  Period period;
  // The period tells them apart: a term 1 or 2, then two dates whose months are months, at the
  // places of the layout (yyyymmdd in the current one, yymmdd in the older one).
  if (QuickParse(CurrentLayout(), held, racer, period) && TermAt(line, 178) && MonthAt(line, 183) &&
      MonthAt(line, 191)) {
    return 0;
  }
  if (QuickParse(OlderLayout(), held, racer, period) && TermAt(line, 176) && MonthAt(line, 179) && MonthAt(line, 185)) {
    return 2;
  }
  return -1;
}

void cSensyuFile::Parse(std::int16_t slot, const HeldLine& line, std::int16_t intRev) {
  const bool older = intRev != 0;
  const Layout& layout = older ? OlderLayout() : CurrentLayout();
  const QByteArrayView bytes(line.bytes);
  const qsizetype size = bytes.size();
  Racer& racer = racers_[static_cast<std::size_t>(slot)];
  racer.record = line.bytes;
  racer.textEnd = layout.width;
  if (QuickParse(layout, line, racer, period_)) return;

  racer = Racer();
  racer.record = line.bytes;
  racer.textEnd = layout.width;
  for (const Step& step : layout.steps) {
    const Row& row = *step.row;
    // The fields are cut one after another; past the end of the line a field is empty.
    const qsizetype from = std::min(step.pos, size);
    const QByteArrayView f = bytes.sliced(from, std::min<qsizetype>(row.width, size - from));
    try {
      switch (row.target) {
        case Target::Key:
          racer.SensyuNo = NumberOf(line);
          break;
        case Target::Text:
          break;  // read from the record when asked for
        case Target::Int:
          racer.ints[static_cast<std::size_t>(step.slotIndex)] =
              row.kind == Kind::Ability ? AbilityValue(f) : IntegerValue(f);
          break;
        case Target::Real:
          racer.reals[static_cast<std::size_t>(step.slotIndex)] = RealValue(f, row.kind == Kind::Real10 ? 10.0 : 100.0);
          break;
        case Target::Nen:
          period_.Nen = IntegerValue(f);
          break;
        case Target::Ki:
          period_.Ki = IntegerValue(f);
          break;
        case Target::YmdStart:
          period_.YmdStart = {line.bytes, step.pos, row.width};
          break;
        case Target::YmdEnd:
          period_.YmdEnd = {line.bytes, step.pos, row.width};
          break;
      }
    } catch (const RuntimeError& e) {
      // The current layout keeps what it read so far and leaves the rest at the defaults; the
      // older one cannot be trusted past a bad field.
      if (!older) {
        racer.textEnd = step.pos;
        return;
      }
      throw RuntimeError(e.number(), FieldFailure(e, row, step.course, step.pos, bytes, line.lineNo));
    }
  }
}

void cSensyuFile::LineParse(std::int16_t slot, const HeldLine& line) { Parse(slot, line, 0); }

void cSensyuFile::LineParseOld2(std::int16_t slot, const HeldLine& line) { Parse(slot, line, 2); }

void cSensyuFile::LoadBytes(QByteArrayView bytes, QStringList& list, bool fromFile, std::int16_t intRev) {
  if (list.size() - 1 > kMaxLines) {
    throw RuntimeError(ErrNo::Overflow,
                       QStringLiteral("読み込む選手の数 %1 が 32767 を超えています").arg(list.size() - 1));
  }

  // One pass over the lines keeps only what the load will parse: the last non-blank line, and
  // the lines the merge pairs with requested numbers (every line when every racer is asked for).
  // Blank lines are passed over wherever they stand; past the record's bytes nothing is read.
  LineReader reader(bytes);
  QByteArrayView whole;
  int count = 0;
  HeldLine last;
  std::vector<std::pair<std::int16_t, std::size_t>> pairs;  // slot, index into held
  std::vector<HeldLine> held;
  Merge merge(list);
  while (reader.Next(whole)) {
    const QByteArrayView line = whole.first(std::min(whole.size(), kRecordBytes));
    if (IsBlankLine(line)) continue;
    if (count == kMaxLines) {
      throw RuntimeError(
          ErrNo::Overflow,
          QStringLiteral("選手ファイルの選手の行が 32767 行を超えています（%1 行目）").arg(reader.LineNumber()));
    }
    ++count;
    last = HeldLine{line.toByteArray(), reader.LineNumber(), QString()};
    if (fromFile) {
      last.key = KeyOf(line);
      list.append(last.key);
      held.push_back(last);
    } else if (!merge.Done()) {
      bool kept = false;
      merge.Feed(line, [&](std::int16_t slot) {
        if (!kept) held.push_back(HeldLine{last.bytes, last.lineNo, list[slot]});
        kept = true;
        pairs.emplace_back(slot, held.size() - 1);
      });
    }
  }
  if (fromFile) {
    // The list is complete only now; the merge runs over the lines kept.
    Merge full(list);
    for (std::size_t j = 0; j < held.size() && !full.Done(); ++j) {
      full.Feed(held[j].bytes, [&](std::int16_t slot) { pairs.emplace_back(slot, j); });
    }
  }
  const auto n = static_cast<std::int16_t>(list.size() - 1);

  // The newest training class is the one of the file's last racer.
  StoreReset(1);
  const auto parse = [&](std::int16_t slot, const HeldLine& line) {
    if (intRev == 0) {
      LineParse(slot, line);
    } else {
      LineParseOld2(slot, line);
    }
  };
  parse(1, last);
  lastYoseiKi_ = racers_[1].ints[iYoseiKi];

  StoreReset(n);
  for (const auto& [slot, j] : pairs) parse(slot, held[j]);
  IndexByNumber();
}

cSensyuFile cSensyuFile::Read(QByteArrayView bytes, QStringList& vntSensyuNo, std::int16_t intRev) {
  const bool fromFile = vntSensyuNo.isEmpty();
  QStringList list = fromFile ? QStringList{QString()} : vntSensyuNo;
  cSensyuFile racers;
  racers.LoadBytes(bytes, list, fromFile, intRev);
  if (fromFile) vntSensyuNo = std::move(list);
  return racers;
}

bool cSensyuFile::FileLoad(const QString& strFileName, QStringList& vntSensyuNo, std::int16_t intRev) {
  // A list with no elements at all asks for every racer and receives the file's numbers; the
  // caller's list changes only when the load succeeds.
  const bool fromFile = vntSensyuNo.isEmpty();
  QStringList list = fromFile ? QStringList{QString()} : vntSensyuNo;

  if (!FileExists(strFileName)) {
    Warn(kNotFound + QStringLiteral("\r\n") + strFileName);
    return false;
  }

  try {
    LoadBytes(ChosenFileRead(strFileName), list, fromFile, intRev);
  } catch (const RuntimeError& e) {
    Warn(e.description() + QStringLiteral("\r\n(Error code:") + QString::number(e.number()) + u')');
    StoreReset(1);
    return false;
  }
  if (fromFile) vntSensyuNo = std::move(list);
  return true;
}

bool cSensyuFile::FileLoadOld2(const QString& strFileName, QStringList& vntSensyuNo) {
  return FileLoad(strFileName, vntSensyuNo, 2);
}

QString cSensyuFile::GetSensyuFileVersion() const {
  QString s = QString::number(period_.Nen) + u'年';
  if (period_.Ki == 1) s += u'前';
  if (period_.Ki == 2) s += u'後';
  return s + u'期';
}

// Every slot is looked at (through the index of all of them), so a slot left empty by a number
// the file lacked can hide no other racer; the first slot holding the number answers. An empty
// number is no racer.
std::int16_t cSensyuFile::SensyuNoSearch(const QString& strSensyuNo) const {
  if (strSensyuNo.isEmpty()) return 0;
  const auto it = std::lower_bound(
      byNumber_.begin(), byNumber_.end(), strSensyuNo,
      [this](std::int16_t slot, const QString& no) { return racers_[static_cast<std::size_t>(slot)].SensyuNo < no; });
  return it != byNumber_.end() && racers_[static_cast<std::size_t>(*it)].SensyuNo == strSensyuNo ? *it : 0;
}

const cSensyuFile::Racer* cSensyuFile::Find(const QString& strSensyuNo) const {
  const std::int16_t slot = SensyuNoSearch(strSensyuNo);
  return slot == 0 ? nullptr : &racers_[static_cast<std::size_t>(slot)];
}

QString cSensyuFile::Text(const QString& strSensyuNo, TextField field) const {
  const Racer* r = Find(strSensyuNo);
  if (!r) return QString();
  const Span span = TextSpans()[static_cast<std::size_t>(field)];
  if (span.pos >= r->textEnd) return QString();  // the parse stopped before the field
  const qsizetype size = r->record.size();
  const qsizetype from = std::min(span.pos, size);
  return DecodeSjis(QByteArrayView(r->record).sliced(from, std::min<qsizetype>(span.width, size - from)));
}

std::int16_t cSensyuFile::Int(const QString& no, IntField field) const {
  const Racer* r = Find(no);
  return r ? r->ints[static_cast<std::size_t>(field)] : std::int16_t{0};
}

float cSensyuFile::Real(const QString& no, RealField field) const {
  const Racer* r = Find(no);
  return r ? r->reals[static_cast<std::size_t>(field)] : 0.0f;
}

namespace {

std::size_t CourseIntAt(std::int16_t course, int field) {
  return static_cast<std::size_t>(S::kRacerInts + (course - 1) * S::kCourseInts + field);
}

std::size_t CourseRealAt(std::int16_t course, int field) {
  return static_cast<std::size_t>(S::kRacerReals + (course - 1) * S::kCourseReals + field);
}

}  // namespace

std::int16_t cSensyuFile::CourseInt(const QString& no, std::int16_t intCourseNo, CourseIntField field) const {
  const Racer* r = Find(no);
  if (!r) return 0;
  CheckIndex(kCourseNo, intCourseNo, 1, kCourses);
  return r->ints[CourseIntAt(intCourseNo, field)];
}

float cSensyuFile::CourseReal(const QString& no, std::int16_t intCourseNo, CourseRealField field) const {
  const Racer* r = Find(no);
  if (!r) return 0;
  CheckIndex(kCourseNo, intCourseNo, 1, kCourses);
  return r->reals[CourseRealAt(intCourseNo, field)];
}

namespace {

// 16-bit sums and products fail as overflows rather than wrapping.
std::int16_t Checked(int v) {
  if (v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max()) {
    throw RuntimeError(ErrNo::Overflow, QStringLiteral("オーバーフローしました: %1").arg(v));
  }
  return static_cast<std::int16_t>(v);
}

// A rate in percent from a single-precision sum: divided and scaled once, rounded to single.
float Percent(float sum, std::int16_t divisor) {
  return static_cast<float>(static_cast<double>(sum) / static_cast<double>(divisor) * 100.0);
}

}  // namespace

float cSensyuFile::StratHatujyun(const QString& no) const {
  const Racer* r = Find(no);
  if (!r) return 0;
  float sum = 0;
  for (std::int16_t c = 1; c <= kCourses; ++c) sum += r->reals[CourseRealAt(c, cStartHatujyun)];
  return static_cast<float>(static_cast<double>(sum) / 6.0);
}

float cSensyuFile::InSisu(const QString& no) const {
  const Racer* r = Find(no);
  if (!r || r->ints[iSyussoTimes] == 0) return 0;
  float sum = 0;
  for (std::int16_t c = 1; c <= kCourses; ++c) {
    const std::int16_t term = Checked((7 - c) * r->ints[CourseIntAt(c, cSyussoTimes)]);
    sum += static_cast<float>(term);
  }
  return Percent(sum, Checked(r->ints[iSyussoTimes] * 6));
}

std::int16_t cSensyuFile::FTimes(const QString& no) const {
  const Racer* r = Find(no);
  if (!r) return 0;
  std::int16_t sum = 0;
  for (std::int16_t c = 1; c <= kCourses; ++c) sum = Checked(sum + r->ints[CourseIntAt(c, cF0)]);
  return sum;
}

std::int16_t cSensyuFile::LTimes(const QString& no) const {
  const Racer* r = Find(no);
  if (!r) return 0;
  std::int16_t sum = 0;
  for (std::int16_t c = 1; c <= kCourses; ++c) {
    sum = Checked(sum + r->ints[CourseIntAt(c, cL0)]);
    sum = Checked(sum + r->ints[CourseIntAt(c, cL1)]);
  }
  sum = Checked(sum + r->ints[iOutsideCourseL0Times]);
  return Checked(sum + r->ints[iOutsideCourseL1Times]);
}

std::int16_t cSensyuFile::LastYoseiKi() const { return lastYoseiKi_; }
std::int16_t cSensyuFile::OutsideCourseK0Times(const QString& no) const { return Int(no, iOutsideCourseK0Times); }
std::int16_t cSensyuFile::OutsideCourseK1Times(const QString& no) const { return Int(no, iOutsideCourseK1Times); }
std::int16_t cSensyuFile::OutsideCourseL1Times(const QString& no) const { return Int(no, iOutsideCourseL1Times); }
std::int16_t cSensyuFile::OutsideCourseL0Times(const QString& no) const { return Int(no, iOutsideCourseL0Times); }
std::int16_t cSensyuFile::YoseiKi(const QString& no) const { return Int(no, iYoseiKi); }
namespace {
QString DecodeField(const QByteArray& record, qsizetype pos, int width) {
  const qsizetype size = record.size();
  const qsizetype from = std::min(pos, size);
  return DecodeSjis(QByteArrayView(record).sliced(from, std::min<qsizetype>(width, size - from)));
}
}  // namespace

QString cSensyuFile::YmdEnd() const {
  return DecodeField(period_.YmdEnd.record, period_.YmdEnd.pos, period_.YmdEnd.width);
}
QString cSensyuFile::YmdStart() const {
  return DecodeField(period_.YmdStart.record, period_.YmdStart.pos, period_.YmdStart.width);
}
std::int16_t cSensyuFile::Ki() const { return period_.Ki; }
std::int16_t cSensyuFile::Nen() const { return period_.Nen; }
std::int16_t cSensyuFile::AbilityOld(const QString& no) const { return Int(no, iAbilityOld); }
std::int16_t cSensyuFile::Ability(const QString& no) const { return Int(no, iAbility); }
QString cSensyuFile::ClassOld3(const QString& no) const { return Text(no, tClassOld3); }
QString cSensyuFile::ClassOld2(const QString& no) const { return Text(no, tClassOld2); }
QString cSensyuFile::ClassOld1(const QString& no) const { return Text(no, tClassOld1); }

std::int16_t cSensyuFile::CourseS2Times(const QString& no, std::int16_t c) const { return CourseInt(no, c, cS2); }
std::int16_t cSensyuFile::CourseS1Times(const QString& no, std::int16_t c) const { return CourseInt(no, c, cS1); }
std::int16_t cSensyuFile::CourseS0Times(const QString& no, std::int16_t c) const { return CourseInt(no, c, cS0); }
std::int16_t cSensyuFile::CourseK1Times(const QString& no, std::int16_t c) const { return CourseInt(no, c, cK1); }
std::int16_t cSensyuFile::CourseK0Times(const QString& no, std::int16_t c) const { return CourseInt(no, c, cK0); }
std::int16_t cSensyuFile::CourseL1Times(const QString& no, std::int16_t c) const { return CourseInt(no, c, cL1); }
std::int16_t cSensyuFile::CourseL0Times(const QString& no, std::int16_t c) const { return CourseInt(no, c, cL0); }
std::int16_t cSensyuFile::CourseF0Times(const QString& no, std::int16_t c) const { return CourseInt(no, c, cF0); }
std::int16_t cSensyuFile::Course6FinishTimes(const QString& no, std::int16_t c) const {
  return CourseInt(no, c, cFinish6);
}
std::int16_t cSensyuFile::Course5FinishTimes(const QString& no, std::int16_t c) const {
  return CourseInt(no, c, cFinish5);
}
std::int16_t cSensyuFile::Course4FinishTimes(const QString& no, std::int16_t c) const {
  return CourseInt(no, c, cFinish4);
}
std::int16_t cSensyuFile::Course1FinishTimes(const QString& no, std::int16_t c) const {
  return CourseInt(no, c, cFinish1);
}
std::int16_t cSensyuFile::Course2FinishTimes(const QString& no, std::int16_t c) const {
  return CourseInt(no, c, cFinish2);
}
std::int16_t cSensyuFile::Course3FinishTimes(const QString& no, std::int16_t c) const {
  return CourseInt(no, c, cFinish3);
}
float cSensyuFile::CourseStartHatujyun(const QString& no, std::int16_t c) const {
  return CourseReal(no, c, cStartHatujyun);
}
std::int16_t cSensyuFile::CourseSyussoTimes(const QString& no, std::int16_t c) const {
  return CourseInt(no, c, cSyussoTimes);
}
float cSensyuFile::CourseFSyoritu(const QString& no, std::int16_t c) const { return CourseReal(no, c, cFSyoritu); }
float cSensyuFile::CourseStartTiming(const QString& no, std::int16_t c) const {
  return CourseReal(no, c, cStartTiming);
}

std::int16_t cSensyuFile::Age(const QString& no) const { return Int(no, iAge); }
QString cSensyuFile::Birth(const QString& no) const { return Text(no, tBirth); }
QString cSensyuFile::Birthplace(const QString& no) const { return Text(no, tBirthplace); }
QString cSensyuFile::Blood(const QString& no) const { return Text(no, tBlood); }
QString cSensyuFile::Class(const QString& no) const { return Text(no, tClass); }
float cSensyuFile::FSyoritu(const QString& no) const { return Real(no, rFSyoritu); }
std::int16_t cSensyuFile::Height(const QString& no) const { return Int(no, iHeight); }
QString cSensyuFile::NameKana(const QString& no) const { return Text(no, tNameKana); }
QString cSensyuFile::NameKanji(const QString& no) const { return Text(no, tNameKanji); }

QString cSensyuFile::SensyuNo(std::int16_t Index) const {
  CheckIndex(kIndex, Index, 0, static_cast<long long>(racers_.size()) - 1);
  return racers_[static_cast<std::size_t>(Index)].SensyuNo;
}

std::int16_t cSensyuFile::Sex(const QString& no) const { return Int(no, iSex); }
std::int16_t cSensyuFile::Weight(const QString& no) const { return Int(no, iWeight); }
std::int16_t cSensyuFile::YusyoTimes(const QString& no) const { return Int(no, iYusyoTimes); }
std::int16_t cSensyuFile::YusyutuTimes(const QString& no) const { return Int(no, iYusyutuTimes); }
float cSensyuFile::Syoritu(const QString& no) const { return Real(no, rSyoritu); }
float cSensyuFile::StartTiming(const QString& no) const { return Real(no, rStartTiming); }
std::int16_t cSensyuFile::SyussoTimes(const QString& no) const { return Int(no, iSyussoTimes); }
std::int16_t cSensyuFile::TwoFinishTimes(const QString& no) const { return Int(no, iTwoFinishTimes); }
std::int16_t cSensyuFile::OneFinishTimes(const QString& no) const { return Int(no, iOneFinishTimes); }

float cSensyuFile::CourseRentairitu3(const QString& no, std::int16_t intCourseNo) const {
  const Racer* r = Find(no);
  if (!r) return 0;
  CheckIndex(kCourseNo, intCourseNo, 1, kCourses);
  const std::int16_t entries = r->ints[CourseIntAt(intCourseNo, cSyussoTimes)];
  if (entries == 0) return 0;
  float sum = 0;
  sum += static_cast<float>(r->ints[CourseIntAt(intCourseNo, cFinish1)]);
  sum += static_cast<float>(r->ints[CourseIntAt(intCourseNo, cFinish2)]);
  sum += static_cast<float>(r->ints[CourseIntAt(intCourseNo, cFinish3)]);
  return Percent(sum, entries);
}

float cSensyuFile::Rentairitu3(const QString& no) const {
  const Racer* r = Find(no);
  if (!r || r->ints[iSyussoTimes] == 0) return 0;
  float sum = 0;
  for (std::int16_t c = 1; c <= kCourses; ++c) {
    sum += static_cast<float>(r->ints[CourseIntAt(c, cFinish1)]);
    sum += static_cast<float>(r->ints[CourseIntAt(c, cFinish2)]);
    sum += static_cast<float>(r->ints[CourseIntAt(c, cFinish3)]);
  }
  return Percent(sum, r->ints[iSyussoTimes]);
}

}  // namespace tidewake
