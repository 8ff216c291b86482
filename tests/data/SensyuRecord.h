#pragma once

// Fan-handbook records built byte by byte at the positions of the two record layouts, so that a
// test shows only the fields it is about. Every numeric field of a fresh record is plain digits
// and every text field is filled; Put overwrites a field with the bytes given.

#include <QByteArray>
#include <QList>
#include <QString>

namespace tidewake::test {

// Byte positions (from 0) of the current layout. The older layout is the same up to byte 173.
namespace fan {
constexpr int SensyuNo = 0, NameKanji = 4, NameKana = 20, Birthplace = 35, Class = 39, Birth = 41, Sex = 48, Age = 49,
              Height = 51, Weight = 54, Blood = 56, Syoritu = 58, FSyoritu = 62, OneFinish = 66, TwoFinish = 69,
              Syusso = 72, Yusyutu = 75, Yusyo = 77, StartTiming = 79;
// Course block A, course c = 1..6: entries (3), top-two rate (4), start timing (3), start order (3).
constexpr int CourseA(int c) { return 82 + 13 * (c - 1); }
constexpr int ClassOld1 = 160, ClassOld2 = 162, ClassOld3 = 164, AbilityOld = 166, Ability = 170;
// Current layout only.
constexpr int Nen = 174, Ki = 178, YmdStart = 179, YmdEnd = 187, YoseiKi = 195;
// Course block B, course c: six finish counts of 3 bytes, then F, L0, L1, K0, K1, S0, S1, S2 of 2.
constexpr int CourseB(int c) { return 198 + 34 * (c - 1); }
constexpr int OutsideL0 = 402, OutsideL1 = 404, OutsideK0 = 406, OutsideK1 = 408;
constexpr int Width = 410;

// The older layout from byte 174 on.
namespace old {
constexpr int Nen = 174, Ki = 176, YmdStart = 177, YmdEnd = 183, YoseiKi = 189;
constexpr int CourseB(int c) { return 191 + 34 * (c - 1); }
constexpr int OutsideL0 = 395, OutsideL1 = 397, OutsideK0 = 399, OutsideK1 = 401;
constexpr int Width = 403;
}  // namespace old
}  // namespace fan

// A current-layout record of racer `no`. Its fields, as a reader must find them:
//   name "試験　太郎　　　" (16 bytes), kana "ｼｹﾝ ﾀﾛｳ        " (15), birthplace "東京", class "A1",
//   birth "S550101", sex 1, age 45, height 168, weight 52, blood "O ", win rate 6.52, top-two
//   rate 45.2, first/second places 30/25, starts 100, finals 3, wins 1, start timing 0.17;
//   course c: entries {30,20,15,15,10,10}, top-two rate 50.c, start timing 0.1c, start order
//   2.c5 (2.15 .. 2.65); classes "A2" "B1" "B2"; abilities 5250 -> 52 and 5350 -> 54; period
//   2026 term 2, 20251101..20260430; training class 100; course c: k-th places c + k (k = 1..6),
//   F c, L0 1, L1 2, K0 3, K1 4, S0 5, S1 6, S2 7; outside L0 1, L1 2, K0 3, K1 4.
QByteArray CurrentRecord(const QByteArray& no);

// The same racer in the older layout: period "02", term 1, "020501".."021031", training class 85,
// and the same course block B and outside counts.
QByteArray OlderRecord(const QByteArray& no);

// Overwrites bytes pos.. of the record with `bytes` (the record grows with blanks when needed).
QByteArray Put(QByteArray record, int pos, const QByteArray& bytes);

// A record with its training class set (current layout).
QByteArray CurrentRecord(const QByteArray& no, int yoseiKi);

// The lines joined with CR LF, each ended by it.
QByteArray FanFile(const QList<QByteArray>& lines);

}  // namespace tidewake::test
