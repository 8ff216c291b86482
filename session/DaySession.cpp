// The day, its venue and race, the courses and the prediction of the race shown, its chances.

#include "session/DaySession.h"

#include "data/ProgrammeOpen.h"
#include "data/mSensyuStore.h"
#include "history/cRirekiDb.h"
#include "platform/Format.h"
#include "platform/LineReader.h"
#include "platform/MessageBox.h"
#include "platform/mMyFunc.h"
#include "sim/mMain.h"

namespace tidewake {

namespace {

const QString kSensyuStore = QStringLiteral("SENSYU.BRF");
const QString kNoHandbookText = QStringLiteral(
    "選手ファイル（ファン手帳）が登録されていません。進入は枠なりで表示します。\n"
    "「ﾌｧｲﾙ → 選手ﾌｧｲﾙの更新」でファン手帳ファイル（F*.TXT または F*.LZH）を登録すると、進入を予想します。");

// The venue list's item: the code as the list has always begun ("24#   "), then the venue's name
// a fan looks for, then the meeting's title.
QString VenueText(std::int16_t code, const QString& title) {
  return FormatNumber(code, u"00\\#   ") + JyoNameGet(code) + QStringLiteral("  ") + title;
}

}  // namespace

cBangumiFile::Card DemoCard();

DaySession::DaySession(QObject* parent) : QObject(parent) {}

DaySession::~DaySession() = default;

void DaySession::CardChanged() { emit cardChanged(); }

void DaySession::SetDayLine(const QString& line) { mDayLine = line; }

void DaySession::ClearRace() {
  mRaceNo = 0;
  mCourses = CourseTable();
  mPrediction.reset();
  mChances.reset();
  StatusFollowsExhibition();
}

void DaySession::ShowDemo() {
  mState = CardState::Demo;
  mHistoryCards.reset();
  mBangumi = cBangumiFile(DemoCard());
  mVenues = {{12, FormatNumber(12, u"00\\#   ") + mBangumi.Title()}};
  mVenue = 12;
  ClearRace();
  mRaceNo = 12;
  mDayLine = QStringLiteral("  ボートレース住之江");
  mRecords = {};
  mResults = ResultsState::None;
  emit dayChanged();
  emit resultsChanged();
}

bool DaySession::OpenProgramme(const QString& strPath) {
  ArchiveMember read;
  if (!ProgrammeOpen(mBangumi, strPath, &read)) return false;
  Record(read, ArchiveKind::Programme);
  OpenStore();
  return true;
}

bool DaySession::OpenProgramme(const DayFile& file) {
  if (!mBangumi.FileConvBytes(file.bytes, file.name)) return false;
  Record({file.name, file.bytes}, ArchiveKind::Programme);
  OpenStore();
  return true;
}

bool DaySession::ListStore() {
  if (!FileExists(AppFilePath(QStringLiteral("BANGUMI.BRF")))) {
    MsgBox(QStringLiteral("まだ番組ファイルを開いていません。「番組ﾌｧｲﾙを開く」(Ctrl+O) で開いてください。"),
           MsgButtons::Ok, MsgIcon::Information, QString());
    return false;
  }
  // The store is listed before anything is cleared: a store that cannot be read leaves the venue
  // list, the card and the selection as they were.
  KyoteijyoTable table;
  QString fileName;
  if (!mBangumi.KaisaiCheck(table, fileName)) return false;
  // Leaving a day of the history: the results are KEKKA.BRF's again.
  if (mHistoryCards) mResultsDay.reset();
  mHistoryCards.reset();
  mVenues.clear();
  for (std::int16_t code = 1; code <= 24; ++code) {
    const QString& title = table[static_cast<std::size_t>(code)];
    if (!title.isEmpty()) mVenues.push_back({code, VenueText(code, title)});
  }
  mState = CardState::NoVenue;
  mVenue = 0;
  ClearRace();
  mDayLine.clear();
  mResults = ResultsState::None;
  emit dayChanged();
  emit resultsChanged();
  return true;
}

bool DaySession::OpenStore() {
  if (!ListStore()) return false;
  // The day shows at once: its first venue's first race.
  if (!mVenues.empty()) ChooseVenue(mVenues.front().code);
  return true;
}

bool DaySession::OpenHistoryDay(QDate day) {
  cRirekiDb* db = History(HistoryUse::Command);
  if (!db) return false;
  std::vector<DayRecord> days;
  try {
    days = db->Days(day, day);
  } catch (const RuntimeError& e) {
    MsgBox(e.description(), MsgButtons::Ok, MsgIcon::Warning, QStringLiteral("履歴"));
    return false;
  }
  if (days.empty() || days.front().cards.empty()) {
    MsgBox(QStringLiteral("履歴に %1 の番組がありません。").arg(day.toString(QStringLiteral("yyyy/M/d"))),
           MsgButtons::Ok, MsgIcon::Information, QStringLiteral("履歴"));
    return false;
  }
  mHistoryCards = std::move(days.front().cards);
  mResultsDay = std::move(days.front().results);
  mVenues.clear();
  std::vector<const cBangumiFile::Card*> byCode(25, nullptr);
  for (const cBangumiFile::Card& c : *mHistoryCards) {
    const int code = c.KyoteijyoCode.toInt();
    if (code >= 1 && code <= 24) byCode[static_cast<std::size_t>(code)] = &c;
  }
  for (std::int16_t code = 1; code <= 24; ++code) {
    if (const cBangumiFile::Card* c = byCode[static_cast<std::size_t>(code)]) {
      mVenues.push_back({code, VenueText(code, c->Title)});
    }
  }
  mState = CardState::NoVenue;
  mVenue = 0;
  ClearRace();
  mDayLine.clear();
  mResults = ResultsState::None;
  mRecords = {};
  emit dayChanged();
  emit resultsChanged();
  if (!mVenues.empty()) ChooseVenue(mVenues.front().code);
  return true;
}

bool DaySession::ChooseVenue(std::int16_t intJyoCode) {
  if (mState == CardState::Demo) return false;
  const auto listed =
      std::find_if(mVenues.begin(), mVenues.end(), [intJyoCode](const VenueItem& v) { return v.code == intJyoCode; });
  if (listed == mVenues.end()) return false;
  bool loaded = false;
  if (mHistoryCards) {
    for (const cBangumiFile::Card& c : *mHistoryCards) {
      if (c.KyoteijyoCode.toInt() == intJyoCode) {
        mBangumi = cBangumiFile(c);
        loaded = true;
        break;
      }
    }
  } else {
    QString fileName;
    loaded = mBangumi.FileLoad(FormatNumber(intJyoCode, u"00"), fileName);
  }
  mVenue = intJyoCode;
  ClearRace();
  mRecords = {};
  mAccuracy.reset();
  mLogLoss.reset();
  mReportedFailures.clear();
  mResults = ResultsState::None;
  if (!loaded) {
    // Its box said why; the card shows nothing rather than another venue's race under this one.
    mState = CardState::NoVenue;
    mDayLine.clear();
    emit dayChanged();
    emit resultsChanged();
    return false;
  }
  if (mBangumi.RaceNumbers() == 0) {
    // The venue's races are not published yet: its own notice stands in place of a card.
    mState = CardState::Notice;
    mDayLine = JyoNameGet(intJyoCode) + QStringLiteral("競艇場  ") + mBangumi.card().Notice;
    emit dayChanged();
    emit resultsChanged();
    return true;
  }
  mState = CardState::Race;
  LoadRacers();
  LoadVenueResults();
  mDayLine = FormatDate(mBangumi.RaceDate(), u"yyyy/m/d") + QStringLiteral("  ") + JyoNameGet(intJyoCode) +
             QStringLiteral("競艇場");
  mRaceNo = 1;
  ShowPrediction(PredictRace(1, mPredictor), mPredictor);
  emit dayChanged();
  emit resultsChanged();
  return true;
}

bool DaySession::ChooseRace(std::int16_t intRaceNo) {
  if (mState != CardState::Race || intRaceNo < 1 || intRaceNo > mBangumi.RaceNumbers()) return false;
  mRaceNo = intRaceNo;
  ShowPrediction(PredictRace(intRaceNo, mPredictor), mPredictor);
  CardChanged();
  emit resultsChanged();
  return true;
}

std::vector<std::int16_t> DaySession::Races() const {
  std::vector<std::int16_t> races;
  if (mState == CardState::Demo) {
    races.push_back(mRaceNo);
  } else if (mState == CardState::Race) {
    for (std::int16_t r = 1; r <= mBangumi.RaceNumbers(); ++r) races.push_back(r);
  }
  return races;
}

QString DaySession::MeetingTitle() const { return mState == CardState::Demo ? mBangumi.Title() : mBangumi.TitleLong(); }

void DaySession::LoadRacers() {
  mSensyuLoaded = false;
  // No handbook installed yet is no error a fan can act on at every venue: said once, and the
  // card shows 枠なり.
  if (!FileExists(AppFilePath(kSensyuStore))) {
    if (!mNoHandbookTold) {
      mNoHandbookTold = true;
      MsgBox(kNoHandbookText, MsgButtons::Ok, MsgIcon::Information, QString());
    }
    return;
  }
  QStringList participants = mBangumi.ParticipationSensyuNoAllGet();
  mSensyuLoaded = mSensyu.FileLoad(AppFilePath(kSensyuStore), participants, 0);
}

std::optional<EntryPrediction> DaySession::PredictRace(std::int16_t intRaceNo, EntryPredictor predictor) {
  // 履歴 needs the history, not the handbook.
  if (!mSensyuLoaded && predictor != EntryPredictor::History) return std::nullopt;
  const mWinCard::Records records = predictor == EntryPredictor::History ? RaceRecords(intRaceNo) : mWinCard::Records{};
  EntryPrediction p = PredictEntry(predictor, mBangumi, intRaceNo, mSensyu, &records);
  if (!p.predicted) {
    ReportFailure(p.failureTitle, p.failure);
    return std::nullopt;
  }
  return p;
}

void DaySession::ReportFailure(const QString& strTitle, const QString& strText) {
  // One failure, one box, for as long as the venue is shown.
  if (strText.isEmpty() || mReportedFailures.contains(strTitle + u'\n' + strText)) return;
  mReportedFailures << strTitle + u'\n' + strText;
  MsgBox(strText, MsgButtons::Ok, MsgIcon::Warning, strTitle);
}

void DaySession::ShowPrediction(const std::optional<EntryPrediction>& prediction, EntryPredictor predictor) {
  mPrediction = prediction;
  mPredictedBy = predictor;
  mCourses = prediction ? CourseTable(prediction->courses) : CourseTable();
  // After the exhibition the card shows the courses the boats took in it.
  ApplyExhibition();
  ComputeChances();
}

void DaySession::SetPredictor(EntryPredictor predictor) {
  if (predictor == mPredictor) return;
  mPredictor = predictor;
  // The venue's log-loss is of each race with the courses this predictor gives.
  mLogLoss.reset();
  emit statusChanged();
  emit resultsChanged();
}

void DaySession::Predict(EntryPredictor predictor) {
  // With no race shown there is nothing to predict. The demo card has no racers: 枠なり.
  if (mState == CardState::Demo) {
    ShowPrediction(std::nullopt, predictor);
  } else if (mState == CardState::Race) {
    ShowPrediction(PredictRace(mRaceNo, predictor), predictor);
  } else {
    return;
  }
  CardChanged();
  emit resultsChanged();
}

void DaySession::SetCourse(int boat, int course) {
  if (mState != CardState::Demo && mState != CardState::Race) return;
  mCourses.Set(boat, course);
  // After the exhibition a course set by hand corrects the exhibition's courses.
  CorrectExhibitionCourses();
  ComputeChances();
  CardChanged();
  emit resultsChanged();
}

void DaySession::SetWakunari() {
  if (mState != CardState::Demo && mState != CardState::Race) return;
  mPrediction.reset();
  mCourses = CourseTable();
  CorrectExhibitionCourses();
  ComputeChances();
  CardChanged();
  emit resultsChanged();
}

void DaySession::ComputeChances() {
  mChances.reset();
  if (const std::optional<mWinFeatures::Exhibition> e = Exhibition()) {
    mChances = mWinCard::AfterChances(mBangumi.card(), mRaceNo, *e, RaceRecords(mRaceNo), Model().After);
  } else if (mState == CardState::Race) {
    mChances = mWinCard::Chances(mBangumi.card(), mRaceNo, mCourses.ByBoat(), RaceRecords(mRaceNo), Coefficients());
  } else if (mState == CardState::Demo) {
    // The demo's racers are nobody's: no history.
    mChances = mWinCard::Chances(mBangumi.card(), mRaceNo, mCourses.ByBoat(), {}, Coefficients());
  }
  StatusFollowsExhibition();
}

void DaySession::UpdateChances() {
  if (mChances || (mState != CardState::Demo && mState != CardState::Race)) return;
  ComputeChances();
  CardChanged();
  emit resultsChanged();
}

bool DaySession::InstallHandbook(const QString& strPath) {
  if (!SensyuStoreUpdate(strPath)) return false;
  HandbookInstalled();
  return true;
}

bool DaySession::InstallHandbook(const DayFile& file) {
  if (!SensyuStoreReplace(file.bytes, file.name)) return false;
  HandbookInstalled();
  return true;
}

void DaySession::HandbookInstalled() {
  mHandbook.reset();
  if (const std::optional<HandbookInfo>& info = Handbook()) {
    const QLocale number(QLocale::Japanese, QLocale::Japan);
    MsgBox(QStringLiteral("ファン手帳を登録しました。\n期間: %1\n選手: %2 人")
               .arg(info->period, number.toString(info->racers)),
           MsgButtons::Ok, MsgIcon::Information, QString());
  }
  emit statusChanged();
  // The venue shown takes its racers from the new store at once, so that the next prediction
  // (choosing a race, or 自動) uses it; the courses on the card stay until then, without the
  // reasons of a store that is gone.
  if (mState != CardState::Race) return;
  LoadRacers();
  mPrediction.reset();
  mReportedFailures.clear();
  mAccuracy.reset();
  mLogLoss.reset();
  CardChanged();
  emit resultsChanged();
}

void DaySession::SetCoefficients(const mWinCoefficients::Model& model) {
  mCoefficients = model;
  mLogLoss.reset();
  ComputeChances();
  CardChanged();
  emit resultsChanged();
}

void DaySession::HistoryChanged() {
  mRecords = {};
  mLogLoss.reset();
  if (mState != CardState::Race) return;
  // Courses the 履歴 prediction gave are its again with the history as it is now; courses set
  // by hand stay.
  if (mPrediction && mPredictedBy == EntryPredictor::History && mCourses == CourseTable(mPrediction->courses)) {
    ShowPrediction(PredictRace(mRaceNo, EntryPredictor::History), EntryPredictor::History);
  } else {
    ComputeChances();
  }
  CardChanged();
  emit resultsChanged();
}

std::array<RunEntrant, 6> DaySession::RunEntrants() const {
  std::array<RunEntrant, 6> out{};
  if (mRaceNo < 1) return out;
  for (std::int16_t b = 1; b <= 6; ++b) {
    const cBangumiFile::Entrant& e = mBangumi.card().races[static_cast<std::size_t>(mRaceNo - 1)].boats[b - 1];
    RunEntrant& r = out[static_cast<std::size_t>(b - 1)];
    r.weight = e.SensyuWeight < 50 ? 50.0f : static_cast<float>(e.SensyuWeight);
    r.rate = e.SensyuZenkokuSyoritu;
    r.rate2 = e.SensyuZenkokuFSyoritu;
    r.motor2 = e.MotorFSyoritu;
    r.boat2 = e.BoatFSyoritu;
    r.course = mCourses.Course(b);
    r.name = e.SensyuName;
  }
  return out;
}

}  // namespace tidewake
