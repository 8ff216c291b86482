// The whole shared year of official archives (365 programmes and 365 results, as downloaded),
// converted into the stores as the window does it (the file read once and unpacked, its kind told
// from its bytes, FileConvBytes of programme and results: every line read and checked, then the
// store replaced whole and synced), next to the least any reader must do: unpack each archive and
// decode its lines once.
//
// The figure is the CPU time: the sync of each store waits on the disk, which the wall time shows
// beside it and which no reader can shorten.

#include "data/ArchiveMember.h"
#include "data/ProgrammeOpen.h"
#include "data/cBangumiFile.h"
#include "data/cKekkaFile.h"
#include "data/mDayFile.h"

#include "bench/data/BenchSupport.h"

#include <QDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tidewake;

const QString kYear = QStringLiteral(TIDEWAKE_SHARED_DATA "/year");

struct Archive {
  QString path;
  ArchiveKind kind;
};

// The year's archives, programmes and results, in date order; empty (and the benchmark skipped)
// when the folder is absent.
std::vector<Archive> YearArchives(benchmark::State& state) {
  std::vector<Archive> out;
  if (!bench::HaveSample(state, kYear)) return out;
  const QStringList names = QDir(kYear).entryList({QStringLiteral("*.lzh")}, QDir::Files, QDir::Name);
  for (const QString& name : names) {
    out.push_back({kYear + u'/' + name, name.startsWith(u'b') ? ArchiveKind::Programme : ArchiveKind::Results});
  }
  if (out.size() != 730) state.SkipWithError("the shared year does not hold 730 archives");
  return out;
}

void Baseline_UnpackAndDecodeYear(benchmark::State& state) {
  const std::vector<Archive> year = YearArchives(state);
  if (year.empty()) return;
  for (auto _ : state) {
    qsizetype chars = 0;
    for (const Archive& a : year) {
      const ArchiveMember member = ArchiveMemberRead(a.path, a.kind);
      LineReader lines(member.bytes);
      QByteArrayView line;
      while (lines.Next(line)) chars += DecodeSjis(line).size();
    }
    benchmark::DoNotOptimize(chars);
  }
  state.counters["archives"] = static_cast<double>(year.size());
}
BENCHMARK(Baseline_UnpackAndDecodeYear)->Unit(benchmark::kMillisecond)->Iterations(2);

void ConvertYear(benchmark::State& state) {
  const std::vector<Archive> year = YearArchives(state);
  if (year.empty()) return;
  bench::TempProgramFolder folder;
  cBangumiFile bangumi;
  cKekkaFile kekka;
  for (auto _ : state) {
    int converted = 0;
    for (const Archive& a : year) {
      if (a.kind == ArchiveKind::Programme) {
        converted += ProgrammeOpen(bangumi, a.path);  // what "番組ﾌｧｲﾙを開く" runs
      } else {
        // What "成績ﾌｧｲﾙを開く" runs before its store is replaced.
        const DayFile file = DayFileOpen(a.path, ArchiveKind::Results);
        converted +=
            WrongKindText(file.kind, ArchiveKind::Results).isEmpty() && kekka.FileConvBytes(file.bytes, file.name);
      }
    }
    if (converted != static_cast<int>(year.size())) state.SkipWithError("a day of the year failed to convert");
  }
  state.counters["archives"] = static_cast<double>(year.size());
}
BENCHMARK(ConvertYear)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

namespace {

// The parts of a conversion, on the year's members unpacked beforehand.
std::vector<std::pair<ArchiveKind, QByteArray>> Members(benchmark::State& state) {
  std::vector<std::pair<ArchiveKind, QByteArray>> out;
  for (const Archive& a : YearArchives(state)) out.emplace_back(a.kind, ArchiveMemberRead(a.path, a.kind).bytes);
  return out;
}

void Year_DecodeOnly(benchmark::State& state) {
  const auto members = Members(state);
  for (auto _ : state) {
    qsizetype chars = 0;
    for (const auto& [kind, bytes] : members) {
      LineReader lines(bytes);
      QByteArrayView line;
      while (lines.Next(line)) chars += DecodeSjis(line).size();
    }
    benchmark::DoNotOptimize(chars);
  }
}
BENCHMARK(Year_DecodeOnly)->Unit(benchmark::kMillisecond)->Iterations(2);

void Year_ReadProgrammes(benchmark::State& state) {
  const auto members = Members(state);
  for (auto _ : state) {
    for (const auto& [kind, bytes] : members) {
      if (kind == ArchiveKind::Programme) benchmark::DoNotOptimize(cBangumiFile::ReadDay(bytes));
    }
  }
}
BENCHMARK(Year_ReadProgrammes)->Unit(benchmark::kMillisecond)->Iterations(2);

void Year_ReadResults(benchmark::State& state) {
  const auto members = Members(state);
  for (auto _ : state) {
    int venues = 0;
    for (const auto& [kind, bytes] : members) {
      if (kind == ArchiveKind::Results) cKekkaFile::ReadAll(bytes, [&](const cKekkaFile::Venue&) { ++venues; });
    }
    benchmark::DoNotOptimize(venues);
  }
}
BENCHMARK(Year_ReadResults)->Unit(benchmark::kMillisecond)->Iterations(2);

// The conversion's parts one by one, on the members unpacked beforehand: each kind's check (every
// line read, nothing kept for a card) and the stores' safe replacement (written, synced, renamed).
void Year_CheckProgrammes(benchmark::State& state) {
  const auto members = Members(state);
  for (auto _ : state) {
    qsizetype kept = 0;
    for (const auto& [kind, bytes] : members) {
      if (kind == ArchiveKind::Programme) kept += cBangumiFile::StoreBytes(bytes, QString()).size();
    }
    benchmark::DoNotOptimize(kept);
  }
}
BENCHMARK(Year_CheckProgrammes)->Unit(benchmark::kMillisecond)->Iterations(10);

void Year_CheckResults(benchmark::State& state) {
  const auto members = Members(state);
  for (auto _ : state) {
    for (const auto& [kind, bytes] : members) {
      if (kind == ArchiveKind::Results) cKekkaFile::Check(bytes, QString());
    }
  }
}
BENCHMARK(Year_CheckResults)->Unit(benchmark::kMillisecond)->Iterations(10);

void Year_ReplaceStores(benchmark::State& state) {
  const auto members = Members(state);
  bench::TempProgramFolder folder;
  for (auto _ : state) {
    for (const auto& [kind, bytes] : members) {
      StoreReplace(kind == ArchiveKind::Programme ? QStringLiteral("BANGUMI.BRF") : QStringLiteral("KEKKA.BRF"), bytes,
                   QStringLiteral("bench"));
    }
  }
}
BENCHMARK(Year_ReplaceStores)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
