#include "ui/frmMain.h"
#include "history/cRirekiDb.h"

#include "platform/Clock.h"
#include "platform/Format.h"
#include "sim/mGlobal.h"
#include "sim/mMain.h"
#include "ui/frmKekka.h"
#include "ui/qtplatform/Artwork.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#ifndef TIDEWAKE_VERSION
#define TIDEWAKE_VERSION "0.0.0"
#endif

namespace tidewake {
namespace {

constexpr Colour kWhite = 0xFFFFFF;
// The water: red 0, green 160, blue 192.
constexpr Colour kWater = 0xC0A000;

const QString kCardFormat = QStringLiteral(
    "^艇番|^選手登番|選  手  名|^年齢|出身|^体重|^級別|勝 率|２連率|モNo|２連率|ボNo|２連率|<成　　　　績|^進入|^勝率");

// The notice line: a fixed prefix, the product's legal notice with its version, one blank.
const QString kNoticePrefix = QStringLiteral("Tidewake ");
QString LegalNotice() { return QStringLiteral("Ver.%1 (C) Corvane").arg(QStringLiteral(TIDEWAKE_VERSION)); }

// Fonts are given in points at the 96 dots per inch the window is laid out for.
QFont WindowFont(const QString& family, double points, bool bold) {
  QFont font(family);
  font.setPixelSize(static_cast<int>(points * 96.0 / 72.0 + 0.5));
  font.setBold(bold);
  return font;
}

void Place(QWidget* w, int left, int top, int width, int height) {
  w->move(left, top);
  w->setFixedSize(width, height);
}

}  // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("Corvane Tidewake"));
  // A window made after another closed (the tests make many) starts with the run flags down.
  gblnQuit = false;
  gblnRunning = false;
  previousScene_ = SetRaceScene(this);
  PopupMenu = [](QMenu* menu, const QPoint& at) { menu->exec(at); };
  BuildMenus();
  BuildFanMenus();
  BuildControls();
  BuildFanControls();
  LoadSettings();
  Form_Load();
}

frmMain::~frmMain() {
  // The grid draws on picGrid, which the widgets below still own: it goes first.
  mclsGrid.reset();
  SetRaceScene(previousScene_);
}

void frmMain::Command(QAction* action, std::function<void()> handler) {
  connect(action, &QAction::triggered, this, [this, handler = std::move(handler)] {
    if (!mblnRunning) handler();
  });
}

void frmMain::SetMenuEnabled(QMenu* menu, bool on) {
  // The items too, sub-menus included: a disabled menu title alone would leave their shortcuts
  // live.
  menu->menuAction()->setEnabled(on);
  for (QAction* a : menu->actions()) {
    a->setEnabled(on);
    if (QMenu* sub = a->menu()) SetMenuEnabled(sub, on);
  }
}

