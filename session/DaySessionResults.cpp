// The day's results: opened once, the venue shown's cut from them, and what the results window
// says of the race shown beside them (the courses, the win model's lines, the accuracy).

#include "session/DaySession.h"

#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"
#include "platform/LineReader.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"
#include "predict/mEntryEval.h"
#include "predict/mEntryScore.h"
#include "predict/mWinEval.h"

#include <cmath>

namespace tidewake {

namespace {

const QString kConvTitle = QStringLiteral("成績ファイル変換エラー");

// The day a results file is of: its first venue with a date.
QString ResultsDate(const std::vector<cKekkaFile::Venue>& venues) {
  for (const cKekkaFile::Venue& v : venues) {
    if (v.Notice.isEmpty() && v.RaceDate != u"0") return v.RaceDate;
  }
  return QString();
}

QString ChanceText(double p) { return mWinCard::PercentText(p) + QStringLiteral("%"); }

// The five likeliest combinations of `places` (2: 2連単, 3: 3連単) with their break-even odds.
std::vector<ResultsView::Ticket> Likeliest(const mWinModel::RaceChances& c, int places) {
  std::vector<ResultsView::Ticket> out;
  for (const mWinCard::Ticket& t : mWinCard::Tickets(c, places, 5)) {
    out.push_back({mWinModel::CombinationText(t.Boats, places), ChanceText(t.Chance), mWinCard::OddsText(t.BreakEven)});
  }
  return out;
}

}  // namespace

bool DaySession::OpenResults(const DayFile& file) {
  if (const QString wrong = WrongKindText(file.kind, ArchiveKind::Results); !wrong.isEmpty()) {
    MsgBox(wrong + u'\n' + file.name, MsgButtons::Ok, MsgIcon::Warning, kConvTitle);
    return false;
  }
  // Read once: the day check, the store and the history all take these values.
  std::vector<cKekkaFile::Venue> venues;
  try {
    venues = cKekkaFile::ReadFile(file.bytes, file.name);
  } catch (const RuntimeError& e) {
    MsgBox(e.reportText(), MsgButtons::Ok, MsgIcon::Warning, kConvTitle);
    return false;
  }
  // Another day's results are asked about before they replace the stored ones: No keeps both
  // the results on show and KEKKA.BRF as they were.
  const QString day = ResultsDate(venues);
  if (mState != CardState::Demo && !DayDate().isEmpty() && !day.isEmpty() && day != DayDate()) {
    const QString ask = QStringLiteral("番組と日付が違います（番組 %1、成績 %2）。\nこの成績ファイルを開きますか？")
                            .arg(DayDate(), day);
    if (MsgBox(ask, MsgButtons::YesNo, MsgIcon::Question, QString()) != MsgResult::Yes) return false;
  }
  try {
    cKekkaFile::Store(file.bytes);
  } catch (const RuntimeError& e) {
    MsgBox(e.reportText(), MsgButtons::Ok, MsgIcon::Warning, kConvTitle);
    return false;
  }
  RecordResults(file, venues);
  mResultsDay = std::move(venues);
  if (mState == CardState::Race) {
    LoadVenueResults();
    // The day's own results in the history change nothing before the day; another day's may.
    mRecords = {};
    ComputeChances();
    CardChanged();
  }
  emit resultsChanged();
  return true;
}

void DaySession::RecordResults(const DayFile& file, const std::vector<cKekkaFile::Venue>& venues) {
  cRirekiDb* db = History(HistoryUse::Record);
  if (!db) return;
  try {
    RecordDayResults(*db, {file.name, file.bytes}, venues);
  } catch (const RuntimeError& e) {
    MsgBox(QStringLiteral("履歴に記録できませんでした。\n") + e.description(), MsgButtons::Ok, MsgIcon::Warning,
           QStringLiteral("履歴"));
  }
  mLogLoss.reset();
}

const std::vector<cKekkaFile::Venue>* DaySession::ResultsDay() {
  // KEKKA.BRF is read once, when a venue first wants its results; no results stored yet is no
  // failure.
  if (!mResultsDay) {
    mResultsDay.emplace();
    const QString path = AppFilePath(QStringLiteral("KEKKA.BRF"));
    if (FileExists(path)) {
      try {
        mResultsDay = cKekkaFile::ReadFile(ChosenFileRead(path), path);
      } catch (const RuntimeError& e) {
        MsgBox(e.reportText(), MsgButtons::Ok, MsgIcon::Warning, QStringLiteral("成績ファイル読み込みエラー"));
      }
    }
  }
  return &*mResultsDay;
}

void DaySession::LoadVenueResults() {
  mResults = ResultsState::None;
  mAccuracy.reset();
  mLogLoss.reset();
  for (const cKekkaFile::Venue& v : *ResultsDay()) {
    if (v.KyoteijyoCode.toInt() != mVenue) continue;
    mKekka = cKekkaFile(v);
    // A block whose day is not in yet has no date, only its notice, which the results window shows.
    mResults = v.Notice.isEmpty() && v.RaceDate != DayDate() ? ResultsState::OtherDay : ResultsState::ThisDay;
    return;
  }
}

QString DaySession::DayDate() const { return mState == CardState::Demo ? QString() : mBangumi.RaceDate(); }

ResultsView DaySession::ResultsOfRace() {
  if (mResults == ResultsState::OtherDay) {
    ResultsView view;
    view.message = DayMismatchText(mBangumi.RaceDate(), mKekka.RaceDate());
    return view;
  }
  const bool shown = mResults == ResultsState::ThisDay && mState == CardState::Race;
  const std::optional<CourseTable> courses =
      mState == CardState::Race || mState == CardState::Demo ? std::optional<CourseTable>(mCourses) : std::nullopt;
  ResultsView view = ResultsRaceView(shown ? &mKekka.venue() : nullptr, mVenue, mRaceNo, courses);
  if (mState == CardState::NoVenue || mState == CardState::Notice) view.title.clear();
  view.win = WinText(shown);
  if (!view.win.isEmpty()) {
    view.exacta = Likeliest(*mChances, 2);
    view.trifecta = Likeliest(*mChances, 3);
  }
  if (shown) view.accuracy = AccuracyText();
  return view;
}

QString DaySession::AccuracyText() {
  if (mAccuracy) return *mAccuracy;
  const mEntryEval::VenueScore score = mEntryEval::ScoreVenue(mBangumi, mSensyuLoaded ? &mSensyu : nullptr, mKekka,
                                                              {EntryPredictor::Rules, EntryPredictor::Stat});
  // Every race the predictor failed on failed the same way: one box says it.
  if (score.Failures > 0) ReportFailure(score.FailureTitle, score.Failure);
  const mEntryScore::EntryTally& standard = score.Predicted[0].All;
  const mEntryScore::EntryTally& stat = score.Predicted[1].All;
  const mEntryScore::EntryTally& wakunari = score.Wakunari.All;
  mAccuracy.emplace();
  if (wakunari.Races == 0) return *mAccuracy;
  const auto part = [](const QString& name, const mEntryScore::EntryTally& t) {
    return QStringLiteral("%1 %2 R・%3/%4 艇").arg(name).arg(t.WholeRight).arg(t.BoatsRight).arg(t.Boats);
  };
  // The figures on a line of their own: the window is as wide as they are, never wrapped.
  *mAccuracy = QStringLiteral("進入予想の的中（この場 %1 R）:\n").arg(wakunari.Races) +
               part(QStringLiteral("標準"), standard) + QStringLiteral("　") + part(QStringLiteral("統計"), stat) +
               QStringLiteral("　") + part(QStringLiteral("枠なり"), wakunari);
  return *mAccuracy;
}

QString DaySession::LogLossText() {
  if (mLogLoss) return *mLogLoss;
  const cBangumiFile::Card& card = mBangumi.card();
  const cKekkaFile::Venue& venue = mKekka.venue();
  double model = 0.0, pool = 0.0;
  int races = 0;
  for (std::int16_t r = 1; r <= card.RaceNumbers && r <= cBangumiFile::kMaxRace; ++r) {
    const mWinEval::Outcome o = mWinEval::ReadOutcome(card.races[static_cast<std::size_t>(r - 1)],
                                                      venue.races[static_cast<std::size_t>(r - 1)]);
    if (!o.Placed || o.Refund || o.Tansyo <= 0) continue;
    // Each race with the courses the predictor in use gives it (枠なり when it gives none).
    const std::optional<EntryPrediction> p = PredictRace(r, mPredictor);
    const CourseTable courses = p ? CourseTable(p->courses) : CourseTable();
    const mWinModel::RaceChances c = mWinCard::Chances(card, r, courses.ByBoat(), RaceRecords(r), Coefficients());
    model -= std::log(c.Win[static_cast<std::size_t>(o.FirstThree[0] - 1)]);
    pool -= std::log(mWinEval::PoolChance(o.Tansyo));
    ++races;
  }
  // The mean log-loss of the winner is what the figures are; a fan reads them as how sure each
  // was of the boat that won, lower being better.
  mLogLoss = races == 0 ? QString()
                        : QStringLiteral(
                              "1着予想の外れ具合（この場 %1 R、勝った艇の対数損失の平均。小さいほど良い）:\n"
                              "このモデル %2　単勝の売れ方 %3")
                                  .arg(races)
                                  .arg(model / races, 0, 'f', 2)
                                  .arg(pool / races, 0, 'f', 2) +
                              // Scored on a day the model learnt from, the figure looks better than it is.
                              mWinCoefficients::FittedDayNote(Model().Fitted, mWinCard::CardDate(card));
  return *mLogLoss;
}

QString DaySession::WinText(bool withResults) {
  if (!mChances || (mState != CardState::Race && mState != CardState::Demo)) return QString();
  const mWinModel::RaceChances& chances = *mChances;
  QStringList lines{HasExhibition() ? QStringLiteral("1着予想（直前: 展示タイムと展示の進入から）")
                                    : QStringLiteral("1着予想（進入は出走表のコース）")};
  if (withResults) {
    const mWinEval::Outcome o = mWinEval::ReadOutcome(mBangumi.card().races[static_cast<std::size_t>(mRaceNo - 1)],
                                                      mKekka.venue().races[static_cast<std::size_t>(mRaceNo - 1)]);
    if (o.Placed) {
      const auto& f = o.FirstThree;
      const auto a = static_cast<std::size_t>(f[0] - 1), b = static_cast<std::size_t>(f[1] - 1),
                 t = static_cast<std::size_t>(f[2] - 1);
      lines << QStringLiteral("結果の予想: 2連単 %1 %2（%3 位）　3連単 %4 %5（%6 位）")
                   .arg(mWinModel::CombinationText(f, 2), ChanceText(chances.Exacta[a * 6 + b]))
                   .arg(mWinModel::RankOf(chances, f, 2))
                   .arg(mWinModel::CombinationText(f, 3), ChanceText(chances.Trifecta[a * 36 + b * 6 + t]))
                   .arg(mWinModel::RankOf(chances, f, 3));
    }
    const QString venue = LogLossText();
    if (!venue.isEmpty()) lines << venue;
  }
  return lines.join(u'\n');
}

}  // namespace tidewake
