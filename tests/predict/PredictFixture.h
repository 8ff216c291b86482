#pragma once

// A race card and a racer store written by the test: six entrants of race 1 at a chosen venue,
// and their fan-handbook records with the entries, start figures, sex and ability each test needs.

#include "data/cBangumiFile.h"
#include "data/cSensyuFile.h"

#include "tests/common/SampleFiles.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace tidewake::test {

// One racer as the prediction sees him. Unset start figures keep the fresh record's.
struct RacerSpec {
  QByteArray no;
  int starts = 20;
  std::array<int, 6> entries{4, 3, 3, 3, 3, 4};  // spread: type 0 ("自在"), inner index 58.3
  int sex = 1;
  int ability = 54;
  int yoseiKi = 100;
  std::array<std::optional<int>, 6> startTiming{};  // hundredths of a second, per course
  std::array<std::optional<int>, 6> startOrder{};   // hundredths, per course
  bool inStore = true;
};

// One boat of the card.
struct BoatSpec {
  RacerSpec racer;
  QString cls = QStringLiteral("B1");
  QString motor = QStringLiteral(" 30.22");  // the motor's top-two rate, six characters
};

// The record of a racer in the current layout.
QByteArray RacerRecord(const RacerSpec& r);

struct PredictFixture : ::testing::Test {
  TempAppFolder folder;
  cBangumiFile bangumi;
  cSensyuFile sensyu;

  // Writes race 1 of venue `code` with these boats and a store with their racers (and any
  // others given), then loads both as the window does: the card, then its participants.
  // `headerExtra` goes into the race header where a fixed-entry race says "進入固定".
  void Load(const QString& code, const std::array<BoatSpec, 6>& boats, const std::vector<RacerSpec>& others = {},
            const QString& headerExtra = QString());
};

// Six boats of spread racers 4001..4006.
std::array<BoatSpec, 6> SpreadBoats();

}  // namespace tidewake::test
