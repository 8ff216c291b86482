#pragma once

#include "data/ArchiveMember.h"
#include "data/cBangumiFile.h"
#include "data/cKekkaFile.h"
#include "data/cSensyuFile.h"
#include "data/mDayFile.h"
#include "grid/cGrid.h"
#include "platform/RaceScene.h"
#include "predict/mEntryPredict.h"
#include "predict/mWinCard.h"
#include "predict/mWinCoefficients.h"
#include "predict/mWinModel.h"
#include "ui/qtplatform/QtRaceScene.h"

#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressDialog;
class QPushButton;

namespace tidewake {

class cRirekiDb;
class frmKekka;

// The race card's set-up on its picture, in the order its geometry depends on: Init (10 points,
// cells sharing the picture), batch, 11 points, one line a row, the headers, a two-line header
// row with the results' second line, centred headers, the boat numbers in their colours, one paint.
// False when the grid could not bind the picture (its LastErrText says why).
bool RaceCardSetUp(cGrid& grid, IDrawSurface& picture);

// The race line of race intRaceNo of the loaded card, as the card shows it beside the selectors:
// "7R 予選 1800m 締切予定 20:26 第１日 進入固定" (each part only when the programme gives it).
QString RaceLine(const cBangumiFile& card, std::int16_t intRaceNo);

// Where a window of `size` goes beside `main` on the screen area: under it when it fits, else to
// its right, else to its left; when none fits whole, as close under it as the screen allows.
QPoint PlaceBeside(const QRect& main, const QSize& size, const QRect& screenArea);
void RunOffThread(const std::function<void()>& work);

// The program's single window. The card view shows the venue and race selectors and the race
// card; the race view shows the water on which the runs animate. Both share one set of controls,
// named as the window's description names them, so that each handler can be found by its name.
// The window is the scene the runs draw on: it installs itself as RaceScene() while it exists.
class frmMain : public QMainWindow, public IRaceScene {
  Q_OBJECT

 public:
  explicit frmMain(QWidget* parent = nullptr);
  ~frmMain() override;

  // ---- The scene of the runs
  IDrawSurface& picPool() override { return picPoolBox->Surface(); }
  IDrawSurface& picClock() override { return picClockBox->Surface(); }
  void MoveClock(float left, float top) override;
  QtSceneLabel& lblStart() override { return *lblStartLabel; }
  QtSceneImage& imgTurnMark(int index) override;
  QtSceneImage& imgRaceBoat(int index) override;
  std::int16_t SelectedJyoCode() const override;
  QString RaceNoText() const override;
  void Unload() override;

  // ---- Controls
  QWidget* picGridPanel = nullptr;
  QComboBox* cboJyo = nullptr;
  QComboBox* cboRaceNo = nullptr;
  QLabel* lblDay = nullptr;
  QtPictureBox* picGrid = nullptr;
  QLabel* lblNotice = nullptr;
  // Beside the selectors: the race shown (its name, distance, closing time, day, fixed entry).
  QLabel* lblRace = nullptr;
  // Left of lblNotice: the installed fan handbook and the predictor in use.
  QLabel* lblStatus = nullptr;
  QtPictureBox* picPoolBox = nullptr;
  QtPictureBox* picClockBox = nullptr;
  QtSceneLabel* lblStartLabel = nullptr;
  QPushButton* cmdClose = nullptr;
  QPushButton* cmdCancel = nullptr;
  std::array<QtSceneImage*, 2> imgTurnMarkPics{};
  std::array<QtSceneImage*, 6> imgRaceBoatPics{};

