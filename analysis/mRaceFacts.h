#pragma once

#include "history/RirekiResults.h"

#include <QString>

#include <array>
#include <cstdint>

// What the pages read off a race of the results the same way everywhere: the winning technique,
// which boats' bets were refunded, the race-number, wind and race-name bands.
namespace tidewake::mRaceFacts {

// The winning techniques the results print, in their usual order; Other for a race without one.
enum class Kimarite { Nige, Sashi, Makuri, Makurizashi, Nuki, Megumare, Other };
inline constexpr int kKimarite = 6;  // the named ones
Kimarite KimariteOf(const QString& printed);
QString KimariteName(Kimarite k);  // "逃げ" .. "恵まれ", "その他"

// A boat whose bets were refunded: it flew (F), started late (L) or was withdrawn (K).
bool Refunded(const ResultBoat& boat);
// In the water at the start: it has an entry course.
inline bool Started(const ResultBoat& boat) { return boat.Course >= 1 && boat.Course <= 6; }
// The boat that entered `course`, nullptr when none did.
const ResultBoat* BoatInCourse(const ResultRace& race, int course);
// The boat of number `waku`, nullptr when the results do not list it.
const ResultBoat* BoatOf(const ResultRace& race, int waku);

// Race numbers in three bands: 1–4R, 5–8R, 9–12R.
inline constexpr int kRaceBands = 3;
int RaceBand(int raceNo);  // 0..2, -1 outside 1..12
QString RaceBandName(int band);

// Wind speed in four bands: 0–2 m, 3–4 m, 5–6 m, 7 m and more.
inline constexpr int kWindBands = 4;
int WindBand(int metres);
QString WindBandName(int band);

// Races by name: 予選 (any name with 予選), 一般, 特選・選抜 (特選, 選抜, 特賞, 特別, ドリーム),
// 準優勝戦, 優勝戦, その他 (the names a venue gives its other races).
enum class RaceClass { Yosen, Ippan, Tokusen, Junyusyo, Yusyo, Other };
inline constexpr int kRaceClasses = 6;
RaceClass RaceClassOf(const QString& raceName);
QString RaceClassName(RaceClass c);

// One start counted into a tally of the rates' counts: Starts, Wins, Top2 and, where it keeps
// one, Top3; a start without a place (F, L, 失格...) counts as a start only.
template <class Tally>
void CountPlace(Tally& t, int place) {
  ++t.Starts;
  t.Wins += place == 1 ? 1 : 0;
  t.Top2 += place >= 1 && place <= 2 ? 1 : 0;
  if constexpr (requires { t.Top3; }) t.Top3 += place >= 1 && place <= 3 ? 1 : 0;
}

}  // namespace tidewake::mRaceFacts
