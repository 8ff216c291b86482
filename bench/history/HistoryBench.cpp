// The history on the shared official archives, and on a long history simulated from them.
//
// ConvertYear_ThroughTheStores is the baseline: unpack the shared year's 730 archives and convert
// each through its store, as opening them one by one in the window does. ImportYear fills an empty
// database with them (target: at most twice the baseline, both in the process's processor time);
// its counter db_bytes is the size of the database. ImportYear_StoreOnly writes the same rows,
// held in memory, with nothing else: what SQLite alone costs. ImportSharedYears imports the 2½ shared years
// (911 days): its counter mb_per_year is the size a year of real days takes (target: at most 70 MB).
// OpenSharedYears opens that file as the window does. RecentRacesOfACard asks the six racers of one
// race card for their last six races (target: a median under 1 ms). DaysOfTheYear reads the year
// back as values.
//
// The *TenYears benchmarks use the 2½ years again eleven times, each copy three years earlier than
// the last (10,932 days, as many as the official archive holds): BuildTenYears makes that file
// (db_bytes), OpenTenYears opens it (target: 50 ms for 1,735 days), RecentRacesOfACardTenYears asks
// the same card's racers on it, and FitTenYears runs the console program's fit on all of it and
// reports the fit's own peak memory (peak_mb) and processor time (fit_cpu_s).
//
//   nice ./build/bench/history/history_bench
//   nice ./build/bench/history/history_bench --benchmark_filter=TenYears

#include "history/RirekiSimulate.h"
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

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <memory>

extern char** environ;

namespace {

using namespace tidewake;

const QString kYear = QStringLiteral(TIDEWAKE_SHARED_DATA "/year");
const QString kEarlier = QStringLiteral(TIDEWAKE_SHARED_DATA "/earlier");
const QString kDbName = QStringLiteral("RIREKI.DB");

bool HaveYear(benchmark::State& state) { return bench::HaveSample(state, kYear + QStringLiteral("/b220701.lzh")); }
bool HaveBoth(benchmark::State& state) {
  return HaveYear(state) && bench::HaveSample(state, kEarlier + QStringLiteral("/b210101.lzh"));
}

// A database imported from `paths`, made once and kept for the benchmarks after.
struct Kept {
  std::unique_ptr<QTemporaryDir> dir;
  QString path() const { return dir->filePath(kDbName); }
};
Kept gYear, gShared, gTenYears;

const Kept& Imported(Kept& kept, const QStringList& paths) {
  if (!kept.dir) {
    kept.dir = std::make_unique<QTemporaryDir>();
    cRirekiDb db(kept.path());
    ImportPaths(db, paths);
  }
  return kept;
}

const Kept& TenYears() {
  if (!gTenYears.dir) {
    const Kept& shared = Imported(gShared, {kEarlier, kYear});
    gTenYears.dir = std::make_unique<QTemporaryDir>();
    BuildShiftedHistory(shared.path(), gTenYears.path(), 11, 3);
  }
  return gTenYears;
}

std::size_t HeldDays(const QString& path) { return cRirekiDb(path, RirekiAccess::ReadOnly).HeldDays().size(); }

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
BENCHMARK(ConvertYear_ThroughTheStores)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->MeasureProcessCPUTime();

// Imports `paths` into an empty database; the last run's file is kept in `kept`.
void Import(benchmark::State& state, Kept& kept, const QStringList& paths) {
  for (auto _ : state) {
    state.PauseTiming();
    auto dir = std::make_unique<QTemporaryDir>();
    state.ResumeTiming();
    {
      cRirekiDb db(dir->filePath(kDbName));
      const ImportSummary s = ImportPaths(db, paths);
      if (!s.refused.empty()) state.SkipWithError("a file was refused");
    }
    state.PauseTiming();
    kept.dir = std::move(dir);
    state.ResumeTiming();
  }
  const double bytes = static_cast<double>(QFileInfo(kept.path()).size());
  const double days = static_cast<double>(HeldDays(kept.path()));
  state.counters["db_bytes"] = bytes;
  state.counters["days"] = days;
  state.counters["mb_per_year"] = bytes / 1e6 / (days / 365.25);
}

void ImportYear(benchmark::State& state) {
  if (HaveYear(state)) Import(state, gYear, {kYear});
}
BENCHMARK(ImportYear)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3)->MeasureProcessCPUTime();

