#pragma once

#include "grid/cGrid.h"
#include "platform/RaceScene.h"
#include "session/DaySession.h"
#include "ui/qtplatform/QtRaceScene.h"

#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressDialog;
class QPushButton;

namespace tidewake {

class frmAnalysis;
class frmKekka;
namespace mPages {
enum class PageKind;
}

// The race card's set-up on its picture, in the order its geometry depends on: Init (10 points,
// cells sharing the picture), batch, 11 points, one line a row, the headers, a two-line header
// row with the second lines, centred headers, the boat numbers in their colours, one paint (left
// to the caller that fills the card at once). False when the grid could not bind the picture (its
// LastErrText says why).
bool RaceCardSetUp(cGrid& grid, IDrawSurface& picture, bool paint = true);

// Where a window of `size` goes beside `main` on the screen area: under it when it fits, else to
// its right, else to its left; when none fits whole, as close under it as the screen allows.
QPoint PlaceBeside(const QRect& main, const QSize& size, const QRect& screenArea);

// The program's single window. The card view shows the venue and race selectors and the race
// card; the race view shows the water on which the runs animate. Both share one set of controls,
// named (objectName) as the window's description names them. The window draws what its
// DaySession holds and sends it what the user does; it keeps no copy of the day. It is the scene
// the runs draw on: it installs itself as RaceScene() while it exists.
class frmMain : public QMainWindow, public IRaceScene {
  Q_OBJECT

 public:
  explicit frmMain(QWidget* parent = nullptr);
  ~frmMain() override;

  // ---- The scene of the runs
  IDrawSurface& picPool() override;
  IDrawSurface& picClock() override;
  void MoveClock(float left, float top) override;
  QtSceneLabel& lblStart() override;
  QtSceneImage& imgTurnMark(int index) override;
  QtSceneImage& imgRaceBoat(int index) override;
  std::int16_t SelectedJyoCode() const override;
  QString RaceNoText() const override;
  void Unload() override;

  // The day shown; the card as drawn; the results window (nullptr until first asked for).
  DaySession& Session() { return *mSession; }
  // The card's grid, made when first asked for (by the card's first paint, or sooner).
  cGrid& Grid();
  frmKekka* KekkaWindow() const { return frmKekkaWindow; }
  // True from the start of a run until it returns.
  bool Running() const { return mblnRunning; }

  // Opens a pop-up menu at a point of the screen and returns once it is closed; the chosen
  // item's handler runs through its action. Tests replace it.
  std::function<void(QMenu*, const QPoint&)> PopupMenu;
  // Asks which day of the history to open, newest first; nothing when cancelled. Tests replace it.
  std::function<std::optional<QDate>(const std::vector<HeldDay>&)> AskHeldDay;

  // The client area's size in the card view (0) and the race view (1), in pixels.
  static constexpr int kClientWidth = 828;
  static constexpr std::array<int, 2> kClientHeight = {209, 400};

  // ヘルプ's texts: every key and what it does; the program's name, version and libraries.
  static QString KeysText();
  static QString AboutText();

 signals:
  // The window has closed for good (after any run in progress returned): the program may end.
  void closed();
  // The card's first paint is done (or the window was not shown at once): what the first frame
  // does not need may follow.
  void firstPaintDone();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // ---- Start-up and drawing (frmMain.cpp)
  void BuildMenus();
  void BuildControls();
  // The water and what lies on it, once: just after the card's first paint, or sooner when
  // something asks for them.
  void BuildScene();
  void Form_Load();
  void PlaceWindow();
  void SetView(int view);
  void DrawDay();
  void DrawCard();
  void FillCard();
  void DrawResults();
  void DrawStatus();
  // What the first paint of the card does not wait for: the status line's handbook, the chances.
  void FollowFirstPaint();

  // ---- Commands (frmMainCommands.cpp)
  void Command(QAction* action, std::function<void()> handler);
  void SetMenuEnabled(QMenu* menu, bool on);
  void cboJyo_Click();
  void cboRaceNo_Click();
  void mnuFileOpen_Click();
  void mnuFileOpenOld_Click();
  void mnuFileUpdate_Click();
  void mnuFileKekka_Click();
  void mnuFileExit_Click();
  void mnuRaceKekka_Click();
  // The display speed; `remember` keeps it for the next run too.
  void mnuRaceSpeed_Click(bool fast, bool remember = true);
  void RunCommand(bool race);
  void EntrantDataSet();
  void cmdClose_Click();
  void cmdCancel_Click();
  void picGrid_MouseUp(Qt::MouseButton button, float x, float y);
  QString CardToolTip(float x, float y);
  void RaceStep(int delta);
  void VenueStep(int delta);
  bool Browsing() const;
  void DropFiles(const QStringList& paths);

