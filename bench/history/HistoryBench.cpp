// The history on the shared year of official archives.
//
// ConvertYear_ThroughTheStores is the baseline: unpack the same 730 archives and convert each
// through its store, as opening them one by one in the window does. ImportYear fills an empty
// database with them (target: at most twice the baseline); its counter db_bytes is the size of
// the database. RecentRacesOfACard asks the six racers of one race card for their last six races
// on the database holding the year (target: a median under 1 ms). DaysOfTheYear reads the year
// back as values, as the win model's fit does.
//
//   ./build/bench/history/history_bench --benchmark_repetitions=3

#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"

#include "bench/data/BenchSupport.h"
#include "data/ArchiveMember.h"
#include "data/mDayFile.h"
#include "platform/SjisText.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tidewake;

const QString kYear = QStringLiteral(TIDEWAKE_SHARED_DATA "/year");

bool HaveYear(benchmark::State& state) { return bench::HaveSample(state, kYear + QStringLiteral("/b220701.lzh")); }

void ConvertYear_ThroughTheStores(benchmark::State& state) {
  if (!HaveYear(state)) return;
  bench::TempProgramFolder folder;
  const QStringList files = ImportFiles({kYear});
  for (auto _ : state) {
    for (const QString& f : files) {
      if (QFileInfo(f).fileName().startsWith(u'b')) {
        cBangumiFile b;
        benchmark::DoNotOptimize(b.FileConvBytes(DayFileOpen(f, ArchiveKind::Programme).bytes, f));
      } else {
        cKekkaFile k;
        benchmark::DoNotOptimize(k.FileConvBytes(DayFileOpen(f, ArchiveKind::Results).bytes, f));
      }
    }
  }
  state.counters["files"] = static_cast<double>(files.size());
}
BENCHMARK(ConvertYear_ThroughTheStores)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// The database holding the year, kept for the queries after the import's first run.
std::unique_ptr<QTemporaryDir> gYearDir;

void ImportYear(benchmark::State& state) {
  if (!HaveYear(state)) return;
  qint64 bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto dir = std::make_unique<QTemporaryDir>();
    state.ResumeTiming();
    {
      cRirekiDb db(dir->filePath(QStringLiteral("RIREKI.DB")));
      const ImportSummary s = ImportPaths(db, {kYear});
      if (!s.refused.empty()) state.SkipWithError("a file was refused");
    }
    state.PauseTiming();
    bytes = QFileInfo(dir->filePath(QStringLiteral("RIREKI.DB"))).size();
    gYearDir = std::move(dir);
    state.ResumeTiming();
  }
  state.counters["db_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(ImportYear)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void RecentRacesOfACard(benchmark::State& state) {
  if (!HaveYear(state)) return;
  if (!gYearDir) {
    gYearDir = std::make_unique<QTemporaryDir>();
    cRirekiDb db(gYearDir->filePath(QStringLiteral("RIREKI.DB")));
    ImportPaths(db, {kYear});
  }
  cRirekiDb db(gYearDir->filePath(QStringLiteral("RIREKI.DB")));
  // The twelfth race of the first venue of a day late in the year.
  const QDate day(2023, 6, 20);
  const auto cards =
      cBangumiFile::ReadDay(DayFileOpen(kYear + QStringLiteral("/b230620.lzh"), ArchiveKind::Programme).bytes);
  QStringList racers;
  for (const auto& e : cards.at(0).races[11].boats) racers << e.SensyuNo;
  std::size_t found = 0;
  for (auto _ : state) {
    for (const QString& r : racers) found += db.RecentRaces(r, day, 6).size();
  }
  state.counters["races"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(RecentRacesOfACard)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The win model's fit reads the whole year back as values.
void DaysOfTheYear(benchmark::State& state) {
  if (!HaveYear(state)) return;
  if (!gYearDir) {
    gYearDir = std::make_unique<QTemporaryDir>();
    cRirekiDb db(gYearDir->filePath(QStringLiteral("RIREKI.DB")));
    ImportPaths(db, {kYear});
  }
  cRirekiDb db(gYearDir->filePath(QStringLiteral("RIREKI.DB")));
  std::size_t days = 0;
  for (auto _ : state) days = db.Days(QDate(2022, 7, 1), QDate(2023, 6, 30)).size();
  state.counters["days"] = static_cast<double>(days);
}
BENCHMARK(DaysOfTheYear)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
