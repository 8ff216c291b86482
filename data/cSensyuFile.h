#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace tidewake {

// The racer store: the fan-handbook figures of the racers a meeting asks for, read from
// SENSYU.BRF (the fan-handbook text itself), answered by registration number. Slot k of a load
// belongs to the k-th requested number; slot 0 and the slots of numbers the file lacks hold the
// defaults (0 and empty text).
//
// A getter asked about a number that is not in the store answers its default. A per-course getter
// given a course outside 1..6 for a racer in the store, and SensyuNo(Index) outside 0..n, throw
// the subscript RuntimeError.
class cSensyuFile {
 public:
  cSensyuFile();

  // Loads the racers whose numbers stand at 1..upper bound of vntSensyuNo (element 0 is ignored;
  // the list must be ascending). An empty list asks for every racer of the file and receives the
  // file's numbers at 1..k. intRev 0 reads the current record layout, any other value the older
  // one. On failure a message box says why and the caller's list is left as it was.
  bool FileLoad(const QString& strFileName, QStringList& vntSensyuNo, std::int16_t intRev);
  bool FileLoadOld2(const QString& strFileName, QStringList& vntSensyuNo);
  // The racers of a handbook's bytes, read as FileLoad reads its file (the same list rules and
  // layouts). Throws RuntimeError where FileLoad would show a box.
  static cSensyuFile Read(QByteArrayView bytes, QStringList& vntSensyuNo, std::int16_t intRev = 0);
  // True when the line reads as one racer's record in either layout: long enough, and every
  // numeric field plain digits, as every record of a real fan handbook is.
  static bool ReadsAsRecord(QByteArrayView line);
  // The layout a record line is written in, judged by its data period: 0 the current one, 2 the
  // older one, -1 neither.
  static std::int16_t LayoutOf(QByteArrayView line);
  // The data period: "2026年後期".
  QString GetSensyuFileVersion() const;

