#pragma once

#include "data/ArchiveMember.h"
#include "data/cBangumiFile.h"
#include "data/cKekkaFile.h"
#include "data/cSensyuFile.h"
#include "data/mDayFile.h"
#include "history/cRirekiDb.h"
#include "predict/mEntryPredict.h"
#include "predict/mWinCard.h"
#include "predict/mWinCoefficients.h"
#include "predict/mWinModel.h"
#include "session/CardColumn.h"
#include "session/CourseTable.h"
#include "session/ResultsView.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

namespace tidewake {

// What the card shows: the built-in demo race; a day listed with no venue chosen (or a venue
// whose programme failed to load); a venue whose races are not published yet, with its notice;
// a race.
enum class CardState { Demo, NoVenue, Notice, Race };

// The results of the venue shown: none; another day's than the programme (they are not shown);
// the programme's day.
enum class ResultsState { None, OtherDay, ThisDay };

// A venue of the venue list: its code and the item's text ("24#   大村  ＧⅠ…").
struct VenueItem {
  std::int16_t code = 0;
  QString text;
  bool operator==(const VenueItem&) const = default;
};

// What a run takes of one boat: the card's figures and the course shown.
struct RunEntrant {
  float weight = 0;  // kg, never below 50
  float rate = 0, rate2 = 0, motor2 = 0, boat2 = 0;
  std::int16_t course = 0;
  QString name;
};

// The tooltip of a boat's row, as lines: the boat, why it is in its course, the racer's last
// races from the history (a table of date, venue, race, course, start, place).
struct BoatTip {
  QString title;        // "2号艇 湊　　翔太"
  QStringList reasons;  // the prediction's reasons; the course set by hand; "進入固定"
  QString recentTitle;  // "最近の6走:" or "（履歴なし）"; empty when the history says nothing
  std::vector<QStringList> recent;
  bool IsEmpty() const { return title.isEmpty(); }
  // The whole tip as plain lines.
  QString Text() const;
};

// The race line of race intRaceNo of the loaded card, as the card shows it beside the selectors:
// "7R 予選 1800m 締切予定 20:26 第１日 進入固定" (each part only when the programme gives it). What
// became of the race ("中止", "不成立") stands at its end in place of the closing time.
QString RaceLine(const cBangumiFile& card, std::int16_t intRaceNo, const QString& strOutcome = {});

// The 直前情報 of a race as the user types it: each boat's exhibition time ("6.78"; blank when
// not known) and the course it took in the start exhibition.
struct ExhibitionForm {
  std::array<QString, 6> times;                           // by boat 1..6 at [0..5]
  std::array<std::int16_t, 6> courses{1, 2, 3, 4, 5, 6};  // by boat 1..6 at [0..5]
  bool operator==(const ExhibitionForm&) const = default;
};

// Why a 直前 entry was refused: the words, and the boat whose field to correct (0: none) and
// whether it is its course (else its time).
struct ExhibitionRefusal {
  QString text;
  int boat = 0;
  bool course = false;
  bool IsEmpty() const { return text.isEmpty(); }
};

// The day the window shows, held in one place: the three stores, the day listed, the venue and
// the race chosen, the courses of the race shown, its prediction and win chances, the results and
// the history. The window draws what this holds and sends it what the user does; the signals say
// what changed. Everything here runs without a display.
class DaySession : public QObject {
  Q_OBJECT

 public:
  explicit DaySession(QObject* parent = nullptr);
  ~DaySession() override;

  // ---- What the user does

