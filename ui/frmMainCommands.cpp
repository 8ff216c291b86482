// The commands of the main window: the selectors, the file menu, the runs, the way back to the
// card, Escape, closing, and the entry-course pop-up.

#include "data/ProgrammeOpen.h"
#include "data/mDayFile.h"
#include "data/mSensyuStore.h"
#include "platform/Clock.h"
#include "platform/Format.h"
#include "platform/LineReader.h"
#include "platform/MessageBox.h"
#include "platform/Numeric.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"
#include "predict/mEntryEval.h"
#include "predict/mEntryScore.h"
#include "sim/mFileDialog.h"
#include "sim/mGlobal.h"
#include "sim/mMain.h"
#include "ui/frmKekka.h"
#include "ui/frmMain.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include <algorithm>

namespace tidewake {
namespace {

const QString kSensyuStore = QStringLiteral("SENSYU.BRF");
const QString kNoHandbookText = QStringLiteral(
    "選手ファイル（ファン手帳）が登録されていません。進入は枠なりで表示します。\n"
    "「ﾌｧｲﾙ → 選手ﾌｧｲﾙの更新」でファン手帳ファイル（F*.TXT または F*.LZH）を登録すると、進入を予想します。");

// A filter of the open-file dialog: the description and the pattern, each ended by a NUL.
QString Filter(const QString& description, const QString& pattern) {
  return description + QChar(u'\0') + pattern + QChar(u'\0');
}

// The texts and the official archives of a kind together first ("番組ファイル(B*.TXT;B*.LZH)"),
// then each alone, then any file.
QString Filters(const QString& text, const QString& textPattern, const QString& archive,
                const QString& archivePattern) {
  const QString both =
      text.left(text.indexOf(u'(')) + u'(' + textPattern.toUpper() + u';' + archivePattern.toUpper() + u')';
  return Filter(both, textPattern + u';' + archivePattern) + Filter(text, textPattern) +
         Filter(archive, archivePattern) + Filter(QStringLiteral("すべてのファイル(*.*)"), QStringLiteral("*.*"));
}

// Card columns of the values a run takes from the card.
constexpr std::int16_t kColName = 2, kColWeight = 5, kColRate = 7, kColRate2 = 8, kColMotor2 = 10, kColBoat2 = 12,
                       kColCourse = 14;

}  // namespace

// ---- Venue and race ----

void frmMain::cboJyo_Click() {
  if (mblnRunning || mblnNoBangumi || cboJyo->currentIndex() < 0) return;
  cboRaceNo->clear();
  lblDay->clear();
  const auto code = static_cast<std::int16_t>(cboJyo->currentData().toInt());
  QString fileName;
  mblnBangumiLoaded = mclsBangumi->FileLoad(FormatNumber(code, u"00"), fileName);
  if (!mblnBangumiLoaded) return;
  if (mclsBangumi->RaceNumbers() == 0) {
    // The venue's races are not published yet: its own notice stands in place of a card.
    ClearCard();
    mShownPrediction.reset();
    lblRace->clear();
    mblnKekkaLoaded = false;
    mblnKekkaOtherDay = false;
    mstrAccuracy.clear();
    lblDay->setText(JyoNameGet(code) + QStringLiteral("競艇場  ") + mclsBangumi->card().Notice);
    RefreshKekka();
    return;
  }
  gstrTitle = mclsBangumi->TitleLong();
  mReportedFailures.clear();
  LoadRacers();
  LoadKekka(code);
  for (std::int16_t r = 1; r <= mclsBangumi->RaceNumbers(); ++r) {
    cboRaceNo->addItem(FormatText(QString::number(r), u"@@ R"), r);
  }
  lblDay->setText(FormatDate(mclsBangumi->RaceDate(), u"yyyy/m/d") + QStringLiteral("  ") + JyoNameGet(code) +
                  QStringLiteral("競艇場"));
  SelectListIndex(cboRaceNo, 0);
}

void frmMain::LoadRacers() {
  // No handbook installed yet is no error a fan can act on at every venue: said once, and the
  // card shows 枠なり.
  if (!FileExists(AppFilePath(kSensyuStore))) {
    mblnSensyuLoaded = false;
    if (!mblnNoHandbookTold) {
      mblnNoHandbookTold = true;
      MsgBox(kNoHandbookText, MsgButtons::Ok, MsgIcon::Information, QString());
    }
    return;
  }
  QStringList participants = mclsBangumi->ParticipationSensyuNoAllGet();
  mblnSensyuLoaded = mclsSensyu->FileLoad(AppFilePath(kSensyuStore), participants, 0);
}

std::int16_t frmMain::SelectedRaceNo() const {
  return cboRaceNo->currentIndex() < 0 ? std::int16_t{0} : static_cast<std::int16_t>(cboRaceNo->currentData().toInt());
}

std::optional<EntryPrediction> frmMain::PredictShown(std::int16_t intRaceNo, EntryPredictor predictor) {
  // 履歴 needs the history, not the handbook.
  if (!mblnSensyuLoaded && predictor != EntryPredictor::History) return std::nullopt;
  const mWinCard::Records records =
      predictor == EntryPredictor::History ? HistoryRecords(intRaceNo) : mWinCard::Records{};
  EntryPrediction p = PredictEntry(predictor, *mclsBangumi, intRaceNo, *mclsSensyu, &records);
  if (!p.predicted) {
    ReportPredictionFailure(p.failureTitle, p.failure);
    return std::nullopt;
  }
  return p;
}

void frmMain::ReportPredictionFailure(const QString& strTitle, const QString& strText) {
  if (strText.isEmpty() || mReportedFailures.contains(strTitle + u'\n' + strText)) return;
  mReportedFailures << strTitle + u'\n' + strText;
  MsgBox(strText, MsgButtons::Ok, MsgIcon::Warning, strTitle);
}

void frmMain::ShowPrediction(const std::optional<EntryPrediction>& prediction) {
  mShownPrediction = prediction;
  std::array<std::int16_t, 7> course{0, 1, 2, 3, 4, 5, 6};
  if (prediction) {
    for (int b = 1; b <= 6; ++b) course[static_cast<std::size_t>(b)] = prediction->Course(b);
  }
  WriteCourses(course);
}

void frmMain::WriteCourses(const std::array<std::int16_t, 7>& course) {
  for (std::int16_t boat = 1; boat <= 6; ++boat) {
    mclsGrid->SetCellValue(boat, kColCourse, QString::number(course[static_cast<std::size_t>(boat)]));
  }
  ShowWinChances();
}

void frmMain::cboRaceNo_Click() {
  if (mblnRunning || mblnNoBangumi || !mblnBangumiLoaded || cboRaceNo->currentIndex() < 0) return;
  const std::int16_t r = SelectedRaceNo();
  const cBangumiFile& b = *mclsBangumi;
  cGrid& grid = *mclsGrid;
  for (std::int16_t w = 1; w <= 6; ++w) {
    const QStringList cells = {b.SensyuNo(r, w),
                               b.SensyuName(r, w),
                               QString::number(b.SensyuAge(r, w)),
                               b.SensyuBirthplace(r, w),
                               QString::number(b.SensyuWeight(r, w)),
                               b.SensyuClass(r, w),
                               FormatNumber(b.SensyuZenkokuSyoritu(r, w), u"0.00"),
                               FormatNumber(b.SensyuZenkokuFSyoritu(r, w), u"0.00"),
                               b.MotorNo(r, w),
                               FormatNumber(b.MotorFSyoritu(r, w), u"0.00"),
                               b.BoatNo(r, w),
                               FormatNumber(b.BoatFSyoritu(r, w), u"0.00"),
                               b.Seiseki(r, w)};
    for (std::int16_t col = 1; col <= 13; ++col) grid.SetCellValue(w, col, cells[col - 1]);
  }
  ShowPrediction(PredictShown(r, mPredictor));
  grid.Refresh(false);
  ShowRaceLine();
  RefreshKekka();
}

// ---- The file menu ----

void frmMain::mnuFileOpen_Click() {
  const QString path = AskOpenFile(Filters(QStringLiteral("番組ファイル(B*.TXT)"), QStringLiteral("B*.txt"),
                                           QStringLiteral("番組ファイル(B*.LZH)"), QStringLiteral("B*.lzh")));
  if (path.isEmpty()) return;
  ArchiveMember read;
  if (ProgrammeOpen(*mclsBangumi, path, &read)) {
    mnuFileOpenOld_Click();
    HistoryRecordMember(read, ArchiveKind::Programme);
  }
}

void frmMain::mnuFileOpenOld_Click() {
  if (!FileExists(AppFilePath(QStringLiteral("BANGUMI.BRF")))) {
    MsgBox(QStringLiteral("まだ番組ファイルを開いていません。「番組ﾌｧｲﾙを開く」(Ctrl+O) で開いてください。"),
           MsgButtons::Ok, MsgIcon::Information, QString());
    return;
  }
  // The store is listed before anything is cleared: a store that cannot be read leaves the venue
  // list, the card and the selection as they were.
  KyoteijyoTable table;
  QString fileName;
  if (!mclsBangumi->KaisaiCheck(table, fileName)) return;
  mstrKyoteijyoTable = table;
  cboJyo->clear();
  cboRaceNo->clear();
  lblDay->clear();
  mblnNoBangumi = false;
  for (std::int16_t code = 1; code <= 24; ++code) {
    const QString& title = mstrKyoteijyoTable[static_cast<std::size_t>(code)];
    if (!title.isEmpty()) cboJyo->addItem(FormatNumber(code, u"00\\#   ") + title, code);
  }
  mblnNoBangumi = cboJyo->count() == 0;
  mShownPrediction.reset();
  lblRace->clear();
  // The results window follows the card at once: no venue is chosen, so no results are shown.
  mblnBangumiLoaded = false;
  mblnKekkaLoaded = false;
  mblnKekkaOtherDay = false;
  mstrAccuracy.clear();
  cboJyo->setCurrentIndex(-1);
  ClearCard();
}

void frmMain::ClearCard() {
  for (std::int16_t row = 1; row <= 6; ++row) {
    for (std::int16_t col = 1; col <= 14; ++col) mclsGrid->SetCellValue(row, col, QString());
  }
  mclsGrid->Refresh(false);
  RefreshKekka();
}

void frmMain::mnuFileUpdate_Click() {
  const QString path = AskOpenFile(Filters(QStringLiteral("ファン手帳ファイル(F*.TXT)"), QStringLiteral("F*.txt"),
                                           QStringLiteral("ファン手帳ファイル(F*.LZH)"), QStringLiteral("F*.lzh")));
  if (!path.isEmpty() && SensyuStoreUpdate(path)) HandbookInstalled();
}

void frmMain::HandbookInstalled() {
  mHandbook = ReadHandbookInfo();
  UpdateStatus();
  if (mHandbook) {
    const QLocale number(QLocale::Japanese, QLocale::Japan);
    MsgBox(QStringLiteral("ファン手帳を登録しました。\n期間: %1\n選手: %2 人")
               .arg(mHandbook->period, number.toString(mHandbook->racers)),
           MsgButtons::Ok, MsgIcon::Information, QString());
  }
  ReloadRacers();
}

void frmMain::ReloadRacers() {
  // The venue shown takes its racers from the new store at once, so that the next prediction
  // (choosing a race, or 自動) uses it; the courses on the card stay until then.
  if (!mblnNoBangumi && mblnBangumiLoaded && cboJyo->currentIndex() >= 0 && cboRaceNo->count() > 0) {
    LoadRacers();
    // The card's courses came from the store that is gone; the accuracy is the new store's.
    mShownPrediction.reset();
    mReportedFailures.clear();
    if (mblnKekkaLoaded) mstrAccuracy = AccuracyText();
    RefreshKekka();
  }
}

void frmMain::mnuFileKekka_Click() {
  const QString path = AskOpenFile(Filters(QStringLiteral("成績ファイル(K*.TXT)"), QStringLiteral("K*.txt"),
                                           QStringLiteral("成績ファイル(K*.LZH)"), QStringLiteral("K*.lzh")));
  if (path.isEmpty()) return;
  // Read once: the same bytes are converted and recorded in the history.
  DayFile file;
  try {
    file = DayFileOpen(path, ArchiveKind::Results);
  } catch (const RuntimeError& e) {
    MsgBox(e.reportText(), MsgButtons::Ok, MsgIcon::Warning, QStringLiteral("成績ファイル変換エラー"));
    return;
  }
  if (!KekkaOpen(file)) return;
  KekkaOpened();
  HistoryRecordMember({file.name, file.bytes}, ArchiveKind::Results);
}

void frmMain::KekkaOpened() {
  mKekkaVenues.reset();
  if (!mblnNoBangumi && mblnBangumiLoaded && cboJyo->currentIndex() >= 0 && cboRaceNo->count() > 0) {
    LoadKekka(static_cast<std::int16_t>(cboJyo->currentData().toInt()));
  }
  mnuRaceKekka_Click();
}

bool frmMain::KekkaOpen(const DayFile& file) {
  const QString title = QStringLiteral("成績ファイル変換エラー");
  if (const QString wrong = WrongKindText(file.kind, ArchiveKind::Results); !wrong.isEmpty()) {
    MsgBox(wrong + u'\n' + file.name, MsgButtons::Ok, MsgIcon::Warning, title);
    return false;
  }
  // Another day's results are asked about before they replace the stored ones: No keeps both
  // the results on show and KEKKA.BRF as they were.
  if (!mblnNoBangumi && mblnBangumiLoaded) {
    QString day;
    try {
      cKekkaFile::ReadAll(file.bytes, [&](const cKekkaFile::Venue& v) {
        if (day.isEmpty()) day = v.RaceDate;
      });
    } catch (const RuntimeError&) {
      day.clear();  // the conversion below says what is wrong with it
    }
    if (!day.isEmpty() && day != mclsBangumi->RaceDate()) {
      const QString ask = QStringLiteral("番組と日付が違います（番組 %1、成績 %2）。\nこの成績ファイルを開きますか？")
                              .arg(mclsBangumi->RaceDate(), day);
      if (MsgBox(ask, MsgButtons::YesNo, MsgIcon::Question, QString()) != MsgResult::Yes) return false;
    }
  }
  return mclsKekka->FileConvBytes(file.bytes, file.name);
}

void frmMain::mnuRaceKekka_Click() {
  // Made when first asked for: most days it is never opened, and the card comes up sooner.
  if (!frmKekkaWindow) {
    frmKekkaWindow = new frmKekka(this);
    // Shown beside the card without taking the keyboard from it.
    frmKekkaWindow->setAttribute(Qt::WA_ShowWithoutActivating);
  }
  RefreshKekka();
  if (!frmKekkaWindow->isVisible()) {
    // At the size its contents need, beside or under the main window.
    frmKekkaWindow->ensurePolished();
    if (frmKekkaWindow->layout()) frmKekkaWindow->layout()->activate();
    const QRect screenArea = screen() ? screen()->availableGeometry() : QRect();
    // A window not shown yet has no frame: the main window's title bar and borders stand in for
    // its own, so that the whole of it is placed on the screen, not just its contents.
    const QSize frame = frameGeometry().size() - geometry().size();
    QSize want = frmKekkaWindow->sizeHint();
    if (!screenArea.isEmpty()) want = want.boundedTo(screenArea.size() - frame);
    frmKekkaWindow->resize(want);
    frmKekkaWindow->move(PlaceBeside(frameGeometry(), want + frame, screenArea));
  }
  frmKekkaWindow->show();
  frmKekkaWindow->raise();
  activateWindow();
}

QPoint PlaceBeside(const QRect& main, const QSize& size, const QRect& screenArea) {
  constexpr int kGap = 8;
  const QPoint candidates[] = {QPoint(main.left(), main.bottom() + 1 + kGap),
                               QPoint(main.right() + 1 + kGap, main.top()),
                               QPoint(main.left() - kGap - size.width(), main.top())};
  if (screenArea.isEmpty()) return candidates[0];
  for (const QPoint& at : candidates) {
    if (screenArea.contains(QRect(at, size))) return at;
  }
  // Neither fits whole: under the main window as far as the screen allows, in view.
  const int x =
      std::clamp(main.left(), screenArea.left(), std::max(screenArea.left(), screenArea.right() + 1 - size.width()));
  const int y = std::clamp(main.bottom() + 1 + kGap, screenArea.top(),
                           std::max(screenArea.top(), screenArea.bottom() + 1 - size.height()));
  return QPoint(x, y);
}

void frmMain::LoadKekka(std::int16_t intJyoCode) {
  mblnKekkaLoaded = false;
  mblnKekkaOtherDay = false;
  mstrAccuracy.clear();
  // No results stored yet, or none for this venue: the window says 成績なし, without a box. The
  // store's venues are listed once, not at every venue the user picks.
  if (!mKekkaVenues) {
    if (!FileExists(AppFilePath(QStringLiteral("KEKKA.BRF")))) return;
    KyoteijyoTable venues;
    QString storeName;
    if (!mclsKekka->KaisaiCheck(venues, storeName)) return;
    mKekkaVenues = venues;
  }
  if ((*mKekkaVenues)[static_cast<std::size_t>(intJyoCode)].isEmpty()) return;
  QString fileName;
  if (!mclsKekka->FileLoad(FormatNumber(intJyoCode, u"00"), fileName)) return;
  // A block whose day is not in yet has no date, only its notice, which the results window shows.
  if (mclsKekka->Notice().isEmpty() && mclsKekka->RaceDate() != mclsBangumi->RaceDate()) {
    mblnKekkaOtherDay = true;
    return;
  }
  mblnKekkaLoaded = true;
  mstrAccuracy = AccuracyText();
}

QString frmMain::AccuracyText() {
  const mEntryEval::VenueScore score =
      mEntryEval::ScoreVenue(*mclsBangumi, mblnSensyuLoaded ? mclsSensyu.get() : nullptr, *mclsKekka,
                             {EntryPredictor::Rules, EntryPredictor::Stat});
  // Every race the predictor failed on failed the same way: one box says it.
  if (score.Failures > 0) ReportPredictionFailure(score.FailureTitle, score.Failure);
  const mEntryScore::EntryTally& standard = score.Predicted[0].All;
  const mEntryScore::EntryTally& stat = score.Predicted[1].All;
  const mEntryScore::EntryTally& wakunari = score.Wakunari.All;
  if (wakunari.Races == 0) return QString();
  const auto part = [](const QString& name, const mEntryScore::EntryTally& t) {
    return QStringLiteral("%1 %2 R・%3/%4 艇").arg(name).arg(t.WholeRight).arg(t.BoatsRight).arg(t.Boats);
  };
  // The figures on a line of their own: the window is as wide as they are, never wrapped.
  return QStringLiteral("進入予想の的中（この場 %1 R）:\n").arg(wakunari.Races) +
         part(QStringLiteral("標準"), standard) + QStringLiteral("　") + part(QStringLiteral("統計"), stat) +
         QStringLiteral("　") + part(QStringLiteral("枠なり"), wakunari);
}

void frmMain::RefreshKekka() {
  if (!frmKekkaWindow) return;
  if (mblnKekkaOtherDay) {
    frmKekkaWindow->ShowDayMismatch(mclsBangumi->RaceDate(), mclsKekka->RaceDate());
    frmKekkaWindow->SetAccuracyText(QString());
    frmKekkaWindow->SetWinText(QString());
    return;
  }
  // The courses as the card shows them, the user's own included.
  std::array<std::int16_t, 7> course{};
  for (std::int16_t b = 1; b <= 6; ++b) {
    bool ok = false;
    const int c = mclsGrid->CellValue(b, kColCourse).toInt(&ok);
    course[static_cast<std::size_t>(b)] = ok && c >= 1 && c <= 6 ? static_cast<std::int16_t>(c) : std::int16_t{0};
  }
  const bool shown = mblnKekkaLoaded && !mblnNoBangumi && mblnBangumiLoaded;
  frmKekkaWindow->ShowRace(shown ? mclsKekka.get() : nullptr, SelectedJyoCode(), SelectedRaceNo(), course);
  frmKekkaWindow->SetAccuracyText(shown ? mstrAccuracy : QString());
  frmKekkaWindow->SetWinText(WinText(shown));
}

void frmMain::mnuFileExit_Click() { close(); }

void frmMain::closeEvent(QCloseEvent* event) {
  gblnQuit = true;
  if (mblnRunning) {
    // The run is still on the stack: it sees the flag at its next check and returns, and the
    // window closes for good then. Until then it only disappears.
    hide();
    Clock().Interrupt();
    event->ignore();
    return;
  }
  event->accept();
  // A window closed after it was hidden by a run is no longer "the last visible window", so the
  // program is told to end in so many words.
  emit closed();
}

// ---- The race menu ----

void frmMain::mnuRaceSpeedNormal_Click() { mnuRaceSpeedNormal->setChecked(true); }
void frmMain::mnuRaceSpeedHi_Click() { mnuRaceSpeedHi->setChecked(true); }
void frmMain::mnuTestRun_Click() { RunCommand(false); }
void frmMain::mnuRaceStart_Click() { RunCommand(true); }

std::optional<frmMain::CardEntrants> frmMain::ReadCardEntrants() {
  CardEntrants fields;
  std::int16_t boat = 1;
  std::int16_t col = 0;
  try {
    for (boat = 1; boat <= kBoatCount; ++boat) {
      CardEntrant& f = fields[static_cast<std::size_t>(boat - 1)];
      const auto cell = [&](std::int16_t c) {
        col = c;
        return mclsGrid->CellValue(boat, c);
      };
      f.weight = ToSingle(cell(kColWeight));
      f.rate = ToSingle(cell(kColRate));
      f.rate2 = ToSingle(cell(kColRate2));
      f.motor2 = ToSingle(cell(kColMotor2));
      f.boat2 = ToSingle(cell(kColBoat2));
      f.course = ToInteger(cell(kColCourse));
      f.name = cell(kColName);
    }
  } catch (const RuntimeError& e) {
    MsgBox(QStringLiteral("出走表の %1 号艇、%2 列目の値ではレースを始められません。\n%3")
               .arg(boat)
               .arg(col)
               .arg(e.reportText()),
           MsgButtons::Ok, MsgIcon::Critical, QString());
    return std::nullopt;
  }
  return fields;
}

void frmMain::EntrantDataSet(const CardEntrants& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    EntrantType& e = gtypEntrant[i];
    const CardEntrant& f = fields[i];
    e.Weight = f.weight < 50 ? 50.0f : f.weight;
    e.Syoritu = f.rate;
    e.Rentairitu2 = f.rate2;
    e.MotorRentairitu2 = f.motor2;
    e.BoatRentairitu2 = f.boat2;
    e.Course = f.course;
    e.Name = f.name;
  }
}