void frmMain::BuildMenus() {
  mnuFile = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
  mnuFileOpen = mnuFile->addAction(QStringLiteral("番組ﾌｧｲﾙを開く(&O)..."));
  mnuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  mnuFileOpenOld = mnuFile->addAction(QStringLiteral("前回の番組ﾌｧｲﾙを開く(&B)"));
  mnuFileOpenOld->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
  mnuFileUpdate = mnuFile->addAction(QStringLiteral("選手ﾌｧｲﾙの更新(&U)..."));
  mnuFileKekka = mnuFile->addAction(QStringLiteral("成績ﾌｧｲﾙを開く(&K)..."));
  mnuFileKekka->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
  mnuFileHistoryImport = mnuFile->addAction(QStringLiteral("履歴に取り込む(&I)..."));
  mnuFile->addSeparator();
  mnuFileExit = mnuFile->addAction(QStringLiteral("終了(&X)"));
  Command(mnuFileOpen, [this] { mnuFileOpen_Click(); });
  Command(mnuFileOpenOld, [this] { mnuFileOpenOld_Click(); });
  Command(mnuFileUpdate, [this] { mnuFileUpdate_Click(); });
  Command(mnuFileKekka, [this] { mnuFileKekka_Click(); });
  Command(mnuFileHistoryImport, [this] { mnuFileHistoryImport_Click(); });
  Command(mnuFileExit, [this] { mnuFileExit_Click(); });

  mnuRace = menuBar()->addMenu(QStringLiteral("ﾚｰｽ(&R)"));
  mnuTestRun = mnuRace->addAction(QStringLiteral("展示航走(&T)"));
  mnuTestRun->setShortcut(QKeySequence(Qt::Key_F4));
  mnuRaceStart = mnuRace->addAction(QStringLiteral("開始(&B)"));
  mnuRaceStart->setShortcut(QKeySequence(Qt::Key_F5));
  QMenu* mnuRaceSpeed = mnuRace->addMenu(QStringLiteral("表示速度(&S)"));
  mnuRaceSpeedNormal = mnuRaceSpeed->addAction(QStringLiteral("普通(&N)"));
  mnuRaceSpeedNormal->setShortcut(QKeySequence(Qt::Key_F6));
  mnuRaceSpeedHi = mnuRaceSpeed->addAction(QStringLiteral("速い(&H)"));
  mnuRaceSpeedHi->setShortcut(QKeySequence(Qt::Key_F7));
  auto* speed = new QActionGroup(this);
  for (QAction* a : {mnuRaceSpeedNormal, mnuRaceSpeedHi}) {
    a->setCheckable(true);
    speed->addAction(a);
  }
  mnuRaceSpeedNormal->setChecked(true);
  // The entry prediction used by choosing a race and by 自動, for as long as the program runs.
  QMenu* mnuRaceExpect = mnuRace->addMenu(QStringLiteral("進入予想(&E)"));
  mnuRaceExpectStandard = mnuRaceExpect->addAction(QStringLiteral("標準(&P)"));
  mnuRaceExpectStat = mnuRaceExpect->addAction(QStringLiteral("統計(&S)"));
  mnuRaceExpectHistory = mnuRaceExpect->addAction(QStringLiteral("履歴(&H)"));
  auto* expect = new QActionGroup(this);
  for (QAction* a : {mnuRaceExpectStandard, mnuRaceExpectStat, mnuRaceExpectHistory}) {
    a->setCheckable(true);
    expect->addAction(a);
  }
  // 統計 at start: on unseen days it has the most entries right.
  mnuRaceExpectStat->setChecked(true);
  Command(mnuRaceExpectStandard, [this] { mnuRaceExpect_Click(EntryPredictor::Rules); });
  Command(mnuRaceExpectStat, [this] { mnuRaceExpect_Click(EntryPredictor::Stat); });
  Command(mnuRaceExpectHistory, [this] { mnuRaceExpect_Click(EntryPredictor::History); });
  mnuRaceWinFit = mnuRace->addAction(QStringLiteral("勝率を学習し直す(&L)..."));
  Command(mnuRaceWinFit, [this] { mnuRaceWinFit_Click(); });
  mnuRaceWinShipped = mnuRace->addAction(QStringLiteral("出荷時の係数に戻す(&H)..."));
  Command(mnuRaceWinShipped, [this] { mnuRaceWinShipped_Click(); });
  mnuRace->addSeparator();
  mnuRaceKekka = mnuRace->addAction(QStringLiteral("レース結果(&V)"));
  mnuRaceKekka->setShortcut(QKeySequence(Qt::Key_F8));
  Command(mnuRaceKekka, [this] { mnuRaceKekka_Click(); });
  Command(mnuTestRun, [this] { mnuTestRun_Click(); });
  Command(mnuRaceStart, [this] { mnuRaceStart_Click(); });
  Command(mnuRaceSpeedNormal, [this] { mnuRaceSpeedNormal_Click(); });
  Command(mnuRaceSpeedHi, [this] { mnuRaceSpeedHi_Click(); });
  // The shortcuts of the speed items must work while their sub-menu is closed.
  addActions(
      {mnuFileOpen, mnuFileOpenOld, mnuFileUpdate, mnuTestRun, mnuRaceStart, mnuRaceSpeedNormal, mnuRaceSpeedHi});

  // The entry-course pop-up: a menu of its own, never in the menu bar.
  mnuPopup = new QMenu(QStringLiteral("Popup"), this);
  mnuPopupAuto = mnuPopup->addAction(QStringLiteral("自動(&A)"));
  mnuPopupStandard = mnuPopup->addAction(QStringLiteral("標準(&P)"));
  mnuPopupStat = mnuPopup->addAction(QStringLiteral("統計(&S)"));
  mnuPopupHistory = mnuPopup->addAction(QStringLiteral("履歴(&H)"));
  mnuPopupNum = mnuPopup->addAction(QStringLiteral("枠なり(&W)"));
  mnuPopup->addSeparator();
  for (int c = 1; c <= 6; ++c) {
    QAction* a = mnuPopup->addAction(QStringLiteral("&%1 コース").arg(c));
    mnuPopupCourse[static_cast<std::size_t>(c - 1)] = a;
    Command(a, [this, c] { mnuPopupCourse_Click(c); });
  }
  mnuPopup->setDefaultAction(mnuPopupAuto);
  Command(mnuPopupAuto, [this] { mnuPopupAuto_Click(); });
  Command(mnuPopupNum, [this] { mnuPopupNum_Click(); });
  Command(mnuPopupStandard, [this] { mnuPopupPredictor_Click(EntryPredictor::Rules); });
  Command(mnuPopupStat, [this] { mnuPopupPredictor_Click(EntryPredictor::Stat); });
  Command(mnuPopupHistory, [this] { mnuPopupPredictor_Click(EntryPredictor::History); });
}