  // The built-in demo race, as at start-up. Its chances are left for UpdateChances, so that
  // nothing of the model holds up the first paint.
  void ShowDemo();
  // Ctrl+O: converts the programme (a text or its official archive) into the store, records it in
  // the history and opens the store. False when nothing changed (its box said why).
  bool OpenProgramme(const QString& strPath);
  // A programme already read (a dropped file).
  bool OpenProgramme(const DayFile& file);
  // Ctrl+B: lists the store's venues and shows the first venue's first race. False, after a box,
  // when there is no store or it cannot be read: everything stays as it was.
  bool OpenStore();
  // Lists the store's venues with none chosen.
  bool ListStore();
  // The days the history holds, newest first; empty (after a box) when it cannot be read.
  std::vector<HeldDay> HeldDays();
  // A day from the history: its programme's venues and its results, as they were recorded.
  bool OpenHistoryDay(QDate day);
  // Venue code 1..24 of the list; its first race. False when the venue is not listed, the demo
  // card is shown, or the programme cannot load it (the card is then emptied).
  bool ChooseVenue(std::int16_t intJyoCode);
  // Race 1..RaceNumbers of the venue shown, predicted with the predictor in use.
  bool ChooseRace(std::int16_t intRaceNo);
  // The predictor used from now on by choosing a race and by Predict.
  void SetPredictor(EntryPredictor predictor);
  // The race shown predicted again by `predictor`; 枠なり on the demo card or without the
  // racers the predictor needs.
  void Predict(EntryPredictor predictor);
  // Boat 1..6 put in course 1..6 by hand; the boat that held it takes its old course.
  void SetCourse(int boat, int course);
  // Every boat in its own number's course.
  void SetWakunari();
  // 選手ﾌｧｲﾙの更新: a fan handbook (a text or its archive) as the racer store; its period and
  // racers said in a box. False when nothing changed.
  bool InstallHandbook(const QString& strPath);
  bool InstallHandbook(const DayFile& file);
  // Ctrl+K: the day's results (read once: checked against the programme's day, stored, recorded
  // in the history from the same values, shown). False when nothing changed.
  bool OpenResults(const DayFile& file);
  // The history changed behind the session (an import): what was read from it is read again.
  void HistoryChanged();
  // The win model's coefficients from now on (fitted again, or those shipped).
  void SetCoefficients(const mWinCoefficients::Model& model);
  // Computes the chances of the race shown when they are not yet (after ShowDemo).
  void UpdateChances();
  // 直前情報を入力: the race shown's exhibition times and courses. Read and checked first: a time
  // that is not one or courses that are no permutation refuse the whole entry (nothing changes).
  // Taken: the card's courses are the exhibition's and its chances those after the exhibition,
  // for as long as the day is shown and when it is opened again (kept in the history).
  ExhibitionRefusal EnterExhibition(const ExhibitionForm& form);
  // Forgets the race shown's 直前 entries: the card goes back to the prediction before them.
  void ClearExhibition();

  // ---- What the window shows

  CardState State() const { return mState; }
  ResultsState Results() const { return mResults; }
  const std::vector<VenueItem>& Venues() const { return mVenues; }
  // The venue chosen (0 for none) and the race shown (0 for none).
  std::int16_t VenueCode() const { return mVenue; }
  std::int16_t RaceNo() const { return mRaceNo; }
  // The races of the venue shown (the demo: its race 12).
  std::vector<std::int16_t> Races() const;
  // The meeting's title, printed on the water by a run.
  QString MeetingTitle() const;
  // The date and venue line ("2024/1/1  大村競艇場"; a notice venue's name and notice).
  const QString& DayLine() const { return mDayLine; }
  // The race line: "7R 予選 1800m 締切予定 20:26 第１日 進入固定", and "中止" or "不成立" once
  // the results say so.
  QString RaceLine() const;
  // The handbook installed and the predictor in use.
  QString StatusText();
  // Boat 1..6's row; every cell empty without a race.
  CardRow Row(int boat) const;
  const CourseTable& Courses() const { return mCourses; }
  // The chances of the race shown; none without a race, or before UpdateChances after ShowDemo.
  const std::optional<mWinModel::RaceChances>& Chances() const { return mChances; }
  EntryPredictor Predictor() const { return mPredictor; }
  // A race of a day can take 直前 entries (not the demo, which has no day).
  bool CanEnterExhibition() const { return mState == CardState::Race; }
  // The race shown's 直前 entries; nothing when none were entered.
  std::optional<mWinFeatures::Exhibition> Exhibition() const;
  bool HasExhibition() const { return Exhibition().has_value(); }
  // What the 直前 form opens with: the entries of the race shown, else blank times and 枠なり.
  ExhibitionForm ExhibitionFormOfRace() const;
  // The tooltip of boat 1..6's chance: the odds at which its 単勝 breaks even, and how to read
  // them; empty without chances.
  QString BreakEvenTip(int boat) const;
  // The tooltip of boat 1..6's row; empty without a race.
  BoatTip Tip(int boat);
  // Ctrl+C: the race shown as tab-separated text (the race line, a header row, six boats).
  QString CopyText() const;
  // The results window's race.
  ResultsView ResultsOfRace();
  // What a run takes of the six boats (index boat - 1).
  std::array<RunEntrant, 6> RunEntrants() const;
  // The stores, as loaded for the venue shown.
  const cBangumiFile& Bangumi() const { return mBangumi; }
  const cSensyuFile& Sensyu() const { return mSensyu; }
  // The coefficients in use: the user's WIN.TXT when it reads whole, else those shipped (a
  // damaged file is said once).
  const mWinModel::Coefficients& Coefficients() { return Model().Before; }
  // The same with what they were fitted on.
  const mWinCoefficients::Model& Model();
  static QString CoefficientsPath();

