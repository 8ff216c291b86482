// Any bytes as a day's results, read in memory as the import and the conversion read them: the
// reader answers with the venues or one RuntimeError (the conversion's check with the same one),
// never crashes, and never leaves results that break their getters or their own rules (at most
// six boats, each boat and each course once).

#include "data/cKekkaFile.h"
#include "platform/RuntimeError.h"

#include "fuzz/data/FuzzSupport.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

void Require(bool ok) {
  if (!ok) std::abort();
}

void CheckVenue(const tidewake::cKekkaFile& k) {
  using tidewake::Kakesiki;
  for (std::int16_t r = 1; r <= tidewake::cKekkaFile::kMaxRace; ++r) {
    const int n = k.BoatNumbers(r);
    Require(n >= 0 && n <= 6);
    Require(!k.RaceExists(r) || n > 0);
    bool waku[7] = {}, course[7] = {};
    for (std::int16_t j = 1; j <= 6; ++j) {
      const int w = k.WakuNo(r, j);
      const int c = k.Course(r, j);
      Require(j > n ? w == 0 : w >= 1 && w <= 6 && !waku[w]);
      Require(c >= 0 && c <= 6 && (c == 0 || !course[c]));
      waku[w] = true;
      if (c != 0) course[c] = true;
      if (w != 0)
        Require(k.WakuCourse(r, static_cast<std::int16_t>(w)) == c &&
                k.JyuniOfWaku(r, static_cast<std::int16_t>(w)) == j);
      (void)k.Tyakujyun(r, j).size();
      (void)k.SensyuName(r, j).size();
      Require(k.StartTiming(r, j) >= 0.0f);
      Require(k.RaceTime(r, j).isEmpty() == (k.RaceTimeSeconds(r, j) == 0.0f) ||
              k.RaceTime(r, j) == QStringLiteral("0.00.0"));
    }
    for (int kind = 0; kind < tidewake::kKakesikiCount; ++kind) {
      const auto kk = static_cast<Kakesiki>(kind);
      for (std::int16_t i = 1; i <= k.HaraimodosiNumbers(r, kk); ++i) {
        Require(k.Kingaku(r, kk, i) >= 0);
        (void)k.Kumiban(r, kk, i).size();
      }
      (void)k.Fuseiritu(r, kk);
    }
    (void)k.MatomeKumiban(r, Kakesiki::Sanrentan).size();
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tidewake::fuzz::FuzzSetUp();
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString name = QStringLiteral("k.txt");
  // In memory, as a conversion reads the text before it replaces the store: no file, no sync.
  std::optional<QString> loaded, checked;
  try {
    for (const tidewake::cKekkaFile::Venue& v : tidewake::cKekkaFile::ReadFile(bytes, name)) {
      const int code = v.KyoteijyoCode.toInt();
      Require(code >= 1 && code <= 24);
      CheckVenue(tidewake::cKekkaFile(v));
    }
  } catch (const tidewake::RuntimeError& e) {
    Require(!e.description().isEmpty());
    loaded = e.description();
  }
  // The conversion's check, which keeps nothing and reads the fields it only checks from their
  // bytes, refuses exactly what the whole reading refuses, in the same words.
  try {
    tidewake::cKekkaFile::Check(bytes, name);
  } catch (const tidewake::RuntimeError& e) {
    checked = e.description();
  }
  Require(loaded == checked);
  return 0;
}
