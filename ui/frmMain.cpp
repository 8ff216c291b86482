// The main window's controls, its start-up and its drawing of the day its session holds.

#include "ui/frmMain.h"

#include "platform/Clock.h"
#include "platform/Format.h"
#include "sim/mGlobal.h"
#include "sim/mMain.h"
#include "ui/frmKekka.h"
#include "ui/qtplatform/Artwork.h"
#include "ui/qtplatform/FontSubstitutions.h"
#include "ui/qtplatform/ProgramStyle.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#ifndef TIDEWAKE_VERSION
#define TIDEWAKE_VERSION "0.0.0"
#endif

namespace tidewake {
namespace {

constexpr Colour kWhite = 0xFFFFFF;
// The water: red 0, green 160, blue 192.
constexpr Colour kWater = 0xC0A000;

// The notice line: a fixed prefix, the product's legal notice with its version, one blank.
const QString kNoticePrefix = QStringLiteral("Tidewake ");
QString LegalNotice() { return QStringLiteral("Ver.%1 (C) Corvane").arg(QStringLiteral(TIDEWAKE_VERSION)); }

// Fonts are given in points at the 96 dots per inch the window is laid out for.
QFont WindowFont(const QString& family, double points, bool bold) {
  QFont font(InstalledFamily(family));
  font.setPixelSize(static_cast<int>(points * 96.0 / 72.0 + 0.5));
  font.setBold(bold);
  // The font holds every character the card and its captions show: none is merged from another.
  font.setStyleStrategy(QFont::NoFontMerging);
  return font;
}

template <typename W>
W* Named(W* w, const char* name) {
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

// Black on white, for the labels over the card and the water.
QPalette WhitePalette(QPalette p) {
  p.setColor(QPalette::Window, Qt::white);
  p.setColor(QPalette::WindowText, Qt::black);
  return p;
}

// A selector whose open list is at least as wide as asked. The list is made when first opened:
// Qt makes it at once when a selector's font or its list's width is set, which held up the
// window's first paint. The list takes the selector's font as it is made.
class Selector final : public QComboBox {
 public:
  using QComboBox::QComboBox;
  void SetListWidth(int width) { listWidth_ = width; }
  void showPopup() override {
    view()->setMinimumWidth(std::max(listWidth_, width()));
    QComboBox::showPopup();
  }

 private:
  int listWidth_ = 0;
};

void Place(QWidget* w, int left, int top, int width, int height) {
  w->move(left, top);
  w->setFixedSize(width, height);
}

}  // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent), mSession(std::make_unique<DaySession>()) {
  // Before the first widget of the window is made, so that all of them are drawn by it.
  InstallProgramStyle();
  setWindowTitle(QStringLiteral("Corvane Tidewake"));
  // The menus and captions in the Japanese font the card uses: the interface's own font has no
  // kana, and looking for one that has them would hold up the first paint.
  setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック"), 9, false));
  // A window made after another closed (the tests make many) starts with the run flags down.
  gblnQuit = false;
  gblnRunning = false;
  previousScene_ = SetRaceScene(this);
  PopupMenu = [](QMenu* menu, const QPoint& at) { menu->exec(at); };
  BuildMenus();
  BuildFanMenus();
  BuildChokuzenMenus();
  BuildControls();
  BuildFanControls();
  BuildAnalysisMenus();
  mSession->SetHistoryOpener([this](const QString& path) { return OpenHistory(path); });
  connect(mSession.get(), &DaySession::dayChanged, this, &frmMain::DrawDay);
  connect(mSession.get(), &DaySession::cardChanged, this, &frmMain::DrawCard);
  connect(mSession.get(), &DaySession::resultsChanged, this, &frmMain::DrawResults);
  LoadSettings();
  Form_Load();
  // The card is painted first; the chances and the handbook's line follow (the win model and the
  // handbook are read then). A window not shown has no paint to wait for.
  picGrid->installEventFilter(this);
  QTimer::singleShot(0, this, [this] {
    if (!isVisible()) FollowFirstPaint();
  });
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == picGrid && event->type() == QEvent::Paint) {
    picGrid->removeEventFilter(this);
    QTimer::singleShot(0, this, &frmMain::FollowFirstPaint);
  }
  return QMainWindow::eventFilter(watched, event);
}

