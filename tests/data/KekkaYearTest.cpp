// A whole year of official days through both stores, as the window opens them: every programme and
// every results archive converts, every venue listed loads, and each race's result agrees with the
// same day's programme, with its own payouts and with the day's payout summary.

#include "data/ArchiveMember.h"
#include "data/cBangumiFile.h"
#include "data/cKekkaFile.h"

#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"

#include <QDir>

#include <gtest/gtest.h>

#include <map>

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString Code(int code) { return QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0')); }

constexpr std::array<Kakesiki, 4> kMatomeKinds = {Kakesiki::Sanrentan, Kakesiki::Sanrenfuku, Kakesiki::Nirentan,
                                                  Kakesiki::Nirenfuku};

struct Counts {
  int days = 0, venues = 0, races = 0, cancelled = 0, deadHeats = 0, voids = 0, tokubarai = 0, late = 0,
      noticeBlocks = 0, programmeVenues = 0;
};

// The boats placed 1.. in finishing order, as a combination ("3-1-4"), n boats long.
QString FirstBoats(const cKekkaFile& k, std::int16_t r, int n) {
  QStringList boats;
  for (std::int16_t j = 1; j <= k.BoatNumbers(r) && boats.size() < n; ++j) {
    if (k.TyakujyunNo(r, j) != 0) boats << QString::number(k.WakuNo(r, j));
  }
  return boats.join(u'-');
}

// One race of a loaded venue against the programme and its own payouts; counts what it holds.
void CheckRace(const cKekkaFile& k, const cBangumiFile& b, std::int16_t r, Counts& n) {
  SCOPED_TRACE(testing::Message() << r << "R");
  const RaceStatus status = k.Status(r);
  if (status == RaceStatus::Cancelled) ++n.cancelled;
  if (!k.RaceExists(r)) {
    EXPECT_EQ(k.BoatNumbers(r), 0);
    return;
  }
  // The boats as the programme lists them, boat by boat.
  ASSERT_LE(r, b.RaceNumbers());
  std::map<int, int> places;  // place -> boats with it
  for (std::int16_t j = 1; j <= k.BoatNumbers(r); ++j) {
    const std::int16_t waku = k.WakuNo(r, j);
    EXPECT_EQ(k.SensyuNo(r, j), b.SensyuNo(r, waku)) << "boat " << waku;
    if (k.TyakujyunNo(r, j) != 0) ++places[k.TyakujyunNo(r, j)];
    if (k.StartLate(r, j)) ++n.late;
  }
  for (std::int16_t waku = 1; waku <= 6; ++waku) {
    if (!b.SensyuNo(r, waku).isEmpty()) {
      EXPECT_GT(k.JyuniOfWaku(r, waku), 0) << "boat " << waku << " missing";
    }
  }
  // Every line of a race is placed: nothing the store keeps unread.
  EXPECT_TRUE(k.Bikou(r).isEmpty()) << k.Bikou(r).join(u'|').toStdString();
  bool deadHeat = false;
  for (const auto& [place, boats] : places) deadHeat = deadHeat || boats > 1;
  if (status == RaceStatus::Void) {
    ++n.voids;
    EXPECT_TRUE(places.empty()) << "a void race places no boat";
    for (int kind = 0; kind < kKakesikiCount; ++kind) {
      EXPECT_EQ(k.HaraimodosiNumbers(r, static_cast<Kakesiki>(kind)), 0);
    }
    return;
  }
  ASSERT_EQ(status, RaceStatus::Held);
  ++n.races;
  if (deadHeat) ++n.deadHeats;
  for (int kind = 0; kind < kKakesikiCount; ++kind) {
    for (std::int16_t i = 1; i <= k.HaraimodosiNumbers(r, static_cast<Kakesiki>(kind)); ++i) {
      if (k.Tokubarai(r, static_cast<Kakesiki>(kind), i)) ++n.tokubarai;
    }
  }
  // The first three places are the 3連単 combination; on a dead heat every combination paid is
  // one of the orders its places allow.
  if (k.Fuseiritu(r, Kakesiki::Sanrentan)) {
    EXPECT_LT(FirstBoats(k, r, 3).count(u'-'), 2) << "３連単 not paid with three places";
  } else if (!deadHeat) {
    ASSERT_EQ(k.HaraimodosiNumbers(r, Kakesiki::Sanrentan), 1);
    EXPECT_EQ(k.Kumiban(r, Kakesiki::Sanrentan, 1), FirstBoats(k, r, 3));
  } else {
    EXPECT_GE(k.HaraimodosiNumbers(r, Kakesiki::Sanrentan), 1);
    for (std::int16_t i = 1; i <= k.HaraimodosiNumbers(r, Kakesiki::Sanrentan); ++i) {
      const QStringList boats = k.Kumiban(r, Kakesiki::Sanrentan, i).split(u'-');
      ASSERT_EQ(boats.size(), 3);
      for (int pos = 0; pos < 3; ++pos) {
        const std::int16_t j = k.JyuniOfWaku(r, static_cast<std::int16_t>(boats[pos].toInt()));
        ASSERT_GT(j, 0);
        const int place = k.TyakujyunNo(r, j);
        EXPECT_TRUE(place >= 1 && place <= pos + 1) << boats.join(u'-').toStdString();
      }
    }
  }
  // The summary lists, per kind, what the race's own payouts list.
  for (Kakesiki kind : kMatomeKinds) {
    SCOPED_TRACE(cKekkaFile::KakesikiName(kind).toStdString());
    if (k.Fuseiritu(r, kind)) {
      EXPECT_EQ(k.MatomeNumbers(r, kind), 1);
      EXPECT_EQ(k.MatomeKumiban(r, kind), QStringLiteral("不成立"));
      continue;
    }
    ASSERT_EQ(k.MatomeNumbers(r, kind), k.HaraimodosiNumbers(r, kind));
    for (std::int16_t i = 1; i <= k.MatomeNumbers(r, kind); ++i) {
      EXPECT_EQ(k.MatomeKumiban(r, kind, i), k.Kumiban(r, kind, i));
      EXPECT_EQ(k.MatomeTokubarai(r, kind, i), k.Tokubarai(r, kind, i));
      // The summary prints no yen for a special payout.
      if (!k.MatomeTokubarai(r, kind, i)) {
        EXPECT_EQ(k.MatomeKingaku(r, kind, i), k.Kingaku(r, kind, i));
      }
    }
  }
}

}  // namespace