bool frmMain::EntrantDataSet() {
  const auto fields = ReadCardEntrants();
  if (fields) EntrantDataSet(*fields);
  return fields.has_value();
}

void frmMain::RunCommand(bool race) {
  if (mblnRunning || cboJyo->currentIndex() < 0 || cboRaceNo->currentIndex() < 0) return;
  // The card must read as a race before the window changes face; its values are copied into the
  // records after PoolInit has reset them.
  const auto entrants = ReadCardEntrants();
  if (!entrants) return;

  std::int32_t lngWaitTime = mnuRaceSpeedHi->isChecked() ? 100 : 250;
  SetMenuEnabled(mnuFile, false);
  SetMenuEnabled(mnuRace, false);
  // A help box opened mid-run would hold the run's frames until it is closed.
  SetMenuEnabled(mnuHelp, false);
  cmdClose->hide();
  PoolInit();
  if (!race) picClock().SetVisible(false);
  picGridPanel->hide();
  SetView(1);
  PlaceWindow();
  EntrantDataSet(*entrants);

  mblnRunning = true;
  if (race) {
    RaceStart(lngWaitTime);
  } else {
    TestRun(lngWaitTime);
  }
  mblnRunning = false;
  SetMenuEnabled(mnuHelp, true);

  if (gblnQuit) {
    // Closed during the run: now that the run has returned, the window may go.
    close();
    return;
  }
  cmdClose->show();
  SetMenuEnabled(mnuRace, true);
}