  // The history for a command the user gave (an import, a fit): opened when needed; a failure is
  // said in a box every time and answers nullptr.
  cRirekiDb* HistoryForCommand();
  // How the history is opened: an older file is brought up to date first, which takes a while,
  // and the window gives an opener that shows it. Without one it is opened as it is. Throws
  // RuntimeError as cRirekiDb does.
  using HistoryOpener = std::function<std::unique_ptr<cRirekiDb>(const QString& path)>;
  void SetHistoryOpener(HistoryOpener opener) { mHistoryOpener = std::move(opener); }

  // The fan handbook installed: its period and number of racers.
  struct HandbookInfo {
    QString period;  // "2026年前期（2025/05/01～2025/10/31）"
    int racers = 0;
  };
  const std::optional<HandbookInfo>& Handbook();

 signals:
  // The venue list, the venue chosen or its races changed (the card too).
  void dayChanged();
  // The card's rows, courses, chances or race line changed.
  void cardChanged();
  // What the results window shows changed.
  void resultsChanged();
  // The status line changed.
  void statusChanged();

 private:
  enum class HistoryUse { Quiet, Record, Command };
  cRirekiDb* History(HistoryUse use);
  void Record(const ArchiveMember& member, ArchiveKind kind);
  void RecordResults(const DayFile& file, const std::vector<cKekkaFile::Venue>& venues);
  void SetDayLine(const QString& line);
  void ClearRace();
  void LoadRacers();
  void LoadVenueResults();
  const std::vector<cKekkaFile::Venue>* ResultsDay();
  std::optional<EntryPrediction> PredictRace(std::int16_t intRaceNo, EntryPredictor predictor);
  void ShowPrediction(const std::optional<EntryPrediction>& prediction, EntryPredictor predictor);
  void ReportFailure(const QString& strTitle, const QString& strText);
  void ComputeChances();
  void CardChanged();
  void HandbookInstalled();
  mWinCard::Records RaceRecords(std::int16_t intRaceNo);
  QString AccuracyText();
  QString WinText(bool withResults);
  QString LogLossText();
  QString DayDate() const;
  // The 直前 entries of the race shown: where they are kept, reading the day's from the history
  // once, and telling the status line when the race shown has them or no longer has them.
  using ExhibitionKey = std::tuple<qint64, std::int16_t, std::int16_t>;  // day, venue, race
  std::optional<ExhibitionKey> RaceKey() const;
  void ReadDayExhibitions();
  void ApplyExhibition();
  void RecordExhibition(const ExhibitionKey& key, const std::optional<mWinFeatures::Exhibition>& entry);
  void StatusFollowsExhibition();
  void CorrectExhibitionCourses();

  CardState mState = CardState::Demo;
  std::vector<VenueItem> mVenues;
  // The day's cards when it came from the history; the store's venues are loaded from
  // BANGUMI.BRF otherwise.
  std::optional<std::vector<cBangumiFile::Card>> mHistoryCards;
  std::int16_t mVenue = 0;
  std::int16_t mRaceNo = 0;
  QString mDayLine;
  cBangumiFile mBangumi;
  cSensyuFile mSensyu;
  bool mSensyuLoaded = false;
  bool mNoHandbookTold = false;
  std::optional<std::optional<HandbookInfo>> mHandbook;

  EntryPredictor mPredictor = EntryPredictor::Stat;
  CourseTable mCourses;
  // The prediction the courses came from, and by which predictor: the tooltip's reasons.
  std::optional<EntryPrediction> mPrediction;
  EntryPredictor mPredictedBy = EntryPredictor::Stat;
  std::optional<mWinModel::RaceChances> mChances;
  QStringList mReportedFailures;
  // The 直前 entries of the races of the days shown, and the days whose entries were read from
  // the history; whether the status line says 直前 now.
  std::map<ExhibitionKey, mWinFeatures::Exhibition> mExhibitions;
  std::set<qint64> mExhibitionDaysRead;
  bool mStatusSaysExhibition = false;

  // The day's results as values: read from KEKKA.BRF when first needed, or given by Ctrl+K or
  // the history; the venue shown's results cut from them.
  std::optional<std::vector<cKekkaFile::Venue>> mResultsDay;
  ResultsState mResults = ResultsState::None;
  cKekkaFile mKekka;

  // Caches, each emptied by the calls that change what it was computed from.
  std::array<std::optional<mWinCard::Records>, cBangumiFile::kMaxRace> mRecords;
  std::optional<mWinCoefficients::Model> mCoefficients;
  std::optional<QString> mAccuracy, mLogLoss;

  std::unique_ptr<cRirekiDb> mHistory;
  HistoryOpener mHistoryOpener;
  QString mHistoryError;
  bool mHistoryReported = false;
};

}  // namespace tidewake
