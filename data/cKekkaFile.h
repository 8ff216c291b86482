#pragma once

#include "data/cBangumiFile.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace tidewake {

// The kinds of bet a race pays out on, in the order the results print them.
enum class Kakesiki : std::int16_t { Tansyo, Fukusyo, Nirentan, Nirenfuku, Kakurenfuku, Sanrentan, Sanrenfuku };
inline constexpr int kKakesikiCount = 7;

// What the results say of a race: None, the file has no result for it (not yet run, or a block
// that holds no race); Held, run and paid out; Cancelled, called off ("中　止" in the day's payout
// summary, no section of its own); Void, run but not valid ("レース不成立": the boats and their
// timings are there, no payout).
enum class RaceStatus : std::int16_t { None, Held, Cancelled, Void };

// The results store: the day's official results (競走成績) of every venue in KEKKA.BRF, a byte copy
// of the results text, and the results of one venue read from it: per race the race name,
// distance, weather, wind, waves and winning technique, the boats in finishing order and the
// payouts.
//
// Races are numbered 1..12. Boats of a race are addressed two ways: by the line of the finishing
// order (intJyuni 1..BoatNumbers(race), first line the winner, then the other places, then the
// boats that did not finish or did not start), or by boat number (WakuCourse, JyuniOfWaku). A
// getter given a race outside 1..12 or a line outside 1..6 throws the subscript RuntimeError; a
// race the venue has no result for answers empty texts and zeros.
//
// Start timing: StartTiming is the figure as printed in seconds, always 0 or more; a flying start
// ("F0.01") has StartFlying true and StartTiming 0.01, the seconds the boat crossed early. A boat
// with no timing (withdrawn before the start: "K .") has StartTimingExists false and 0.
class cKekkaFile {
 public:
  static constexpr int kMaxRace = 12;
  static constexpr int kBoats = 6;

  // Copies a results text's bytes atomically (a temporary file renamed over it) to KEKKA.BRF in
  // the program's folder. The whole text is read as results first: a file that is not a results
  // file, or whose any venue fails to read, is refused with a message box and KEKKA.BRF is left
  // as it was.
  bool FileConv(const QString& strFileName);
  // The same from a results text already read (an archive's member); `strFileName` names it in
  // the messages.
  bool FileConvBytes(const QByteArray& bytes, const QString& strFileName);
  // Loads one venue's results. An empty file name means KEKKA.BRF in the program's folder (the
  // caller's variable receives the path); any other name is read directly. On failure a message
  // box names the line, the field and the text found, and the results loaded before stay.
  bool FileLoad(const QString& strKyoteijyoCode, QString& strFileName);
  // Writes each meeting title found in the store into the caller's table by venue code 1..24; a
  // block whose day is not in yet by its notice.
  bool KaisaiCheck(KyoteijyoTable& strKyoteijyoTable, QString& strFileName);

  QString KyoteijyoCode() const;
  // The venue's name as the results print it ("大　村").
  QString KyoteijyoName() const;
  QString Title() const;
  QString TitleLong() const;
  // "yyyy/mm/dd" as cBangumiFile::RaceDate gives it ("2024/01/01"); "0" before a load.
  QString RaceDate() const;
  // The day of the meeting (第 4日 gives 4).
  std::int16_t TotalDay() const;

  // The loaded venue has the boats of the race as run: Status Held or Void. False for a number
  // outside 1..12 rather than the subscript failure, so a caller can ask about any race. Ask
  // Status before reading places or payouts: a void race has boats but no winner.
  bool RaceExists(std::int16_t intRaceNo) const;
  // What the file says of the race; None for a number outside 1..12.
  RaceStatus Status(std::int16_t intRaceNo) const;
  QString RaceName(std::int16_t intRaceNo) const;
  bool CourseFix(std::int16_t intRaceNo) const;
  // Metres (1800).
  std::int16_t Kyori(std::int16_t intRaceNo) const;
  // Weather ("晴", "曇り", "雨"), wind direction ("北東", "無風"), wind in metres per second,
  // wave height in centimetres, winning technique ("逃げ", "まくり差し").
  QString Tenko(std::int16_t intRaceNo) const;
  QString KazeMuki(std::int16_t intRaceNo) const;
  std::int16_t Fusoku(std::int16_t intRaceNo) const;
  std::int16_t Hakou(std::int16_t intRaceNo) const;
  QString Kimarite(std::int16_t intRaceNo) const;