  QMenu* mnuFile = nullptr;
  QAction* mnuFileOpen = nullptr;
  QAction* mnuFileOpenOld = nullptr;
  QAction* mnuFileUpdate = nullptr;
  QAction* mnuFileKekka = nullptr;
  QAction* mnuFileHistoryImport = nullptr;
  QAction* mnuFileExit = nullptr;
  QMenu* mnuRace = nullptr;
  QAction* mnuTestRun = nullptr;
  QAction* mnuRaceStart = nullptr;
  QAction* mnuRaceSpeedNormal = nullptr;
  QAction* mnuRaceSpeedHi = nullptr;
  QAction* mnuRaceExpectStandard = nullptr;
  QAction* mnuRaceExpectStat = nullptr;
  QAction* mnuRaceExpectHistory = nullptr;
  QAction* mnuRaceWinFit = nullptr;
  QAction* mnuRaceWinShipped = nullptr;
  QAction* mnuRaceKekka = nullptr;
  QAction* mnuRaceCopy = nullptr;
  QMenu* mnuHelp = nullptr;
  QAction* mnuHelpKeys = nullptr;
  QAction* mnuHelpAbout = nullptr;
  QMenu* mnuPopup = nullptr;
  QAction* mnuPopupAuto = nullptr;
  QAction* mnuPopupStandard = nullptr;
  QAction* mnuPopupStat = nullptr;
  QAction* mnuPopupHistory = nullptr;
  QAction* mnuPopupNum = nullptr;
  std::array<QAction*, 6> mnuPopupCourse{};

  // The race card and the two stores.
  cGrid& Grid() { return *mclsGrid; }
  cBangumiFile& Bangumi() { return *mclsBangumi; }
  cSensyuFile& Sensyu() { return *mclsSensyu; }
  cKekkaFile& Kekka() { return *mclsKekka; }
  // The results window beside the card; made and shown on request (nullptr until then).
  frmKekka* KekkaWindow() const { return frmKekkaWindow; }

  // The entry predictor in use: the menu's checked item.
  EntryPredictor Predictor() const { return mPredictor; }
  void SetPredictor(EntryPredictor predictor);

  // The client area's size in the card view (0) and the race view (1), in pixels.
  static constexpr int kClientWidth = 828;
  static constexpr std::array<int, 2> kClientHeight = {209, 400};
  // The venue selector and the day label, narrowed to leave the race line room between them.
  static constexpr int kVenueSelectorWidth = 230;
  static constexpr int kDayWidth = 190;
  // The card's 勝率 column, after 進入: as wide as its header, in the room the picture had left.
  static constexpr std::int16_t kColWin = 15;

  // ---- Commands and handlers
  void cboJyo_Click();
  void cboRaceNo_Click();
  void mnuFileOpen_Click();
  void mnuFileOpenOld_Click();
  void mnuFileUpdate_Click();
  void mnuFileKekka_Click();
  // Imports a folder of official downloads into the history, off the window's thread, with a
  // progress dialog that can be cancelled; one box tells what came in.
  void mnuFileHistoryImport_Click();
  // The progress dialog of the import under way; nullptr otherwise.
  QProgressDialog* ImportProgress() const { return mImportProgress; }
  // The racer's last races from the history, for the tooltip on a boat's row: lines beginning with
  // a line feed, "（履歴なし）" when the history has none.
  QString HistoryLines(std::int16_t row);
  void mnuFileExit_Click();
  void mnuRaceKekka_Click();
  void mnuRaceSpeedNormal_Click();
  void mnuRaceSpeedHi_Click();
  void mnuTestRun_Click();
  void mnuRaceStart_Click();
  void cmdClose_Click();
  void cmdCancel_Click();
  void picGrid_MouseUp(Qt::MouseButton button, float x, float y);
  void mnuPopupCourse_Click(int course);
  void mnuPopupNum_Click();
  void mnuPopupAuto_Click();
  // ﾚｰｽ → 進入予想: the predictor from now on, and the race shown predicted by it.
  void mnuRaceExpect_Click(EntryPredictor predictor);
  // Every boat's course from one predictor, whichever is checked in the menu.
  void mnuPopupPredictor_Click(EntryPredictor predictor);
  // Copies weight, rates, course and name of each boat from the card into the entrant records.
  // A cell that does not read as a number is reported and nothing is copied.
  bool EntrantDataSet();

  // Races by keyboard: PageDown / PageUp the next or previous race of the venue; with Ctrl, the
  // next or previous venue at the same race number (its last race when it has fewer).
  void RaceStep(int delta);
  void VenueStep(int delta);
  // The tooltip of the card at a point of picGrid: why the prediction put the boat where it did.
  QString CardToolTip(float x, float y);
  // Programmes, results and fan handbooks dropped on the card, told apart by their content.
  void DropFiles(const QStringList& paths);