  // ---- What a fan looks for beside the card (frmMainFan.cpp)
  void BuildFanMenus();
  void BuildFanControls();
  void LoadSettings();
  void SetPredictor(EntryPredictor predictor, bool remember = true);
  QString AskOpenFile(const QString& strFilters);
  QString AskFolder(const QString& strTitle);
  void mnuRaceCopy_Click();

  // ---- The history and the win model's fit (frmMainHistory.cpp)
  void mnuFileHistoryImport_Click();
  void mnuFileHistoryDay_Click();
  // ﾌｧｲﾙ → 履歴を検査する: SQLite's full check of the history, off the window's thread.
  void mnuFileHistoryCheck_Click();
  void mnuRaceWinFit_Click();
  // ﾚｰｽ → 出荷時の係数に戻す: removes the user's WIN.TXT, once he says so, and uses the shipped
  // coefficients again.
  void mnuRaceWinShipped_Click();
  // The history opened for the session, an older file brought up to date first behind a
  // progress dialog.
  std::unique_ptr<cRirekiDb> OpenHistory(const QString& path);
  // Runs `work` off the window's thread behind a progress dialog shown at once; the token says
  // when the user asked to stop. The dialog is closed when it returns.
  void RunWithProgress(const QString& strTitle, const QString& strLabel,
                       const std::function<void(QProgressDialog*, std::stop_token)>& work);

  // ---- The analysis pages (frmMainAnalysis.cpp)
  void BuildAnalysisMenus();
  // The analysis window, made when first asked for.
  frmAnalysis* Analysis();
  // Opens `page` with what the session shows: its venue, its day (the pages count up to it), the
  // race's motors, and boat 1..6's racer (0: none).
  void OpenAnalysis(mPages::PageKind page, int boat);
  void picGrid_DoubleClick(Qt::MouseButton button, float x, float y);
  // The racer's registration number of boat 1..6 of the race shown; empty when there is none.
  QString BoatRacer(int boat) const;

  // ---- 直前情報 (frmMainChokuzen.cpp)
  void BuildChokuzenMenus();
  // ﾚｰｽ → 直前情報を入力: the race shown's exhibition times and courses, in a small dialog.
  void mnuRaceChokuzen_Click();
  // ﾚｰｽ → 直前情報を消す: the race shown back to the prediction before the exhibition.
  void mnuRaceChokuzenClear_Click();

  // The controls, named as the window's description names them.
  QWidget* picGridPanel = nullptr;
  QComboBox* cboJyo = nullptr;
  QComboBox* cboRaceNo = nullptr;
  QLabel* lblDay = nullptr;
  QLabel* lblRace = nullptr;
  QLabel* lblStatus = nullptr;
  QLabel* lblNotice = nullptr;
  QtPictureBox* picGrid = nullptr;
  QtPictureBox* picPoolBox = nullptr;
  QtPictureBox* picClockBox = nullptr;
  QtSceneLabel* lblStartLabel = nullptr;
  QPushButton* cmdClose = nullptr;
  std::array<QtSceneImage*, 2> imgTurnMarkPics{};
  std::array<QtSceneImage*, 6> imgRaceBoatPics{};
  QMenu* mnuFile = nullptr;
  QMenu* mnuRace = nullptr;
  QMenu* mnuHelp = nullptr;
  QMenu* mnuPopup = nullptr;
  // The pop-ups of a boat's row (its other columns) and of the venue selector.
  QMenu* mnuBoatPopup = nullptr;
  QMenu* mnuVenuePopup = nullptr;
  QAction* mnuRaceSpeedHi = nullptr;

  // The window's state: the day, the card's grid, the results window, the run.
  std::unique_ptr<DaySession> mSession;
  std::unique_ptr<cGrid> mclsGrid;
  frmKekka* frmKekkaWindow = nullptr;
  QPointer<frmAnalysis> mAnalysis;
  std::vector<QImage> imgBoat;
  IRaceScene* previousScene_ = nullptr;
  bool mblnRunning = false;
  // The run's frame period in milliseconds: F6 / F7 change it during a run too.
  std::int32_t mlngWaitTime = 250;
  // The boat whose course the pop-up sets.
  std::int16_t mintPopupRow = 0;
  bool placedOnShow_ = false;
  bool cardPainted_ = false;
};

}  // namespace tidewake