void frmMain::BuildControls() {
  auto* client = new QWidget(this);
  client->setFixedSize(kClientWidth, kClientHeight[0]);
  setCentralWidget(client);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  // The water lies under the card panel; the card view shows only the panel's part of it.
  picPoolBox = new QtPictureBox(828, 400, client);
  picPoolBox->move(0, 0);
  picClockBox = new QtPictureBox(88, 99, picPoolBox);
  lblStartLabel = new QtSceneLabel(QStringLiteral("スタート"), picPoolBox);
  Place(lblStartLabel, 292, 188, 233, 15);
  lblStartLabel->Move(292, 188);
  lblStartLabel->setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック"), 11.25, true));
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::WindowText, Qt::black);
  lblStartLabel->setPalette(white);
  lblStartLabel->SetForeColor(0x0000FF);
  cmdClose = new QPushButton(QStringLiteral("戻る"), picPoolBox);
  Place(cmdClose, 740, 360, 73, 25);
  connect(cmdClose, &QPushButton::clicked, this, &frmMain::cmdClose_Click);
  // Far outside the water: it acts only through the Escape key.
  cmdCancel = new QPushButton(QStringLiteral("Cancel"), picPoolBox);
  Place(cmdCancel, -3296, 364, 77, 21);
  connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &frmMain::cmdCancel_Click);
  const auto key = [this](QKeyCombination k, auto handler) {
    connect(new QShortcut(QKeySequence(k), this), &QShortcut::activated, this, handler);
  };
  key(QKeyCombination(Qt::Key_PageDown), [this] { RaceStep(1); });
  key(QKeyCombination(Qt::Key_PageUp), [this] { RaceStep(-1); });
  key(Qt::CTRL | Qt::Key_PageDown, [this] { VenueStep(1); });
  key(Qt::CTRL | Qt::Key_PageUp, [this] { VenueStep(-1); });
  setAcceptDrops(true);

  for (int k = 0; k < 2; ++k) {
    imgTurnMarkPics[static_cast<std::size_t>(k)] = new QtSceneImage(TurnMarkPicture(), picPoolBox);
  }
  imgBoat = BoatPictureList();
  const int boatTop[6] = {256, 276, 300, 320, 344, 364};
  for (int i = 0; i < 6; ++i) {
    auto* boat = new QtSceneImage(&imgBoat, QSize(33, 33), picPoolBox);
    boat->Move(0, static_cast<float>(boatTop[i]));
    imgRaceBoatPics[static_cast<std::size_t>(i)] = boat;
  }

  picGridPanel = new QWidget(client);
  Place(picGridPanel, 0, 0, 828, 209);
  picGridPanel->setAutoFillBackground(true);
  cboJyo = new QComboBox(picGridPanel);
  Place(cboJyo, 8, 8, 325, 20);
  cboRaceNo = new QComboBox(picGridPanel);
  Place(cboRaceNo, 340, 8, 53, 20);
  // One Japanese font for the whole item: digits before a title in kana would otherwise be
  // drawn in another font than digits before a title in kanji.
  for (QComboBox* c : {cboJyo, cboRaceNo}) c->setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック"), 9, false));
  connect(cboJyo, &QComboBox::activated, this, [this] { cboJyo_Click(); });
  connect(cboRaceNo, &QComboBox::activated, this, [this] { cboRaceNo_Click(); });
  lblDay = new QLabel(picGridPanel);
  Place(lblDay, 516, 16, 229, 15);
  lblDay->setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック"), 11.25, true));
  lblDay->setAutoFillBackground(true);
  lblDay->setPalette(white);
  picGrid = new QtPictureBox(785, 153, picGridPanel);
  picGrid->move(8, 36);
  picGrid->onMouseUp = [this](Qt::MouseButton b, float x, float y) { picGrid_MouseUp(b, x, y); };
  picGrid->toolTipAt = [this](float x, float y) { return CardToolTip(x, y); };
  lblNotice = new QLabel(picGridPanel);
  Place(lblNotice, 616, 192, 201, 12);
  lblNotice->setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック"), 9, false));
  QPalette notice = white;
  notice.setColor(QPalette::WindowText, ToQColor(0xFF0000));
  lblNotice->setPalette(notice);
}