void frmMain::cmdClose_Click() {
  if (mblnRunning) return;
  picGridPanel->show();
  SetMenuEnabled(mnuFile, true);
  cmdClose->hide();
  SetView(0);
  PlaceWindow();
}

void frmMain::cmdCancel_Click() {
  // Escape means something only while a run goes on.
  if (!mblnRunning) return;
  gblnRunning = false;
  Clock().Interrupt();
}

// ---- The entry-course pop-up ----

void frmMain::picGrid_MouseUp(Qt::MouseButton button, float x, float y) {
  if (mblnRunning) return;
  mclsGrid->MouseMove(-1, -1);
  if (button != Qt::RightButton) return;
  mintPopupRow = mclsGrid->ClickRow(y);
  mintPopupCol = mclsGrid->ClickCol(x);
  if (mintPopupCol != kColCourse || mintPopupRow <= 0) return;
  mclsGrid->MouseMove(x, y);
  PopupMenu(mnuPopup, picGrid->mapToGlobal(QPoint(static_cast<int>(x), static_cast<int>(y))));
}

void frmMain::mnuPopupCourse_Click(int course) {
  if (mintPopupRow < 1 || mintPopupRow > 6 || course < 1 || course > 6) return;
  // The boat that held the course takes this boat's old one: the six stay a permutation, so no
  // boat is hidden under another in the race.
  std::array<int, 7> courses{};
  for (std::int16_t b = 1; b <= 6; ++b)
    courses[static_cast<std::size_t>(b)] = mclsGrid->CellValue(b, kColCourse).toInt();
  int old = courses[static_cast<std::size_t>(mintPopupRow)];
  courses[static_cast<std::size_t>(mintPopupRow)] = course;
  if (old < 1 || old > 6) {
    // A card whose cell held no course: the displaced boat takes the first course left free.
    old = 1;
    while (old < 6 && std::find(courses.begin() + 1, courses.end(), old) != courses.end()) ++old;
  }
  for (std::int16_t b = 1; b <= 6; ++b) {
    if (b != mintPopupRow && courses[static_cast<std::size_t>(b)] == course) {
      mclsGrid->SetCellValue(b, kColCourse, QString::number(old));
    }
  }
  mclsGrid->SetCellValue(mintPopupRow, kColCourse, QString::number(course));
  ShowWinChances();
  mclsGrid->Refresh(false);
  RefreshKekka();
}

