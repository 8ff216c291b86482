#pragma once

#include <QString>

#include <exception>

namespace tidewake {

// Numbers of the run-time failures the program reports. They follow the classic run-time error
// numbers where one exists, so a message box reads "(Error code:13)" for a field that is not a
// number, whichever routine found it.
namespace ErrNo {
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int DivisionByZero = 11;
inline constexpr int TypeMismatch = 13;
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIo = 57;
inline constexpr int InputPastEnd = 62;
inline constexpr int PathFileAccess = 75;
// Failures of our own, for which no classic number fits.
inline constexpr int NotATextFile = 1001;
inline constexpr int EntrantBeforeRace = 1002;
inline constexpr int NoRaceInBlock = 1003;
inline constexpr int InconsistentHayami = 1004;
inline constexpr int VenueCodeOutOfRange = 1005;
inline constexpr int DateOutOfRange = 1006;
inline constexpr int TooManyRaces = 1007;
inline constexpr int FileTooLarge = 1008;
// Archives (the official .lzh downloads).
inline constexpr int NotAnArchive = 1021;
inline constexpr int ArchiveDamaged = 1022;
inline constexpr int ArchiveNoMember = 1023;
inline constexpr int ArchiveMemberTooLarge = 1024;
inline constexpr int ArchiveAmbiguous = 1025;
// The history database: each failure that is the database's, not a day file's, has its own
// number, so that an import stops at the first of them instead of trying every file.
inline constexpr int HistoryNotOurs = 1041;
inline constexpr int HistoryDamaged = 1042;
inline constexpr int HistoryNewer = 1043;
inline constexpr int HistoryLocked = 1044;
inline constexpr int HistoryReadOnly = 1045;
inline constexpr int HistoryFull = 1046;
inline constexpr int HistoryIo = 1047;
inline constexpr int HistoryMissing = 1048;
inline constexpr int HistoryCannotOpen = 1049;
inline constexpr int HistoryTooSlow = 1050;
constexpr bool IsHistoryFailure(int number) { return number >= HistoryNotOurs && number <= HistoryTooSlow; }
}  // namespace ErrNo

// A failure the way a run-time error would be one: a number and a description in Japanese that
// says what went wrong and where. The routine that reports it shows both in a message box.
class RuntimeError : public std::exception {
 public:
  RuntimeError(int number, QString description)
      : number_(number), description_(std::move(description)), what_(description_.toUtf8()) {}

  int number() const noexcept { return number_; }
  const QString& description() const noexcept { return description_; }
  const char* what() const noexcept override { return what_.constData(); }

  // The text the stores show: description, "(Error code:", number, ")".
  QString reportText() const;

 private:
  int number_;
  QString description_;
  QByteArray what_;
};

// The failure of a field of a line of a race file, its place counted in bytes of the line as
// the file holds it (the layouts are byte columns): "6 行目の年齢（16–17 バイト目）が数値ではありません:
// "5a"". `from` counts from 0, `width` is the field's width in bytes.
[[noreturn]] void ThrowField(int number, int lineNo, const QString& field, qsizetype from, qsizetype width,
                             const QString& what, const QString& found);

// The subscript failure of an index outside its range; `what` names the index ("レース番号").
[[noreturn]] void ThrowSubscript(const QString& what, long long value, long long low, long long high);

// Throws the subscript failure unless low <= value <= high.
inline void CheckIndex(const QString& what, long long value, long long low, long long high) {
  if (value < low || value > high) ThrowSubscript(what, value, low, high);
}

}  // namespace tidewake
