#include "tests/predict/PredictFixture.h"

#include "tests/data/ProgrammeText.h"
#include "tests/data/SensyuRecord.h"

#include "platform/mMyFunc.h"

#include <algorithm>
#include <map>

namespace tidewake::test {

namespace {
QByteArray Digits(int v, int width) {
  if (v < 0) return ("-" + QByteArray::number(-v).rightJustified(width - 1, '0'));
  return QByteArray::number(v).rightJustified(width, '0');
}
}  // namespace

QByteArray RacerRecord(const RacerSpec& r) {
  QByteArray rec = CurrentRecord(r.no, r.yoseiKi);
  rec = Put(rec, fan::Sex, Digits(r.sex, 1));
  rec = Put(rec, fan::Syusso, Digits(r.starts, 3));
  rec = Put(rec, fan::Ability, Digits(r.ability * 100, 4));
  for (int c = 1; c <= 6; ++c) {
    rec = Put(rec, fan::CourseA(c), Digits(r.entries[c - 1], 3));
    if (r.startTiming[c - 1]) rec = Put(rec, fan::CourseA(c) + 7, Digits(*r.startTiming[c - 1], 3));
    if (r.startOrder[c - 1]) rec = Put(rec, fan::CourseA(c) + 10, Digits(*r.startOrder[c - 1], 3));
  }
  return rec;
}

void PredictFixture::Load(const QString& code, const std::array<BoatSpec, 6>& boats,
                          const std::vector<RacerSpec>& others, const QString& headerExtra) {
  QStringList race{RaceHeader(1, headerExtra)};
  std::map<QByteArray, QByteArray> records;
  for (int b = 1; b <= 6; ++b) {
    const BoatSpec& boat = boats[static_cast<std::size_t>(b - 1)];
    EntrantFields f;
    f.boat = b;
    f.no = QString::fromLatin1(boat.racer.no);
    f.cls = boat.cls;
    f.motor2 = boat.motor;
    f.hayami = QStringLiteral("  ");  // no other race of the day
    race << EntrantLine(f);
    if (boat.racer.inStore) records[boat.racer.no] = RacerRecord(boat.racer);
  }
  for (const RacerSpec& r : others) records[r.no] = RacerRecord(r);
  WriteBytes(AppFilePath(QStringLiteral("BANGUMI.BRF")), SjisLines(Block(code, 1, {race})));
  QString name;
  ASSERT_TRUE(bangumi.FileLoad(code, name));

  QList<QByteArray> lines;
  for (const auto& [no, rec] : records) lines << rec;  // ascending, as the handbook is
  WriteBytes(AppFilePath(QStringLiteral("SENSYU.BRF")), FanFile(lines));
  QStringList list = bangumi.ParticipationSensyuNoAllGet();
  ASSERT_TRUE(sensyu.FileLoad(AppFilePath(QStringLiteral("SENSYU.BRF")), list, 0));
}

std::array<BoatSpec, 6> SpreadBoats() {
  std::array<BoatSpec, 6> boats;
  for (int b = 1; b <= 6; ++b) boats[static_cast<std::size_t>(b - 1)].racer.no = QByteArray::number(4000 + b);
  return boats;
}

}  // namespace tidewake::test