void frmMain::mnuPopupNum_Click() {
  WriteCourses({0, 1, 2, 3, 4, 5, 6});
  mclsGrid->Refresh(false);
  RefreshKekka();
}

void frmMain::mnuRaceExpect_Click(EntryPredictor predictor) {
  SetPredictor(predictor);
  // The race shown is predicted again at once, as 自動 does.
  mnuPopupPredictor_Click(predictor);
}

void frmMain::mnuPopupAuto_Click() { mnuPopupPredictor_Click(mPredictor); }

void frmMain::mnuPopupPredictor_Click(EntryPredictor predictor) {
  // With no race chosen (a store just opened, a venue that failed to load) there is nothing to
  // predict, and the card stays as it is. The demo card has no racers: 枠なり.
  if (cboRaceNo->currentIndex() < 0) return;
  ShowPrediction(mblnNoBangumi || !mblnBangumiLoaded ? std::nullopt : PredictShown(SelectedRaceNo(), predictor));
  mclsGrid->Refresh(false);
  RefreshKekka();
}

// ---- Browsing by keyboard, the card's tooltip, files dropped on the card ----

bool frmMain::Browsing() const { return !mblnRunning && !mblnNoBangumi && !picGridPanel->isHidden(); }

void frmMain::RaceStep(int delta) {
  const int next = cboRaceNo->currentIndex() + delta;
  if (!Browsing() || cboRaceNo->currentIndex() < 0 || next < 0 || next >= cboRaceNo->count()) return;
  SelectListIndex(cboRaceNo, next);
}