// The floor under ImportYear: the same rows, read back from the imported year before the timed
// part, written into a new file with the same schema, pragmas and transactions of 32 files,
// range(0) rows to an INSERT; nothing read, parsed or looked up. What SQLite alone costs.
void ImportYear_StoreOnly(benchmark::State& state) {
  if (!HaveYear(state)) return;
  const HeldRows rows = ReadHeldRows(Imported(gYear, {kYear}).path());
  for (auto _ : state) {
    state.PauseTiming();
    auto dir = std::make_unique<QTemporaryDir>();
    state.ResumeTiming();
    cRirekiDb db(dir->filePath(kDbName));
    WriteHeldRows(db, rows, 32, static_cast<int>(state.range(0)));
  }
  state.counters["rows"] = static_cast<double>(rows.rows);
}
BENCHMARK(ImportYear_StoreOnly)
    ->Arg(1)
    ->Arg(6)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->MeasureProcessCPUTime();

void ImportSharedYears(benchmark::State& state) {
  if (HaveBoth(state)) Import(state, gShared, {kEarlier, kYear});
}
BENCHMARK(ImportSharedYears)->Unit(benchmark::kSecond)->Iterations(1)->MeasureProcessCPUTime();

// Opening the file as the window does, and closing it.
void Open(benchmark::State& state, const QString& path) {
  for (auto _ : state) cRirekiDb db(path);
  state.counters["days"] = static_cast<double>(HeldDays(path));
}

void OpenSharedYears(benchmark::State& state) {
  if (HaveBoth(state)) Open(state, Imported(gShared, {kEarlier, kYear}).path());
}
BENCHMARK(OpenSharedYears)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The six racers of the twelfth race of the first venue on a day late in the year, each asked for
// their last six races before it.
void RecentRaces(benchmark::State& state, const QString& path) {
  cRirekiDb db(path);
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

void RecentRacesOfACard(benchmark::State& state) {
  if (HaveYear(state)) RecentRaces(state, Imported(gYear, {kYear}).path());
}
BENCHMARK(RecentRacesOfACard)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The year read back as values.
void DaysOfTheYear(benchmark::State& state) {
  if (!HaveYear(state)) return;
  cRirekiDb db(Imported(gYear, {kYear}).path());
  std::size_t days = 0;
  for (auto _ : state) days = db.Days(QDate(2022, 7, 1), QDate(2023, 6, 30)).size();
  state.counters["days"] = static_cast<double>(days);
}
BENCHMARK(DaysOfTheYear)->Unit(benchmark::kSecond)->Iterations(1);

void BuildTenYears(benchmark::State& state) {
  if (!HaveBoth(state)) return;
  const Kept& shared = Imported(gShared, {kEarlier, kYear});
  for (auto _ : state) {
    gTenYears.dir = std::make_unique<QTemporaryDir>();
    BuildShiftedHistory(shared.path(), gTenYears.path(), 11, 3);
  }
  const double bytes = static_cast<double>(QFileInfo(gTenYears.path()).size());
  const double days = static_cast<double>(HeldDays(gTenYears.path()));
  state.counters["db_bytes"] = bytes;
  state.counters["days"] = days;
  state.counters["mb_per_year"] = bytes / 1e6 / (days / 365.25);
}
BENCHMARK(BuildTenYears)->Unit(benchmark::kSecond)->Iterations(1);

void OpenTenYears(benchmark::State& state) {
  if (HaveBoth(state)) Open(state, TenYears().path());
}
BENCHMARK(OpenTenYears)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void RecentRacesOfACardTenYears(benchmark::State& state) {
  if (HaveBoth(state)) RecentRaces(state, TenYears().path());
}
BENCHMARK(RecentRacesOfACardTenYears)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The console program's fit on every day, as a child whose own peak memory and processor time
// the system reports when it ends.
void FitTenYears(benchmark::State& state) {
  if (!HaveBoth(state)) return;
  const QString db = TenYears().path();
  QTemporaryDir out;
  const QByteArray program = QByteArrayLiteral(TIDEWAKE_HISTORY_CLI), database = db.toLocal8Bit(),
                   coefficients = out.filePath(QStringLiteral("WIN.TXT")).toLocal8Bit();
  const char* argv[] = {program.constData(),      "--database", database.constData(), "fit", "--force",
                        coefficients.constData(), nullptr};
  rusage usage{};
  int status = -1;
  for (auto _ : state) {
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0 ||
        wait4(child, &status, 0, &usage) != child) {
      state.SkipWithError("the console program did not run");
      return;
    }
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("the fit failed");
  state.counters["peak_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["fit_cpu_s"] = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                                static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  state.counters["days"] = static_cast<double>(HeldDays(db));
}
BENCHMARK(FitTenYears)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