void frmMain::FollowFirstPaint() {
  connect(mSession.get(), &DaySession::statusChanged, this, &frmMain::DrawStatus, Qt::UniqueConnection);
  DrawStatus();
  mSession->UpdateChances();
  BuildScene();
  emit firstPaintDone();
}

frmMain::~frmMain() {
  // The grid draws on picGrid, which the widgets below still own: it goes first.
  mclsGrid.reset();
  SetRaceScene(previousScene_);
}

void frmMain::BuildMenus() {
  const auto item = [this](QMenu* menu, const char* name, const QString& text, QKeySequence key = {}) {
    QAction* a = Named(menu->addAction(text), name);
    a->setShortcut(key);
    return a;
  };
  mnuFile = Named(menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)")), "mnuFile");
  Command(item(mnuFile, "mnuFileOpen", QStringLiteral("番組ﾌｧｲﾙを開く(&O)..."), Qt::CTRL | Qt::Key_O),
          [this] { mnuFileOpen_Click(); });
  Command(item(mnuFile, "mnuFileOpenOld", QStringLiteral("前回の番組ﾌｧｲﾙを開く(&B)"), Qt::CTRL | Qt::Key_B),
          [this] { mnuFileOpenOld_Click(); });
  Command(item(mnuFile, "mnuFileUpdate", QStringLiteral("選手ﾌｧｲﾙの更新(&U)...")), [this] { mnuFileUpdate_Click(); });
  Command(item(mnuFile, "mnuFileKekka", QStringLiteral("成績ﾌｧｲﾙを開く(&K)..."), Qt::CTRL | Qt::Key_K),
          [this] { mnuFileKekka_Click(); });
  Command(item(mnuFile, "mnuFileHistoryImport", QStringLiteral("履歴に取り込む(&I)...")),
          [this] { mnuFileHistoryImport_Click(); });
  Command(item(mnuFile, "mnuFileHistoryDay", QStringLiteral("履歴の日を開く(&H)...")),
          [this] { mnuFileHistoryDay_Click(); });
  Command(item(mnuFile, "mnuFileHistoryCheck", QStringLiteral("履歴を検査する(&C)...")),
          [this] { mnuFileHistoryCheck_Click(); });
  mnuFile->addSeparator();
  Command(item(mnuFile, "mnuFileExit", QStringLiteral("終了(&X)")), [this] { mnuFileExit_Click(); });

  mnuRace = Named(menuBar()->addMenu(QStringLiteral("ﾚｰｽ(&R)")), "mnuRace");
  Command(item(mnuRace, "mnuTestRun", QStringLiteral("展示航走(&T)"), Qt::Key_F4), [this] { RunCommand(false); });
  Command(item(mnuRace, "mnuRaceStart", QStringLiteral("開始(&B)"), Qt::Key_F5), [this] { RunCommand(true); });
  QMenu* speed = Named(mnuRace->addMenu(QStringLiteral("表示速度(&S)")), "mnuRaceSpeed");
  QAction* normal = item(speed, "mnuRaceSpeedNormal", QStringLiteral("普通(&N)"), Qt::Key_F6);
  mnuRaceSpeedHi = item(speed, "mnuRaceSpeedHi", QStringLiteral("速い(&H)"), Qt::Key_F7);
  auto* speeds = new QActionGroup(this);
  for (QAction* a : {normal, mnuRaceSpeedHi}) {
    a->setCheckable(true);
    speeds->addAction(a);
  }
  normal->setChecked(true);
  // The speed takes effect at once, during a run too: the run reads the frame period each frame.
  connect(normal, &QAction::triggered, this, [this] { mnuRaceSpeed_Click(false); });
  connect(mnuRaceSpeedHi, &QAction::triggered, this, [this] { mnuRaceSpeed_Click(true); });
  // The entry prediction used by choosing a race and by 自動, for as long as the program runs.
  QMenu* expect = Named(mnuRace->addMenu(QStringLiteral("進入予想(&E)")), "mnuRaceExpect");
  auto* predictors = new QActionGroup(this);
  const struct {
    const char* name;
    const char16_t* text;
    EntryPredictor predictor;
  } expects[] = {{"mnuRaceExpectStandard", u"標準(&P)", EntryPredictor::Rules},
                 {"mnuRaceExpectStat", u"統計(&S)", EntryPredictor::Stat},
                 {"mnuRaceExpectHistory", u"履歴(&H)", EntryPredictor::History}};
  for (const auto& e : expects) {
    QAction* a = item(expect, e.name, QString::fromUtf16(e.text));
    a->setCheckable(true);
    predictors->addAction(a);
    const EntryPredictor p = e.predictor;
    // The race shown is predicted again at once, as 自動 does.
    Command(a, [this, p] {
      SetPredictor(p);
      mSession->Predict(p);
    });
  }
  Command(item(mnuRace, "mnuRaceWinFit", QStringLiteral("勝率を学習し直す(&L)...")), [this] { mnuRaceWinFit_Click(); });
  Command(item(mnuRace, "mnuRaceWinShipped", QStringLiteral("出荷時の係数に戻す(&H)...")),
          [this] { mnuRaceWinShipped_Click(); });
  mnuRace->addSeparator();
  Command(item(mnuRace, "mnuRaceKekka", QStringLiteral("レース結果(&V)"), Qt::Key_F8),
          [this] { mnuRaceKekka_Click(); });
  // The shortcuts of the speed items must work while their sub-menu is closed.
  addActions(findChildren<QAction*>());

  // The entry-course pop-up: a menu of its own, never in the menu bar.
  mnuPopup = Named(new QMenu(QStringLiteral("Popup"), this), "mnuPopup");
  QAction* automatic = item(mnuPopup, "mnuPopupAuto", QStringLiteral("自動(&A)"));
  Command(automatic, [this] { mSession->Predict(mSession->Predictor()); });
  const struct {
    const char* name;
    const char16_t* text;
    EntryPredictor predictor;
  } popups[] = {{"mnuPopupStandard", u"標準(&P)", EntryPredictor::Rules},
                {"mnuPopupStat", u"統計(&S)", EntryPredictor::Stat},
                {"mnuPopupHistory", u"履歴(&H)", EntryPredictor::History}};
  for (const auto& p : popups) {
    const EntryPredictor predictor = p.predictor;
    Command(item(mnuPopup, p.name, QString::fromUtf16(p.text)), [this, predictor] { mSession->Predict(predictor); });
  }
  Command(item(mnuPopup, "mnuPopupNum", QStringLiteral("枠なり(&W)")), [this] { mSession->SetWakunari(); });
  mnuPopup->addSeparator();
  for (int c = 1; c <= 6; ++c) {
    QAction* a = mnuPopup->addAction(QStringLiteral("&%1 コース").arg(c));
    a->setObjectName(QStringLiteral("mnuPopup%1").arg(c));
    Command(a, [this, c] { mSession->SetCourse(mintPopupRow, c); });
  }
  mnuPopup->setDefaultAction(automatic);
}

