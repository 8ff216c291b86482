#include "data/cBangumiFile.h"

#include "platform/RuntimeError.h"

namespace tidewake {

namespace {
const QString kRaceNo = QStringLiteral("レース番号");
const QString kWakuNo = QStringLiteral("艇番");
const QString kIndex = QStringLiteral("参加選手の番号");
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

bool cBangumiFile::FileLoad(const QString&, QString&) { return false; }

bool cBangumiFile::KaisaiCheck(KyoteijyoTable&, QString&) { return false; }

bool cBangumiFile::FileConv(const QString&) { return false; }

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
float cBangumiFile::SensyuZenkokuSyoritu(std::int16_t r, std::int16_t w) const {
  return At(r, w).SensyuZenkokuSyoritu;
}
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