  // ---- The win model
  // Column 15 "勝率": each boat's chance of winning with the courses the card shows, in percent.
  // Empty on the demo card.
  void ShowWinChances();
  // The chances of the race shown; none on the demo card or before a race is chosen.
  std::optional<mWinModel::RaceChances> WinChancesShown();
  // The chances of race intRaceNo of the venue shown with the courses given (index 1..6).
  mWinModel::RaceChances WinChances(std::int16_t intRaceNo, const std::array<std::int16_t, 7>& courses);
  // ﾚｰｽ → 勝率を学習し直す: fits the win model on the user's history off the window's thread, with
  // a progress dialog, and uses the coefficients from then on (kept in WIN.TXT beside the stores).
  void mnuRaceWinFit_Click();
  // ﾚｰｽ → 出荷時の係数に戻す: removes the user's WIN.TXT, once he says so, and uses the shipped
  // coefficients again.
  void mnuRaceWinShipped_Click();
  // The card, the results window and the venue's line after the coefficients in use changed.
  void WinCoefficientsChanged();
  // The coefficients in use: the user's WIN.TXT when it reads whole, else those shipped (a
  // damaged file is said once).
  const mWinModel::Coefficients& WinCoefficients();
  // The same with what they were fitted on.
  const mWinCoefficients::Model& WinModelInUse() {
    WinCoefficients();
    return *mWinCoefficients;
  }
  static QString WinCoefficientsPath();
  // The results window's lines of the win model for the race shown: the five likeliest 2連単 and
  // 3連単, the chance and rank the model gave the result, and the venue's mean log-loss of the
  // winner beside the pool's. `withResults` false: the likeliest combinations only.
  QString WinText(bool withResults);

  // Ctrl+C: the race shown as tab-separated text (the race line, a header row, six boats).
  void mnuRaceCopy_Click();
  QString CardCopyText();
  // ヘルプ: every key and what it does; the program's name, version and the licences it uses.
  void mnuHelpKeys_Click();
  void mnuHelpAbout_Click();
  static QString KeysText();
  static QString AboutText();
  // The status line's text: the installed fan handbook and the predictor in use.
  QString StatusText() const;

  // Selects an item of a selector the way a user does: its handler runs.
  void SelectListIndex(QComboBox* combo, int index);

  // True from the start of a run until it returns.
  bool Running() const { return mblnRunning; }

  // Opens the entry-course pop-up at a point of the screen and returns once it is closed; the
  // chosen item's handler runs through its action. Tests replace it.
  std::function<void(QMenu*, const QPoint&)> PopupMenu;

 signals:
  // The window has closed for good (after any run in progress returned): the program may end.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void BuildControls();
  void Form_Load();
  void SetUpCard();
  void DemoRaceSet();
  void PlaceWindow();
  void SetView(int view);
  void RunCommand(bool race);
  // Weight, rates, course and name of each boat as the card shows them; a cell that does not read
  // as a number is reported and nothing is returned.
  struct CardEntrant {
    float weight = 0, rate = 0, rate2 = 0, motor2 = 0, boat2 = 0;
    std::int16_t course = 0;
    QString name;
  };
  using CardEntrants = std::array<CardEntrant, 6>;
  std::optional<CardEntrants> ReadCardEntrants();
  void EntrantDataSet(const CardEntrants& entrants);
  void WriteCourses(const std::array<std::int16_t, 7>& course);
  // The prediction of a race shown on the card; without a racer store, none (枠なり). A failure
  // is reported once.
  std::optional<EntryPrediction> PredictShown(std::int16_t intRaceNo, EntryPredictor predictor);
  // Shows a prediction's failure in its box, unless the same one was shown for this venue.
  void ReportPredictionFailure(const QString& strTitle, const QString& strText);
  // Writes a prediction's courses (or 枠なり) on the card and keeps it for the tooltip.
  void ShowPrediction(const std::optional<EntryPrediction>& prediction);
  // Stores a results text, or the official archive it comes in; false after its box, or when the
  // user keeps the stored results rather than another day's.
  bool KekkaOpen(const DayFile& file);
  // After new results were stored: the venue shown takes them, and the results window opens.
  void KekkaOpened();
  // Empties the card's six rows.
  void ClearCard();
  // The results of the venue shown, read from KEKKA.BRF when it has them.
  void LoadKekka(std::int16_t intJyoCode);
  // The results window follows the race on the card.
  void RefreshKekka();
  // The accuracy line of the venue shown: both predictions and 枠なり against the real entries.
  QString AccuracyText();
  std::int16_t SelectedRaceNo() const;
  // True while the card view shows a real programme and no run goes on: the selectors' keys act.
  bool Browsing() const;
  // The racers of the card's meeting, from the racer store as it is now.
  void LoadRacers();
  // After the racer store changed: the venue shown takes its racers from the new store.
  void ReloadRacers();
  // A command acts only while no run goes on: a run is one procedure on the window's thread, and a
  // command arriving through its event pump must not start a second one or change its card.
  void Command(QAction* action, std::function<void()> handler);
  void SetMenuEnabled(QMenu* menu, bool on);

