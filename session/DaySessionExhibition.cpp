// The 直前 entries of the race shown: read from what the user typed, kept with the race for the
// day (and in the history with the day), and what they change on the card.

#include "session/DaySession.h"

#include "history/cRirekiDb.h"
#include "platform/Format.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"

namespace tidewake {

namespace {

const QString kHistoryTitle = QStringLiteral("履歴");

// The courses by boat as the card keeps them (index boat - 1).
std::array<std::int16_t, 6> ByBoat(const mWinFeatures::CourseTable& courses) {
  std::array<std::int16_t, 6> out{};
  for (std::size_t b = 0; b < 6; ++b) out[b] = courses[b + 1];
  return out;
}

// The first boat whose course is outside 1..6 or taken by a boat before it: the field to correct.
int FirstWrongCourse(const mWinFeatures::CourseTable& courses) {
  std::array<bool, 7> taken{};
  for (int b = 1; b <= 6; ++b) {
    const std::int16_t c = courses[static_cast<std::size_t>(b)];
    if (c < 1 || c > 6 || taken[static_cast<std::size_t>(c)]) return b;
    taken[static_cast<std::size_t>(c)] = true;
  }
  return 0;
}

}  // namespace

std::optional<DaySession::ExhibitionKey> DaySession::RaceKey() const {
  if (mState != CardState::Race || mRaceNo < 1) return std::nullopt;
  const QDate day = mWinCard::CardDate(mBangumi.card());
  if (!day.isValid()) return std::nullopt;
  return ExhibitionKey{day.toJulianDay(), mVenue, mRaceNo};
}

std::optional<mWinFeatures::Exhibition> DaySession::Exhibition() const {
  const std::optional<ExhibitionKey> key = RaceKey();
  if (!key) return std::nullopt;
  const auto found = mExhibitions.find(*key);
  if (found == mExhibitions.end()) return std::nullopt;
  return found->second;
}

ExhibitionForm DaySession::ExhibitionFormOfRace() const {
  ExhibitionForm form;
  const std::optional<mWinFeatures::Exhibition> e = Exhibition();
  if (!e) return form;
  for (std::size_t b = 0; b < 6; ++b) {
    form.times[b] = e->Times[b] > 0 ? FormatNumber(e->Times[b], u"0.00") : QString();
  }
  form.courses = ByBoat(e->Courses);
  return form;
}

ExhibitionRefusal DaySession::EnterExhibition(const ExhibitionForm& form) {
  const std::optional<ExhibitionKey> key = RaceKey();
  if (!key) {
    return {QStringLiteral("直前情報は、開いた日のレースに入力します。番組ファイルを開いてレースを選んでください。")};
  }
  mWinFeatures::Exhibition e;
  for (std::size_t b = 0; b < 6; ++b) {
    QString error;
    const std::optional<float> time = mWinCard::ReadExhibitionTime(form.times[b], error);
    if (!time) return {QStringLiteral("%1号艇の").arg(b + 1) + error, static_cast<int>(b + 1), false};
    e.Times[b] = *time;
    e.Courses[b + 1] = form.courses[b];
  }
  if (const QString problem = mWinCard::CoursesProblem(e.Courses); !problem.isEmpty()) {
    return {problem, FirstWrongCourse(e.Courses), true};
  }
  ReadDayExhibitions();
  mExhibitions[*key] = e;
  RecordExhibition(*key, e);
  ApplyExhibition();
  ComputeChances();
  CardChanged();
  emit resultsChanged();
  return {};
}

void DaySession::ClearExhibition() {
  const std::optional<ExhibitionKey> key = RaceKey();
  if (!key || mExhibitions.erase(*key) == 0) return;
  RecordExhibition(*key, std::nullopt);
  // Back to the courses before the exhibition: the prediction's, or 枠なり without one.
  mCourses = mPrediction ? CourseTable(mPrediction->courses) : CourseTable();
  ComputeChances();
  CardChanged();
  emit resultsChanged();
}

void DaySession::ReadDayExhibitions() {
  const std::optional<ExhibitionKey> key = RaceKey();
  if (!key || mExhibitionDaysRead.contains(std::get<0>(*key))) return;
  cRirekiDb* db = History(HistoryUse::Quiet);
  if (!db) return;
  const QDate day = QDate::fromJulianDay(std::get<0>(*key));
  std::vector<ExhibitionEntry> entries;
  try {
    entries = db->Exhibitions(day);
  } catch (const RuntimeError&) {
    // The card shows what it can without them; they are asked for again with the next race.
    return;
  }
  mExhibitionDaysRead.insert(std::get<0>(*key));
  for (const ExhibitionEntry& entry : entries) {
    mWinFeatures::Exhibition e;
    for (std::size_t b = 0; b < 6; ++b) {
      e.Times[b] = entry.TenjiTime[b].value_or(0.0f);
      e.Courses[b + 1] = entry.Course[b];
    }
    // Courses that are no permutation are no entry the card can show: the times stay, 枠なり.
    if (!mWinCard::CoursesProblem(e.Courses).isEmpty()) e.Courses = mWinFeatures::Exhibition().Courses;
    const auto jyo = static_cast<std::int16_t>(entry.KyoteijyoCode.toInt());
    // What was entered in this run while the history could not be read stays as entered.
    mExhibitions.try_emplace(ExhibitionKey{std::get<0>(*key), jyo, entry.RaceNo}, e);
  }
}

void DaySession::ApplyExhibition() {
  ReadDayExhibitions();
  if (const std::optional<mWinFeatures::Exhibition> e = Exhibition()) mCourses = CourseTable(ByBoat(e->Courses));
}

void DaySession::CorrectExhibitionCourses() {
  const std::optional<ExhibitionKey> key = RaceKey();
  if (!key) return;
  const auto found = mExhibitions.find(*key);
  if (found == mExhibitions.end()) return;
  found->second.Courses = mCourses.ByBoat();
  RecordExhibition(*key, found->second);
}

void DaySession::RecordExhibition(const ExhibitionKey& key, const std::optional<mWinFeatures::Exhibition>& entry) {
  // Kept on the card for the day whatever the history says; a history that cannot be opened is
  // said once in the run, a write that fails every time.
  cRirekiDb* db = History(HistoryUse::Record);
  if (!db) return;
  const QDate day = QDate::fromJulianDay(std::get<0>(key));
  const QString jyo = FormatNumber(std::get<1>(key), u"00");
  try {
    if (entry) {
      ExhibitionEntry row{jyo, std::get<2>(key), {}, {}};
      for (std::size_t b = 0; b < 6; ++b) {
        if (entry->Times[b] > 0) row.TenjiTime[b] = entry->Times[b];
        row.Course[b] = entry->Courses[b + 1];
      }
      db->RecordExhibition(day, row);
    } else {
      db->ClearExhibition(day, jyo, std::get<2>(key));
    }
  } catch (const RuntimeError& e) {
    MsgBox((entry ? QStringLiteral("直前情報を履歴に記録できませんでした。\n")
                  : QStringLiteral("直前情報を履歴から消せませんでした。\n")) +
               e.description(),
           MsgButtons::Ok, MsgIcon::Warning, kHistoryTitle);
  }
}

void DaySession::StatusFollowsExhibition() {
  const bool now = HasExhibition();
  if (now == mStatusSaysExhibition) return;
  mStatusSaysExhibition = now;
  emit statusChanged();
}

}  // namespace tidewake
