// Any bytes as a racer store, in both record layouts, read in memory through the store's reader
// (what a load reads once the file is in): the read answers the store or one RuntimeError, never
// crashes, and a failed read leaves the caller's list alone. A store read answers the period of its
// data and every getter of a sample of its racers; a racer is stored under the number the file's
// list gives him, and a number asked for is stored under itself or not at all.

#include "data/cSensyuFile.h"

#include "platform/RuntimeError.h"

#include "fuzz/data/FuzzSupport.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

namespace {

using tidewake::cSensyuFile;
using tidewake::RuntimeError;
namespace ErrNo = tidewake::ErrNo;

void Require(bool ok) {
  if (!ok) std::abort();
}

// The store the reader makes of `bytes` for `list`, or nothing when it refuses them (where a load
// shows its one warning); a refusal must say why and leave the list as it was.
std::optional<cSensyuFile> Load(QByteArrayView bytes, QStringList& list, std::int16_t rev) {
  const QStringList before = list;
  try {
    return cSensyuFile::Read(bytes, list, rev);
  } catch (const RuntimeError& e) {
    Require(!e.description().isEmpty() && list == before);
    return std::nullopt;
  }
}

// The racers asked about per load: each is asked some 150 getters, each of which looks the racer
// up, so asking all of a real handbook (1600 racers) would take a second per input. Six keep the
// first and the last racer and four between, and the target near a thousand inputs a second.
constexpr qsizetype kSample = 6;

// Up to kSample slots spread over 1..n, the first and the last among them.
QList<std::int16_t> SampleSlots(qsizetype n) {
  QList<std::int16_t> picked;
  const qsizetype count = std::min(n, kSample);
  for (qsizetype i = 0; i < count; ++i) {
    picked << static_cast<std::int16_t>(1 + (count == 1 ? 0 : i * (n - 1) / (count - 1)));
  }
  return picked;
}

bool InStore(const cSensyuFile& s, const QString& no, qsizetype count) {
  if (no.isEmpty()) return false;
  for (qsizetype k = 1; k <= count; ++k) {
    if (s.SensyuNo(static_cast<std::int16_t>(k)) == no) return true;
  }
  return false;
}

// A 16-bit sum may overflow with hostile counts: that is a reported failure, not a wrap.
template <typename Ask>
void MayOverflow(Ask ask) {
  try {
    (void)ask();
  } catch (const RuntimeError& e) {
    Require(e.number() == ErrNo::Overflow);
  }
}

// Every getter of one racer; the per-course ones at every course when `everyCourse`, else at the
// first and the last (the same field table serves all six, and each lookup costs as much as a
// whole field's parse).
void AskEverything(const cSensyuFile& s, const QString& no, bool inStore, bool everyCourse) {
  const QString texts[] = {s.NameKanji(no), s.NameKana(no),  s.Birthplace(no), s.Class(no),    s.Birth(no),
                           s.Blood(no),     s.ClassOld1(no), s.ClassOld2(no),  s.ClassOld3(no)};
  const float reals[] = {s.Syoritu(no), s.FSyoritu(no), s.StartTiming(no), s.Rentairitu3(no), s.StratHatujyun(no)};
  const std::int16_t ints[] = {s.Sex(no),
                               s.Age(no),
                               s.Height(no),
                               s.Weight(no),
                               s.OneFinishTimes(no),
                               s.TwoFinishTimes(no),
                               s.SyussoTimes(no),
                               s.YusyutuTimes(no),
                               s.YusyoTimes(no),
                               s.AbilityOld(no),
                               s.Ability(no),
                               s.YoseiKi(no),
                               s.OutsideCourseL0Times(no),
                               s.OutsideCourseL1Times(no),
                               s.OutsideCourseK0Times(no),
                               s.OutsideCourseK1Times(no)};
  MayOverflow([&] { return s.InSisu(no); });
  MayOverflow([&] { return s.FTimes(no); });
  MayOverflow([&] { return s.LTimes(no); });
  static constexpr std::int16_t kEvery[] = {1, 2, 3, 4, 5, 6}, kEnds[] = {1, cSensyuFile::kCourses};
  for (std::int16_t c : everyCourse ? std::span<const std::int16_t>(kEvery) : std::span<const std::int16_t>(kEnds)) {
    const float courseReals[] = {s.CourseFSyoritu(no, c), s.CourseStartTiming(no, c), s.CourseStartHatujyun(no, c),
                                 s.CourseRentairitu3(no, c)};
    const std::int16_t courseInts[] = {
        s.CourseSyussoTimes(no, c),  s.Course1FinishTimes(no, c), s.Course2FinishTimes(no, c),
        s.Course3FinishTimes(no, c), s.Course4FinishTimes(no, c), s.Course5FinishTimes(no, c),
        s.Course6FinishTimes(no, c), s.CourseF0Times(no, c),      s.CourseL0Times(no, c),
        s.CourseL1Times(no, c),      s.CourseK0Times(no, c),      s.CourseK1Times(no, c),
        s.CourseS0Times(no, c),      s.CourseS1Times(no, c),      s.CourseS2Times(no, c)};
    if (!inStore) {
      Require(std::all_of(std::begin(courseReals), std::end(courseReals), [](float v) { return v == 0; }));
      Require(std::all_of(std::begin(courseInts), std::end(courseInts), [](std::int16_t v) { return v == 0; }));
    }
  }
  // A course outside 1..6 is a subscript failure for a racer in the store, a default otherwise.
  for (std::int16_t c : {std::int16_t{0}, std::int16_t{7}}) {
    try {
      Require(s.CourseSyussoTimes(no, c) == 0 && s.CourseRentairitu3(no, c) == 0 && !inStore);
    } catch (const RuntimeError& e) {
      Require(e.number() == ErrNo::SubscriptOutOfRange && inStore);
    }
  }
  if (!inStore) {
    Require(std::all_of(std::begin(texts), std::end(texts), [](const QString& t) { return t.isEmpty(); }));
    Require(std::all_of(std::begin(reals), std::end(reals), [](float v) { return v == 0; }));
    Require(std::all_of(std::begin(ints), std::end(ints), [](std::int16_t v) { return v == 0; }));
  }
}

// The data period, as the window's title shows it.
void AskPeriod(const cSensyuFile& s) {
  const std::int16_t ki = s.Ki();
  Require(s.GetSensyuFileVersion() == QString::number(s.Nen()) + u'年' +
                                          (ki == 1   ? QStringLiteral("前")
                                           : ki == 2 ? QStringLiteral("後")
                                                     : QString()) +
                                          u'期');
  (void)s.YmdStart();
  (void)s.YmdEnd();
  (void)s.LastYoseiKi();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tidewake::fuzz::FuzzSetUp();
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  for (std::int16_t rev : {0, 2}) {
    QStringList every;
    const std::optional<cSensyuFile> all = Load(bytes, every, rev);
    if (!all) continue;
    const cSensyuFile& store = *all;
    Require(!every.isEmpty() && every[0].isEmpty());
    AskPeriod(store);
    const qsizetype n = every.size() - 1;
    // Each slot holds the number the list gives its line, or nothing when the file's lines are out
    // of order; in order, every slot is filled.
    const bool ascending = std::is_sorted(every.begin() + 1, every.end());
    for (qsizetype k = 1; k <= n; ++k) {
      const QString no = store.SensyuNo(static_cast<std::int16_t>(k));
      Require(no == every[k] || (no.isEmpty() && !ascending));
    }
    try {
      (void)store.SensyuNo(static_cast<std::int16_t>(n + 1));
      std::abort();
    } catch (const RuntimeError& e) {
      Require(e.number() == ErrNo::SubscriptOutOfRange);
    }
    const QList<std::int16_t> sample = SampleSlots(n);
    for (std::int16_t k : sample) AskEverything(store, every[k], InStore(store, every[k], n), k == sample.front());
    AskEverything(store, QString(), false, false);

    // A request as the window makes it, ascending: the sample with an empty number (which no line
    // holds) first and one number asked twice.
    QStringList asked;
    for (std::int16_t k : sample) asked << every[k];
    if (!asked.isEmpty()) asked << asked.front();
    asked << QString();
    asked.sort();
    asked.prepend(QString());
    const std::optional<cSensyuFile> some = Load(bytes, asked, rev);
    if (!some) continue;
    AskPeriod(*some);
    const qsizetype m = asked.size() - 1;
    for (qsizetype k = 1; k <= m; ++k) {
      const QString no = some->SensyuNo(static_cast<std::int16_t>(k));
      Require(no.isEmpty() || no == asked[k]);
      AskEverything(*some, asked[k], InStore(*some, asked[k], m), k == 1);
    }
  }
  return 0;
}