void frmMain::Form_Load() {
  // 1. The card-view size; 2. the notice; 3. the place on the screen; 4. the label centred.
  SetView(0);
  lblNotice->setText(kNoticePrefix + LegalNotice() + u' ');
  PlaceWindow();
  lblStartLabel->Move(static_cast<float>((kClientWidth - lblStartLabel->width()) / 2), lblStartLabel->Top());
  // 5. The card panel white.
  QPalette panel = picGridPanel->palette();
  panel.setColor(QPalette::Window, ToQColor(kWhite));
  picGridPanel->setPalette(panel);
  // 6. The stores and the grid, for as long as the window lives.
  mclsBangumi = std::make_unique<cBangumiFile>();
  mclsSensyu = std::make_unique<cSensyuFile>();
  mclsGrid = std::make_unique<cGrid>();
  mclsKekka = std::make_unique<cKekkaFile>();
  // 7. The card.
  SetUpCard();
  // 8. The water, its font and the clock face; 9. the scene; 10. the demo card.
  IDrawSurface& pool = picPool();
  pool.SetFontName(QStringLiteral("ＭＳ ゴシック"));
  pool.SetFontSize(9);
  pool.SetBackColor(kWater);
  picClockBox->Surface().SetPicture(ClockFacePicture());
  picClockBox->Surface().Cls();
  PoolInit();
  DemoRaceSet();
}

void frmMain::SetUpCard() { RaceCardSetUp(*mclsGrid, picGrid->Surface()); }

bool RaceCardSetUp(cGrid& grid, IDrawSurface& picture) {
  // Sixteen columns: the 勝率 column fits in the picture's room to the right of 進入.
  const bool bound = grid.Init(&picture, 16, 7, true, false);
  grid.SetRefreshFlg(false);
  picture.SetFontSize(11);
  grid.SetAllTextLine(1);
  grid.SetFormatString(kCardFormat);
  grid.SetRowTextLine(0, 2);
  grid.SetCellValue(0, 13, grid.CellValue(0, 13) + QStringLiteral("\r\n") + QStringLiteral("１２３４５６"));
  grid.SetRowTextAlign(0, 2);
  for (std::int16_t boat = 1; boat <= 6; ++boat) {
    grid.SetCellBackColor(boat, 0, *BoatColor(boat, true));
    grid.SetCellForeColor(boat, 0, *BoatColor(boat, false));
    grid.SetCellValue(boat, 0, QString::number(boat));
  }
  grid.Refresh(false);
  return bound;
}