TEST(cKekkaFileYear, EveryDayOpensAndAgreesWithItsProgramme) {
  TIDEWAKE_SAMPLE_OR_SKIP(folder, QStringLiteral("year"));
  QStringList days = QDir(folder).entryList({QStringLiteral("k*.lzh")}, QDir::Files, QDir::Name);
#if defined(__SANITIZE_ADDRESS__)
  // Many times slower under the sanitizers: a day a month reads through the parsers, and the
  // table of real cases meets every kind.
  QStringList some;
  for (qsizetype i = 0; i < days.size(); i += 30) some << days[i];
  days = some;
  const bool whole = false;
#else
  const bool whole = true;
#endif
  TempAppFolder app;
  UnexpectedMessageBox noBox;
  Counts n;
  for (const QString& kFile : days) {
    SCOPED_TRACE(kFile.toStdString());
    const QString bFile = QDir(folder).filePath(u'b' + kFile.mid(1));
    cBangumiFile bangumi;
    cKekkaFile kekka;
    const ArchiveMember programme = ArchiveMemberRead(bFile, ArchiveKind::Programme);
    const ArchiveMember results = ArchiveMemberRead(QDir(folder).filePath(kFile), ArchiveKind::Results);
    ASSERT_TRUE(bangumi.FileConvBytes(programme.bytes, programme.name));
    ASSERT_TRUE(kekka.FileConvBytes(results.bytes, results.name));
    ++n.days;
    KyoteijyoTable bVenues, kVenues;
    QString bStore, kStore;
    ASSERT_TRUE(bangumi.KaisaiCheck(bVenues, bStore));
    ASSERT_TRUE(kekka.KaisaiCheck(kVenues, kStore));
    // The programme's cards read once from the day (as FileLoad reads each venue's).
    std::map<int, cBangumiFile::Card> cards;
    for (cBangumiFile::Card& c : cBangumiFile::ReadDay(programme.bytes)) cards[c.KyoteijyoCode.toInt()] = std::move(c);
    for (int code = 1; code <= 24; ++code) {
      // Every venue the programme lists has its card; the results then read against it.
      const bool card = !bVenues[code].isEmpty();
      if (card) {
        ++n.programmeVenues;
        ASSERT_TRUE(cards.count(code)) << code;
        bangumi = cBangumiFile(cards[code]);
      }
      if (kVenues[code].isEmpty()) continue;
      SCOPED_TRACE(code);
      ++n.venues;
      ASSERT_TRUE(kekka.FileLoad(Code(code), kStore));
      EXPECT_EQ(kekka.KyoteijyoCode(), Code(code));
      if (!kekka.Notice().isEmpty()) {
        ++n.noticeBlocks;
        for (std::int16_t r = 1; r <= 12; ++r) EXPECT_FALSE(kekka.RaceExists(r));
        continue;
      }
      ASSERT_TRUE(card) << "results of a venue the programme does not list";
      EXPECT_EQ(kekka.RaceDate(), bangumi.RaceDate());
      for (std::int16_t r = 1; r <= cKekkaFile::kMaxRace; ++r) CheckRace(kekka, bangumi, r, n);
    }
  }
  std::cout << "days " << n.days << ", venues " << n.venues << " (" << n.noticeBlocks << " not in yet), races "
            << n.races << ", cancelled " << n.cancelled << ", dead heats " << n.deadHeats << ", void " << n.voids
            << ", 特払い " << n.tokubarai << ", late starts " << n.late << "\n";
  if (whole) {
    EXPECT_EQ(n.days, 365);
    EXPECT_EQ(n.programmeVenues, 4682);
    EXPECT_EQ(n.venues, 4691);
    EXPECT_EQ(n.noticeBlocks, 9);
    EXPECT_EQ(n.races, 55513);
    EXPECT_EQ(n.cancelled, 664);
    EXPECT_EQ(n.deadHeats, 59);
    EXPECT_EQ(n.voids, 7);
    EXPECT_EQ(n.tokubarai, 39);
    EXPECT_EQ(n.late, 40);
  } else {
    EXPECT_GT(n.races, 0);
  }
}