void frmMain::VenueStep(int delta) {
  if (!Browsing() || cboJyo->count() == 0) return;
  const int current = cboJyo->currentIndex();
  const int next = current < 0 ? (delta > 0 ? 0 : cboJyo->count() - 1) : current + delta;
  if (next < 0 || next >= cboJyo->count()) return;
  const int race = SelectedRaceNo();
  SelectListIndex(cboJyo, next);
  if (race > 1 && cboRaceNo->count() > 0) SelectListIndex(cboRaceNo, std::min(race, cboRaceNo->count()) - 1);
}

QString frmMain::CardToolTip(float x, float y) {
  const std::int16_t row = mclsGrid->ClickRow(y);
  if (mclsGrid->ClickCol(x) < 0 || row < 1 || row > 6 || SelectedRaceNo() < 1) return QString();
  // Without a prediction on the card, the boat and the racer's races from the history alone.
  if (!mShownPrediction) {
    const QString history = HistoryLines(row);
    return history.isEmpty()
               ? QString()
               : QStringLiteral("%1号艇 %2").arg(row).arg(mclsGrid->CellValue(row, kColName).trimmed()) + history;
  }
  // The reasons of the prediction the card shows, kept with it: never another race's.
  QString text = QStringLiteral("%1号艇 %2\n%3")
                     .arg(row)
                     .arg(mclsGrid->CellValue(row, kColName).trimmed(), mShownPrediction->reasons.value(row - 1));
  if (mclsBangumi->CourseFix(SelectedRaceNo())) text += QStringLiteral("\n進入固定");
  return text + HistoryLines(row);
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
  // Files are taken on the card only; a run refuses them.
  if (!mblnRunning && !picGridPanel->isHidden() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event) {
  if (mblnRunning || picGridPanel->isHidden() || !event->mimeData()->hasUrls()) return;
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  event->acceptProposedAction();
  DropFiles(paths);
}

void frmMain::DropFiles(const QStringList& paths) {
  if (mblnRunning || picGridPanel->isHidden()) return;
  struct Dropped {
    QString path;
    QByteArray bytes;
  };
  std::vector<DayFile> handbooks, programmes, results;
  const auto refuse = [](const QString& text) { MsgBox(text, MsgButtons::Ok, MsgIcon::Critical, QString()); };
  for (const QString& path : paths) {
    // Read once: what is no regular file, cannot be read or is too large is refused unread.
    DayFile file;
    try {
      file = DayFileOpen(path, std::nullopt);
    } catch (const RuntimeError& e) {
      refuse(e.reportText());
      continue;
    }
    switch (file.kind) {
      case DayFileKind::FanHandbook:
        handbooks.push_back(std::move(file));
        break;
      case DayFileKind::Programme:
        programmes.push_back(std::move(file));
        break;
      case DayFileKind::Results:
        results.push_back(std::move(file));
        break;
      case DayFileKind::Empty:
        refuse(QStringLiteral("%1\nファイルが空です").arg(path));
        break;
      case DayFileKind::Other:
        refuse(QStringLiteral("%1\n番組ファイルでもファン手帳ファイルでもないため、開きませんでした。").arg(path));
        break;
    }
  }
  // The handbook first, so that the programme's races are predicted from it.
  for (const DayFile& d : handbooks) {
    if (SensyuStoreReplace(d.bytes, d.name)) HandbookInstalled();
  }
  for (const DayFile& d : programmes) {
    if (mclsBangumi->FileConvBytes(d.bytes, d.name)) {
      mnuFileOpenOld_Click();
      HistoryRecordMember({d.name, d.bytes}, ArchiveKind::Programme);
    }
  }
  // The results last, so that their day is checked against the programme dropped with them.
  for (const DayFile& d : results) {
    if (KekkaOpen(d)) {
      KekkaOpened();
      HistoryRecordMember({d.name, d.bytes}, ArchiveKind::Results);
    }
  }
}

}  // namespace tidewake