void frmMain::BuildControls() {
  auto* client = new QWidget(this);
  client->setFixedSize(kClientWidth, kClientHeight[0]);
  setCentralWidget(client);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

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
  const QPalette white = WhitePalette(palette());

  picGridPanel = Named(new QWidget(client), "picGridPanel");
  Place(picGridPanel, 0, 0, 828, 209);
  picGridPanel->setAutoFillBackground(true);
  cboJyo = Named(new Selector(picGridPanel), "cboJyo");
  Place(cboJyo, 8, 8, 325, 20);
  cboRaceNo = Named(new Selector(picGridPanel), "cboRaceNo");
  Place(cboRaceNo, 340, 8, 53, 20);
  // The window's font, one Japanese font for the whole item (digits before a title in kana would
  // otherwise be drawn in another font than digits before a title in kanji), comes to them from
  // the window.
  connect(cboJyo, &QComboBox::activated, this, [this] { cboJyo_Click(); });
  connect(cboRaceNo, &QComboBox::activated, this, [this] { cboRaceNo_Click(); });
  lblDay = Named(new QLabel(picGridPanel), "lblDay");
  Place(lblDay, 516, 16, 229, 15);
  lblDay->setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック"), 11.25, true));
  lblDay->setAutoFillBackground(true);
  lblDay->setPalette(white);
  picGrid = Named(new QtPictureBox(785, 153, picGridPanel), "picGrid");
  picGrid->move(8, 36);
  picGrid->onMouseUp = [this](Qt::MouseButton b, float x, float y) { picGrid_MouseUp(b, x, y); };
  picGrid->toolTipAt = [this](float x, float y) { return CardToolTip(x, y); };
  lblNotice = Named(new QLabel(picGridPanel), "lblNotice");
  Place(lblNotice, 616, 192, 201, 12);
  lblNotice->setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック"), 9, false));
  QPalette notice = white;
  notice.setColor(QPalette::WindowText, ToQColor(0xFF0000));
  lblNotice->setPalette(notice);
}