  // The six racers' records from the history before the card's day, kept for the race shown.
  mWinCard::Records HistoryRecords(std::int16_t intRaceNo);
  QString mstrRecordsKey;
  mWinCard::Records mRecords{};
  std::optional<mWinCoefficients::Model> mWinCoefficients;
  // The venue's log-loss line, kept for the venue and results it was computed for.
  QString mstrWinVenueKey, mstrWinVenueText;
  QString WinVenueText();

  // ---- The fan's additions: race line, status line, remembered settings, help, copying
  void BuildFanMenus();
  void BuildFanControls();
  void LoadSettings();
  // The ﾚｰｽ → 進入予想 item of a predictor.
  QAction* PredictorItem(EntryPredictor predictor) const;
  // After a fan handbook was installed: say what it holds, and predict from it.
  void HandbookInstalled();
  // The open-file dialog with the filters given, starting in the last folder a file was chosen
  // from (remembered between runs); an empty path when cancelled.
  QString AskOpenFile(const QString& strFilters);
  // The folder dialog titled `strTitle`, starting in the same remembered folder.
  QString AskFolder(const QString& strTitle);
  void ShowRaceLine();
  void UpdateStatus();
  // The fan handbook installed in SENSYU.BRF: its period and number of racers; none without one.
  struct HandbookInfo {
    QString period;  // "2026年前期（2025/05/01～2025/10/31）"
    int racers = 0;
  };
  std::optional<HandbookInfo> ReadHandbookInfo() const;
  std::optional<HandbookInfo> mHandbook;
  // The missing handbook has been told once in this run.
  bool mblnNoHandbookTold = false;

  // The history: opened when first needed; a failure is reported once and the card goes on.
  cRirekiDb* History();
  void HistoryRecordMember(const ArchiveMember& member, ArchiveKind kind);
  std::unique_ptr<cRirekiDb> mHistory;
  bool mblnHistoryFailed = false;
  bool mblnHistoryTipFailed = false;
  QProgressDialog* mImportProgress = nullptr;

  IRaceScene* previousScene_ = nullptr;
  std::vector<QImage> imgBoat;
  std::unique_ptr<cBangumiFile> mclsBangumi;
  std::unique_ptr<cSensyuFile> mclsSensyu;
  std::unique_ptr<cGrid> mclsGrid;
  std::unique_ptr<cKekkaFile> mclsKekka;
  frmKekka* frmKekkaWindow = nullptr;
  // The results of the venue shown are loaded and of the programme's day.
  bool mblnKekkaLoaded = false;
  bool mblnKekkaOtherDay = false;
  // The venues KEKKA.BRF holds, listed when first needed after the store changed.
  std::optional<KyoteijyoTable> mKekkaVenues;
  QString mstrAccuracy;
  bool mblnNoBangumi = true;
  bool mblnBangumiLoaded = false;
  bool mblnSensyuLoaded = false;
  std::int16_t mintPopupRow = 0;
  std::int16_t mintPopupCol = 0;
  KyoteijyoTable mstrKyoteijyoTable;
  bool mblnRunning = false;
  bool placedOnShow_ = false;
  // The prediction whose courses the card shows, for the tooltip; none when the card's courses
  // did not come from one.
  std::optional<EntryPrediction> mShownPrediction;
  EntryPredictor mPredictor = EntryPredictor::Stat;
  // The prediction failures shown in a box since the venue was chosen: one failure, one box.
  QStringList mReportedFailures;
};

}  // namespace tidewake