  // Lines of the finishing order (6, fewer when the race was run with fewer boats).
  std::int16_t BoatNumbers(std::int16_t intRaceNo) const;
  // Per line of the finishing order. Tyakujyun is the place text as printed: "01".."06" for a
  // place, "F", "L0", "K0", "K1", "S0", "S1", "S2" and the like otherwise, "00" for the boat left
  // alone in a void race.
  QString Tyakujyun(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  // The place 1..6 when Tyakujyun is one, else 0. Boats of a dead heat (同着) share a place, and
  // the place after them is skipped (01, 02, 03, 03, 05, 06).
  std::int16_t TyakujyunNo(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  std::int16_t WakuNo(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  QString SensyuNo(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  // Spaced out over eight characters as printed ("川　上　　昇　平").
  QString SensyuName(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  QString MotorNo(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  QString BoatNo(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  // Seconds (6.89); 0 when the boat has none.
  float TenjiTime(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  // The real entry course 1..6; 0 when the boat did not start.
  std::int16_t Course(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  float StartTiming(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  bool StartFlying(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  bool StartTimingExists(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  // The timing as printed ("0.08", "F0.01", "L1.99", "K ."); empty when none is printed.
  QString StartTimingText(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  // A late start: the timing printed with L ("L1.99", or "L ." with no figure) or the place L.
  bool StartLate(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  // As printed ("1.49.7"); empty when the boat did not finish.
  QString RaceTime(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  // The race time in seconds (109.7); 0 when the boat did not finish.
  float RaceTimeSeconds(std::int16_t intRaceNo, std::int16_t intJyuni) const;

  // By boat number 1..6: the line of the finishing order that holds the boat, 0 when absent.
  std::int16_t JyuniOfWaku(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  // The real entry course 1..6 of the boat; 0 when the boat did not start or is absent.
  std::int16_t WakuCourse(std::int16_t intRaceNo, std::int16_t intWakuNo) const;

  // The payouts of one kind of bet, in the order printed (複勝 two, 拡連複 three, every
  // combination of a dead heat). A kind the race did not pay (不成立) has Fuseiritu true and no
  // payouts.
  std::int16_t HaraimodosiNumbers(std::int16_t intRaceNo, Kakesiki kind) const;
  // The combination as printed ("1-3-6", "4"; empty for a special payout); the yen paid per 100
  // yen; the popularity rank (0 for 単勝 and 複勝, which print none, and for a special payout).
  QString Kumiban(std::int16_t intRaceNo, Kakesiki kind, std::int16_t intIndex) const;
  std::int32_t Kingaku(std::int16_t intRaceNo, Kakesiki kind, std::int16_t intIndex) const;
  std::int16_t Ninki(std::int16_t intRaceNo, Kakesiki kind, std::int16_t intIndex) const;
  // A special payout (特払い) in place of a combination: Kingaku is its yen when the file gives one.
  bool Tokubarai(std::int16_t intRaceNo, Kakesiki kind, std::int16_t intIndex) const;
  bool Fuseiritu(std::int16_t intRaceNo, Kakesiki kind) const;

  // The day's payout summary at the top of the venue's block (３連単, ３連複, ２連単, ２連複 only),
  // one entry per combination paid (a dead heat's further line adds one): the combination
  // ("不成立" when not paid, empty for a special payout) and the yen (0 when not paid or not
  // given). An index past the entries answers an empty text and 0.
  std::int16_t MatomeNumbers(std::int16_t intRaceNo, Kakesiki kind) const;
  QString MatomeKumiban(std::int16_t intRaceNo, Kakesiki kind, std::int16_t intIndex = 1) const;
  std::int32_t MatomeKingaku(std::int16_t intRaceNo, Kakesiki kind, std::int16_t intIndex = 1) const;
  bool MatomeTokubarai(std::int16_t intRaceNo, Kakesiki kind, std::int16_t intIndex = 1) const;

  // The block's own notice when it holds no race yet ("データは、この場の全レース終了後に登録
  // されます。"); empty otherwise.
  QString Notice() const;

  // Lines of a race the store keeps without reading them (notices such as a refund).
  QStringList Bikou(std::int16_t intRaceNo) const;

  // The name of a kind of bet as the results print it ("３連単").
  static QString KakesikiName(Kakesiki kind);

  struct Boat {
    QString Tyakujyun, SensyuNo, SensyuName, MotorNo, BoatNo, StartTimingText, RaceTime;
    std::int16_t TyakujyunNo = 0, WakuNo = 0, Course = 0;
    float TenjiTime = 0, StartTiming = 0, RaceTimeSeconds = 0;
    bool StartFlying = false, StartTimingExists = false, StartLate = false;
  };

  struct Haraimodosi {
    QString Kumiban;  // empty for a special payout
    std::int32_t Kingaku = 0;
    std::int16_t Ninki = 0;
    bool Tokubarai = false;
  };

  struct Matome {
    QString Kumiban;  // "不成立" when not paid, empty for a special payout
    std::int32_t Kingaku = 0;
    bool Tokubarai = false;
  };

  struct Race {
    bool Exists = false;  // the header was read
    RaceStatus Status = RaceStatus::None;
    QString RaceName, Tenko, KazeMuki, Kimarite;
    std::int16_t Kyori = 0, Fusoku = 0, Hakou = 0;
    bool CourseFix = false;
    std::vector<Boat> boats;  // finishing order
    std::array<std::vector<Haraimodosi>, kKakesikiCount> payouts;
    std::array<bool, kKakesikiCount> fuseiritu{};
    std::array<std::vector<Matome>, kKakesikiCount> matome;
    QStringList bikou;
  };

  struct Venue {
    QString KyoteijyoCode, KyoteijyoName, Title, TitleLong, RaceDate = QStringLiteral("0"), Notice;
    std::int16_t TotalDay = 0;
    std::array<Race, kMaxRace> races;
  };

  // Reads every venue block of a results text and hands each to `found` (the tests, the fuzzer and
  // FileConv use it), to be kept without a copy. Throws RuntimeError naming the line, the field
  // and the text found.
  static void ReadAll(QByteArrayView bytes, const std::function<void(Venue&&)>& found);
  // Every venue of a results text, read whole once (the day check, the store and the history
  // take these values). Throws RuntimeError, naming `strFileName`, for a file the conversion
  // would refuse.
  static std::vector<Venue> ReadFile(const QByteArray& bytes, const QString& strFileName);
  // Reads a results text as ReadFile does, keeping nothing of it: what a conversion runs before
  // the store is replaced. Throws what ReadFile throws.
  static void Check(const QByteArray& bytes, const QString& strFileName);
  // Replaces KEKKA.BRF with a results text already read whole and checked (ReadFile), atomically.
  // Throws RuntimeError when it cannot be written; the store is then as it was.
  static void Store(const QByteArray& bytes);

  cKekkaFile() = default;
  // A store holding a venue read by ReadAll, as FileLoad would have loaded it.
  explicit cKekkaFile(Venue venue) : venue_(std::move(venue)) {}

  // The venue loaded, whole.
  const Venue& venue() const { return venue_; }

 private:
  const Race& RaceAt(std::int16_t intRaceNo) const;
  const Boat& At(std::int16_t intRaceNo, std::int16_t intJyuni) const;
  const std::vector<Haraimodosi>& PayoutsAt(std::int16_t intRaceNo, Kakesiki kind) const;
  const Matome& MatomeAt(std::int16_t intRaceNo, Kakesiki kind, std::int16_t intIndex) const;

  Venue venue_;
};

}  // namespace tidewake