void frmMain::BuildScene() {
  if (picPoolBox) return;
  // The water lies under the card panel; the card view shows only the panel's part of it. It is
  // shown by the first run: until then the panel covers it.
  picPoolBox = Named(new QtPictureBox(828, 400, centralWidget()), "picPool");
  picPoolBox->move(0, 0);
  picPoolBox->stackUnder(picGridPanel);
  picPoolBox->hide();
  picClockBox = Named(new QtPictureBox(88, 99, picPoolBox), "picClock");
  lblStartLabel = Named(new QtSceneLabel(QStringLiteral("スタート"), picPoolBox), "lblStart");
  Place(lblStartLabel, 292, 188, 233, 15);
  lblStartLabel->setFont(WindowFont(QStringLiteral("ＭＳ Ｐゴシック"), 11.25, true));
  lblStartLabel->setPalette(WhitePalette(palette()));
  lblStartLabel->SetForeColor(0x0000FF);
  // Centred on the water.
  lblStartLabel->Move(static_cast<float>((kClientWidth - lblStartLabel->width()) / 2), 188);
  cmdClose = Named(new QPushButton(QStringLiteral("戻る"), picPoolBox), "cmdClose");
  Place(cmdClose, 740, 360, 73, 25);
  connect(cmdClose, &QPushButton::clicked, this, &frmMain::cmdClose_Click);
  // Far outside the water: it acts only through the Escape key.
  auto* cmdCancel = Named(new QPushButton(QStringLiteral("Cancel"), picPoolBox), "cmdCancel");
  Place(cmdCancel, -3296, 364, 77, 21);
  connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
  for (std::size_t k = 0; k < 2; ++k) imgTurnMarkPics[k] = new QtSceneImage(TurnMarkPicture(), picPoolBox);
  // The boats' pictures are drawn for the first run (RunCommand).
  const int boatTop[6] = {256, 276, 300, 320, 344, 364};
  for (std::size_t i = 0; i < 6; ++i) {
    auto* boat = new QtSceneImage(&imgBoat, QSize(33, 33), picPoolBox);
    boat->Move(0, static_cast<float>(boatTop[i]));
    imgRaceBoatPics[i] = boat;
  }
  // The water, its font and the clock face; the scene.
  IDrawSurface& pool = picPoolBox->Surface();
  pool.SetFontName(QStringLiteral("ＭＳ ゴシック"));
  pool.SetFontSize(9);
  pool.SetBackColor(kWater);
  picClockBox->Surface().SetPicture(ClockFacePicture());
  picClockBox->Surface().Cls();
  PoolInit();
}

void frmMain::Form_Load() {
  // 1. The card-view size; 2. the notice; 3. the place on the screen.
  SetView(0);
  lblNotice->setText(kNoticePrefix + LegalNotice() + u' ');
  PlaceWindow();
  // 4. The card panel white.
  QPalette panel = picGridPanel->palette();
  panel.setColor(QPalette::Window, ToQColor(kWhite));
  picGridPanel->setPalette(panel);
  // 5. The demo card: its grid is made by the card's first paint (Grid()). The water and its
  // scene are made after that paint.
  mSession->ShowDemo();
}

bool RaceCardSetUp(cGrid& grid, IDrawSurface& picture, bool paint) {
  const bool bound = grid.Init(&picture, kCardColumns, 7, true, false);
  grid.SetRefreshFlg(false);
  picture.SetFontSize(11);
  grid.SetAllTextLine(1);
  grid.SetFormatString(CardFormatString());
  grid.SetRowTextLine(0, 2);
  for (std::int16_t c = 0; c < kCardColumns; ++c) {
    const QString second = CardHeaderSecondLine(static_cast<CardColumn>(c));
    if (!second.isEmpty()) grid.SetCellValue(0, c, grid.CellValue(0, c) + QStringLiteral("\r\n") + second);
  }
  grid.SetRowTextAlign(0, 2);
  for (std::int16_t boat = 1; boat <= 6; ++boat) {
    grid.SetCellBackColor(boat, Col(CardColumn::Waku), *BoatColor(boat, true));
    grid.SetCellForeColor(boat, Col(CardColumn::Waku), *BoatColor(boat, false));
    grid.SetCellValue(boat, Col(CardColumn::Waku), QString::number(boat));
  }
  if (paint) grid.Refresh(false);
  return bound;
}

