#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tidewake {

// Meeting titles by venue code, as KaisaiCheck fills them: index 1..24, index 0 stays empty.
using KyoteijyoTable = std::array<QString, 25>;

// The programme store: the day's programme of every venue in BANGUMI.BRF, and the race card of
// one venue read from it (up to 12 races of six boats) with the values derived from it. Races
// are numbered 1..12 and boats 1..6; a getter given a number outside those ranges throws the
// subscript RuntimeError, and a race beyond RaceNumbers() answers empty texts and zeros.
class cBangumiFile {
 public:
  cBangumiFile();
  struct Card;
  // A store holding a card read by ReadDay (or kept elsewhere), as FileLoad would have loaded it.
  explicit cBangumiFile(Card card);

  // The participant list: index 0 empty, then the distinct racer numbers of the day, ascending.
  QStringList ParticipationSensyuNoAllGet() const;
  // Loads the card of the venue whose two-digit code is given. An empty file name means the store
  // in the program's folder, and the caller's variable receives that path. On failure a message
  // box says why, and the card loaded before stays as it was.
  bool FileLoad(const QString& strKyoteijyoCode, QString& strFileName);
  // Writes each meeting title found in the store into the caller's table by venue code. Entries
  // written before a failure stay; the table is not emptied first.
  bool KaisaiCheck(KyoteijyoTable& strKyoteijyoTable, QString& strFileName);
  // Turns a day's programme text into the store BANGUMI.BRF in the program's folder.
  bool FileConv(const QString& strFileName);
  // The same conversion from a programme's bytes as read (the member of an official archive);
  // the store gets exactly the kept lines of these bytes, and messages name `strSourceName`.
  bool FileConvBytes(const QByteArray& bytes, const QString& strSourceName);
  std::int16_t SensyuNoToIndex(const QString& strSensyuNo) const;
  float Tansyoritu(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  QString ParticipationSenyuNo(std::int16_t Index) const;
  std::int16_t VoteType(std::int16_t intRaceNo) const;
  std::int16_t TotalDay() const;
  std::int16_t TokutenrituOrder(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  float Tokutenritu(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  std::int16_t Hayami(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  QString Seiseki(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  float BoatFSyoritu(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  QString BoatNo(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  float MotorFSyoritu(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  QString MotorNo(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  float SensyuTochiFSyoritu(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  float SensyuTochiSyoritu(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  float SensyuZenkokuFSyoritu(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  float SensyuZenkokuSyoritu(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  QString SensyuClass(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  QString SensyuBirthplace(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  std::int16_t SensyuWeight(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  std::int16_t SensyuAge(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  QString SensyuName(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  QString SensyuNo(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  std::int16_t ParticipationNumbers() const;
  QString RaceTitle(std::int16_t intRaceNo) const;
  QString RaceDate() const;
  QString Title() const;
  QString TitleLong() const;
  std::int16_t RaceNumbers() const;
  QString KyoteijyoCode() const;
  QString ClosingHour(std::int16_t intRaceNo) const;
  bool CourseFix(std::int16_t intRaceNo) const;
  QString IndexToSenyuName(std::int16_t intIndex) const;
  QString IndexToSenyuClass(std::int16_t intIndex) const;
  float IndexToSenyuZenkokuSyoritu(std::int16_t intIndex) const;
  float IndexToSenyuZenkokuFSyoritu(std::int16_t intIndex) const;
  float IndexToTokutenritu(std::int16_t intIndex) const;

  static constexpr int kMaxRace = 12;
  static constexpr int kBoats = 6;

  // One boat's entrant of one race, as cut from its line of the store.
  struct Entrant {
    QString SensyuNo, SensyuName, SensyuBirthplace, SensyuClass, MotorNo, BoatNo, Seiseki;
    std::int16_t SensyuAge = 0, SensyuWeight = 0, Hayami = 0, TokutenrituOrder = 0;
    float SensyuZenkokuSyoritu = 0, SensyuZenkokuFSyoritu = 0, SensyuTochiSyoritu = 0, SensyuTochiFSyoritu = 0;
    float MotorFSyoritu = 0, BoatFSyoritu = 0, Tokutenritu = 0, Tansyoritu = 0;
  };

  struct Race {
    QString RaceTitle, ClosingHour;
    std::int16_t VoteType = 0;
    bool CourseFix = false;
    std::array<Entrant, kBoats> boats;
  };

  // A racer's results so far in the meeting (今節成績) in points, as the 得点率 counts them: 10, 8,
  // 6, 4, 2, 1 for places 1..6, -10 for a flying or late start, 0 for other races counted.
  struct SeriesPoints {
    int Total = 0, Races = 0;
  };
  static SeriesPoints SeisekiPoints(QStringView seiseki);
  // The points rate (得点率) of the results so far as printed (blanks around them allowed): the
  // points over the races counted, 0 with none.
  static float TokutenrituOf(QStringView seiseki);
  // The boats' win shares (単勝率) in percent from their national win rates, motor rates and, on
  // the middle days of a meeting (day `totalDay`), points rates; none when every figure is 0.
  static std::optional<std::array<float, kBoats>> WinShares(const Race& race, std::int16_t totalDay);

  // The whole card of one venue.
  struct Card {
    QString KyoteijyoCode, Title, TitleLong, RaceDate;
    std::int16_t TotalDay = 0, RaceNumbers = 0, ParticipationNumbers = 0;
    QStringList participants;  // index 0 empty
    std::array<Race, kMaxRace> races;
    // The block's own text when it has no race yet ("この場のデータ更新は、いましばらくお待ちください。"),
    // its lines joined by line feeds; empty for a block with races.
    QString Notice;
  };

  // Every venue block of a programme text, in file order, each with every derived value computed
  // as FileLoad computes it. The text is the day's file as downloaded or the store's kept lines
  // (both read alike). A block with no race gives a card with RaceNumbers 0 and its Notice.
  // Throws RuntimeError naming the line, the field and the text found; nothing is kept then.
  static std::vector<Card> ReadDay(QByteArrayView bytes);

  // The store's bytes for a programme text, as a conversion writes them: every line the store
  // keeps, as read and ended by CR LF, once the whole text was read as ReadDay reads it (leaving
  // out what only a card on show needs). Throws what ReadDay throws, with `sourceName` after the
  // description, and refuses a text with no venue block.
  static QByteArray StoreBytes(QByteArrayView bytes, const QString& sourceName);

  // The card on show.
  const Card& card() const { return card_; }

 private:
  const Race& RaceAt(std::int16_t intRaceNo) const;
  const Entrant& At(std::int16_t intRaceNo, std::int16_t intWakuNo) const;
  const Entrant* FirstSlotOf(std::int16_t intIndex) const;

  Card card_;
};

}  // namespace tidewake