  float StratHatujyun(const QString& strSensyuNo) const;
  float InSisu(const QString& strSensyuNo) const;
  std::int16_t FTimes(const QString& strSensyuNo) const;
  std::int16_t LTimes(const QString& strSensyuNo) const;
  std::int16_t LastYoseiKi() const;
  std::int16_t OutsideCourseK0Times(const QString& strSensyuNo) const;
  std::int16_t OutsideCourseK1Times(const QString& strSensyuNo) const;
  std::int16_t OutsideCourseL1Times(const QString& strSensyuNo) const;
  std::int16_t OutsideCourseL0Times(const QString& strSensyuNo) const;
  std::int16_t YoseiKi(const QString& strSensyuNo) const;
  QString YmdEnd() const;
  QString YmdStart() const;
  std::int16_t Ki() const;
  std::int16_t Nen() const;
  std::int16_t AbilityOld(const QString& strSensyuNo) const;
  std::int16_t Ability(const QString& strSensyuNo) const;
  QString ClassOld3(const QString& strSensyuNo) const;
  QString ClassOld2(const QString& strSensyuNo) const;
  QString ClassOld1(const QString& strSensyuNo) const;
  std::int16_t CourseS2Times(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t CourseS1Times(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t CourseS0Times(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t CourseK1Times(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t CourseK0Times(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t CourseL1Times(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t CourseL0Times(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t CourseF0Times(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t Course6FinishTimes(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t Course5FinishTimes(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t Course4FinishTimes(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t Course1FinishTimes(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t Course2FinishTimes(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t Course3FinishTimes(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  float CourseStartHatujyun(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t CourseSyussoTimes(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  float CourseFSyoritu(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  float CourseStartTiming(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  std::int16_t Age(const QString& strSensyuNo) const;
  QString Birth(const QString& strSensyuNo) const;
  QString Birthplace(const QString& strSensyuNo) const;
  QString Blood(const QString& strSensyuNo) const;
  QString Class(const QString& strSensyuNo) const;
  float FSyoritu(const QString& strSensyuNo) const;
  std::int16_t Height(const QString& strSensyuNo) const;
  QString NameKana(const QString& strSensyuNo) const;
  QString NameKanji(const QString& strSensyuNo) const;
  QString SensyuNo(std::int16_t Index) const;
  std::int16_t Sex(const QString& strSensyuNo) const;
  std::int16_t Weight(const QString& strSensyuNo) const;
  std::int16_t YusyoTimes(const QString& strSensyuNo) const;
  std::int16_t YusyutuTimes(const QString& strSensyuNo) const;
  float Syoritu(const QString& strSensyuNo) const;
  float StartTiming(const QString& strSensyuNo) const;
  std::int16_t SyussoTimes(const QString& strSensyuNo) const;
  std::int16_t TwoFinishTimes(const QString& strSensyuNo) const;
  std::int16_t OneFinishTimes(const QString& strSensyuNo) const;
  float CourseRentairitu3(const QString& strSensyuNo, std::int16_t intCourseNo) const;
  float Rentairitu3(const QString& strSensyuNo) const;

  static constexpr int kCourses = 6;

  // ---- How a slot is kept. Callers use the getters; the record layout tables name these.

  // The numeric figures of a racer, each at its index in the slot's arrays. The per-course ones
  // stand once per course: course c (1..6) of field f at kRacerInts + (c - 1) * kCourseInts + f.
  enum IntField : int {
    iSex,
    iAge,
    iHeight,
    iWeight,
    iOneFinishTimes,
    iTwoFinishTimes,
    iSyussoTimes,
    iYusyutuTimes,
    iYusyoTimes,
    iAbilityOld,
    iAbility,
    iYoseiKi,
    iOutsideCourseL0Times,
    iOutsideCourseL1Times,
    iOutsideCourseK0Times,
    iOutsideCourseK1Times,
    kRacerInts
  };
  enum CourseIntField : int {
    cSyussoTimes,
    cFinish1,
    cFinish2,
    cFinish3,
    cFinish4,
    cFinish5,
    cFinish6,
    cF0,
    cL0,
    cL1,
    cK0,
    cK1,
    cS0,
    cS1,
    cS2,
    kCourseInts
  };
  enum RealField : int { rSyoritu, rFSyoritu, rStartTiming, kRacerReals };
  enum CourseRealField : int { cFSyoritu, cStartTiming, cStartHatujyun, kCourseReals };

  // The text fields of a record other than the registration number.
  enum TextField : int {
    tNone = -1,
    tNameKanji,
    tNameKana,
    tBirthplace,
    tClass,
    tBirth,
    tBlood,
    tClassOld1,
    tClassOld2,
    tClassOld3,
    kTextFields
  };

  // One slot: the figures of one racer. Its text fields stay in the bytes of its line as read
  // and are decoded when asked for; `textEnd` is where the parse of the line stopped, so that a
  // text field from there on reads as the empty default.
  struct Racer {
    QString SensyuNo;
    QByteArray record;
    qsizetype textEnd = 0;
    std::array<std::int16_t, kRacerInts + kCourses * kCourseInts> ints{};
    std::array<float, kRacerReals + kCourses * kCourseReals> reals{};
  };

  // The values every line carries about the whole file: its data period.
  // The two dates stay in the bytes of the line they were read from.
  struct Period {
    struct Bytes {
      QByteArray record;
      qsizetype pos = 0;
      int width = 0;
    };
    std::int16_t Nen = 0, Ki = 0;
    Bytes YmdStart, YmdEnd;
  };

  // A line of the file as read, with where it stands.
  // `key` is its registration number as the merge matched it, when known.
  struct HeldLine {
    QByteArray bytes;
    int lineNo = 0;
    QString key;
  };

  // The bytes of a record that either layout reads; the rest of a longer line is never kept.
  static constexpr qsizetype kRecordBytes = 410;

 private:
  std::int16_t SensyuNoSearch(const QString& strSensyuNo) const;
  void StoreReset(std::int16_t n);
  void IndexByNumber();
  void LoadBytes(QByteArrayView bytes, QStringList& list, bool fromFile, std::int16_t intRev);
  void LineParse(std::int16_t slot, const HeldLine& line);
  void LineParseOld2(std::int16_t slot, const HeldLine& line);
  void Parse(std::int16_t slot, const HeldLine& line, std::int16_t intRev);

  // The slot of a number (nullptr when the number is not in the store) and its figures. The
  // course is checked only for a racer in the store.
  const Racer* Find(const QString& strSensyuNo) const;
  QString Text(const QString& strSensyuNo, TextField field) const;
  std::int16_t Int(const QString& strSensyuNo, IntField field) const;
  float Real(const QString& strSensyuNo, RealField field) const;
  std::int16_t CourseInt(const QString& strSensyuNo, std::int16_t intCourseNo, CourseIntField field) const;
  float CourseReal(const QString& strSensyuNo, std::int16_t intCourseNo, CourseRealField field) const;

  std::vector<Racer> racers_;  // slots 0..n once a load has sized them; empty before
  // The slots holding a number, ordered by number and, among equal numbers, by slot: a lookup
  // finds the first slot holding a number, as a search of every slot in order would.
  std::vector<std::int16_t> byNumber_;
  Period period_;
  std::int16_t lastYoseiKi_ = 0;
};

}  // namespace tidewake