// ---- Drawing what the session holds ----

void frmMain::DrawDay() {
  cboJyo->clear();
  int listWidth = 0;
  for (const VenueItem& v : mSession->Venues()) {
    cboJyo->addItem(v.text, v.code);
    // The whole title in the tooltip, where the closed selector cuts it.
    cboJyo->setItemData(cboJyo->count() - 1, v.text, Qt::ToolTipRole);
    listWidth = std::max(listWidth, cboJyo->fontMetrics().horizontalAdvance(v.text) + 24);
  }
  static_cast<Selector*>(cboJyo)->SetListWidth(listWidth);
  cboJyo->setCurrentIndex(cboJyo->findData(mSession->VenueCode()));
  lblDay->setText(mSession->DayLine());
  DrawCard();
}

void frmMain::DrawCard() {
  cboRaceNo->clear();
  for (const std::int16_t r : mSession->Races()) cboRaceNo->addItem(FormatText(QString::number(r), u"@@ R"), r);
  cboRaceNo->setCurrentIndex(cboRaceNo->findData(mSession->RaceNo()));
  if (cardPainted_) {
    FillCard();
    mclsGrid->Refresh(false);
  } else {
    // The first card is drawn by the paint that first shows it, as any window draws its text:
    // the window is made and mapped without waiting for the card's font and cells, and a card
    // replaced before it is shown is drawn once.
    if (mclsGrid) FillCard();
    picGrid->DrawAtNextPaint([this] {
      cardPainted_ = true;
      Grid().Refresh(false);
    });
  }
  lblRace->setText(mSession->RaceLine());
}

cGrid& frmMain::Grid() {
  if (!mclsGrid) {
    // For as long as the window lives (the stores are the session's), with the race shown.
    mclsGrid = std::make_unique<cGrid>();
    RaceCardSetUp(*mclsGrid, picGrid->Surface(), false);
    FillCard();
  }
  return *mclsGrid;
}

void frmMain::FillCard() {
  for (std::int16_t boat = 1; boat <= 6; ++boat) {
    const CardRow row = mSession->Row(boat);
    for (std::int16_t c = 1; c < kCardColumns; ++c)
      mclsGrid->SetCellValue(boat, c, row.cells[static_cast<std::size_t>(c)]);
  }
}

void frmMain::DrawResults() {
  if (frmKekkaWindow) frmKekkaWindow->Show(mSession->ResultsOfRace());
}

void frmMain::DrawStatus() { lblStatus->setText(mSession->StatusText()); }

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

IDrawSurface& frmMain::picPool() {
  BuildScene();
  return picPoolBox->Surface();
}

IDrawSurface& frmMain::picClock() {
  BuildScene();
  return picClockBox->Surface();
}

QtSceneLabel& frmMain::lblStart() {
  BuildScene();
  return *lblStartLabel;
}

void frmMain::MoveClock(float left, float top) {
  BuildScene();
  picClockBox->move(ScenePixel(left), ScenePixel(top));
}

QtSceneImage& frmMain::imgTurnMark(int index) {
  CheckIndex(QStringLiteral("imgTurnMark"), index, 0, 1);
  BuildScene();
  return *imgTurnMarkPics[static_cast<std::size_t>(index)];
}

QtSceneImage& frmMain::imgRaceBoat(int index) {
  CheckIndex(QStringLiteral("imgRaceBoat"), index, 0, 5);
  BuildScene();
  return *imgRaceBoatPics[static_cast<std::size_t>(index)];
}

std::int16_t frmMain::SelectedJyoCode() const { return mSession->VenueCode(); }

QString frmMain::RaceNoText() const { return cboRaceNo->currentText(); }

void frmMain::Unload() { close(); }

}  // namespace tidewake