void frmMain::DemoRaceSet() {
  mblnNoBangumi = true;
  gstrTitle = QStringLiteral("ＳＧ　第１回オールスター BOAT RACE");
  cboJyo->clear();
  cboJyo->addItem(FormatNumber(12, u"00\\#   ") + gstrTitle, 12);
  cboRaceNo->clear();
  cboRaceNo->addItem(FormatText(u"12", u"@@ R"), 12);
  lblDay->setText(QStringLiteral("  ボートレース住之江"));

  struct Demo {
    const char16_t *no, *name;
    int age;
    const char16_t* home;
    int weight;
    const char16_t* cls;
    const char16_t* rate;
    double rate2;
    int motor;
    double motor2;
    int boat;
    double boat2;
    const char16_t* results;
  };
  static const Demo demo[6] = {
      {u"4320", u"潮見　大和", 41, u"千葉", 47, u"A1", u"9.27", 67.30, 39, 49.67, 14, 41.22, u"１１１１１１"},
      {u"4188", u"波田　健吾", 43, u"徳島", 50, u"A1", u"8.92", 55.00, 34, 46.34, 53, 39.84, u"１１１１１３２"},
      {u"4602", u"湊　　翔太", 32, u"大阪", 51, u"A1", u"9.53", 66.67, 27, 39.06, 36, 39.20, u"１２１１１１"},
      {u"4850", u"岬　　拓海", 29, u"山口", 49, u"A1", u"9.15", 61.40, 76, 47.83, 13, 43.75, u"６１１２２１"},
      {u"4577", u"浦上　亮介", 33, u"福岡", 52, u"A1", u"8.99", 62.48, 75, 43.20, 25, 42.86, u"３３１１１１"},
      {u"4861", u"汐田　悠真", 29, u"群馬", 50, u"A1", u"8.91", 66.12, 23, 46.83, 79, 39.67, u"２１２１２１"},
  };
  cGrid& grid = *mclsGrid;
  for (std::int16_t boat = 1; boat <= 6; ++boat) {
    const Demo& d = demo[boat - 1];
    const QStringList cells = {
        QString::fromUtf16(d.no),        QString::fromUtf16(d.name),     QString::number(d.age),
        QString::fromUtf16(d.home),      QString::number(d.weight),      QString::fromUtf16(d.cls),
        QString::fromUtf16(d.rate),      FormatNumber(d.rate2, u"0.00"), QString::number(d.motor),
        FormatNumber(d.motor2, u"0.00"), QString::number(d.boat),        FormatNumber(d.boat2, u"0.00"),
        QString::fromUtf16(d.results),   QString::number(boat)};
    for (std::int16_t col = 1; col <= 14; ++col) grid.SetCellValue(boat, col, cells[col - 1]);
  }
  grid.Refresh(false);
  SelectListIndex(cboJyo, 0);
  SelectListIndex(cboRaceNo, 0);
}

void frmMain::SelectListIndex(QComboBox* combo, int index) {
  combo->setCurrentIndex(index);
  if (combo == cboJyo) cboJyo_Click();
  if (combo == cboRaceNo) cboRaceNo_Click();
}

void frmMain::SetView(int view) {
  centralWidget()->setFixedSize(kClientWidth, kClientHeight[static_cast<std::size_t>(view)]);
  layout()->activate();
}

void frmMain::PlaceWindow() {
  const QScreen* s = screen();
  if (!s) return;
  const QRect area = s->geometry();
  // The frame is known once the window manager has decorated the window; before, the client.
  const QSize outer = isVisible() ? frameGeometry().size() : size();
  move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 6);
}

void frmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!placedOnShow_) {
    placedOnShow_ = true;
    PlaceWindow();
  }
}

// ---- The scene ----

void frmMain::MoveClock(float left, float top) { picClockBox->move(ScenePixel(left), ScenePixel(top)); }

QtSceneImage& frmMain::imgTurnMark(int index) {
  CheckIndex(QStringLiteral("imgTurnMark"), index, 0, 1);
  return *imgTurnMarkPics[static_cast<std::size_t>(index)];
}

QtSceneImage& frmMain::imgRaceBoat(int index) {
  CheckIndex(QStringLiteral("imgRaceBoat"), index, 0, 5);
  return *imgRaceBoatPics[static_cast<std::size_t>(index)];
}

std::int16_t frmMain::SelectedJyoCode() const {
  return cboJyo->currentIndex() < 0 ? std::int16_t{0} : static_cast<std::int16_t>(cboJyo->currentData().toInt());
}

QString frmMain::RaceNoText() const { return cboRaceNo->currentText(); }

void frmMain::Unload() { close(); }

}  // namespace tidewake
