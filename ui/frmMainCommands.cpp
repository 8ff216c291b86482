// The commands of the main window: the selectors, the file menu, the runs, the way back to the
// card, Escape, closing, the entry-course pop-up, the keys and files dropped on the card. Each
// sends the session what the user did; the session's signals redraw.

#include "data/mDayFile.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "sim/mGlobal.h"
#include "sim/mMain.h"
#include "ui/frmKekka.h"
#include "ui/frmMain.h"
#include "ui/qtplatform/Artwork.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLayout>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include <algorithm>

namespace tidewake {
namespace {

// A filter of the open-file dialog: the description and the pattern, each ended by a NUL.
QString Filter(const QString& description, const QString& pattern) {
  return description + QChar(u'\0') + pattern + QChar(u'\0');
}

// The texts and the official archives of a kind together first ("番組ファイル(B*.TXT;B*.LZH)"),
// then each alone, then any file.
QString Filters(const QString& name, QChar letter) {
  const QString text = QStringLiteral("%1*.txt").arg(letter), archive = QStringLiteral("%1*.lzh").arg(letter);
  return Filter(QStringLiteral("%1(%2;%3)").arg(name, text.toUpper(), archive.toUpper()), text + u';' + archive) +
         Filter(QStringLiteral("%1(%2)").arg(name, text.toUpper()), text) +
         Filter(QStringLiteral("%1(%2)").arg(name, archive.toUpper()), archive) +
         Filter(QStringLiteral("すべてのファイル(*.*)"), QStringLiteral("*.*"));
}

}  // namespace

void frmMain::Command(QAction* action, std::function<void()> handler) {
  // A command acts only while no run goes on: a run is one procedure on the window's thread, and
  // a command arriving through its event pump must not start a second one or change its card.
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

// ---- Venue and race ----

void frmMain::cboJyo_Click() {
  if (mblnRunning || cboJyo->currentIndex() < 0) return;
  mSession->ChooseVenue(static_cast<std::int16_t>(cboJyo->currentData().toInt()));
  // The demo card's selector does nothing: it shows what the session holds.
  DrawDay();
}

void frmMain::cboRaceNo_Click() {
  if (mblnRunning || cboRaceNo->currentIndex() < 0) return;
  mSession->ChooseRace(static_cast<std::int16_t>(cboRaceNo->currentData().toInt()));
}

bool frmMain::Browsing() const {
  return !mblnRunning && mSession->State() != CardState::Demo && !picGridPanel->isHidden();
}

void frmMain::RaceStep(int delta) {
  const std::vector<std::int16_t> races = mSession->Races();
  const auto at = std::find(races.begin(), races.end(), mSession->RaceNo());
  if (!Browsing() || at == races.end()) return;
  const auto next = (at - races.begin()) + delta;
  if (next >= 0 && next < static_cast<std::ptrdiff_t>(races.size()))
    mSession->ChooseRace(races[static_cast<std::size_t>(next)]);
}

void frmMain::VenueStep(int delta) {
  const std::vector<VenueItem>& venues = mSession->Venues();
  if (!Browsing() || venues.empty()) return;
  const auto at = std::find_if(venues.begin(), venues.end(),
                               [this](const VenueItem& v) { return v.code == mSession->VenueCode(); });
  const std::ptrdiff_t next = at == venues.end() ? (delta > 0 ? 0 : static_cast<std::ptrdiff_t>(venues.size()) - 1)
                                                 : (at - venues.begin()) + delta;
  if (next < 0 || next >= static_cast<std::ptrdiff_t>(venues.size())) return;
  // The same race number at the next venue; its last race when it has fewer.
  const std::int16_t race = mSession->RaceNo();
  mSession->ChooseVenue(venues[static_cast<std::size_t>(next)].code);
  const std::vector<std::int16_t> races = mSession->Races();
  if (race > 1 && !races.empty()) mSession->ChooseRace(std::min(race, races.back()));
}

// ---- The file menu ----

void frmMain::mnuFileOpen_Click() {
  const QString path = AskOpenFile(Filters(QStringLiteral("番組ファイル"), u'B'));
  if (!path.isEmpty()) mSession->OpenProgramme(path);
}

void frmMain::mnuFileOpenOld_Click() { mSession->OpenStore(); }

void frmMain::mnuFileUpdate_Click() {
  const QString path = AskOpenFile(Filters(QStringLiteral("ファン手帳ファイル"), u'F'));
  if (!path.isEmpty()) mSession->InstallHandbook(path);
}

void frmMain::mnuFileKekka_Click() {
  const QString path = AskOpenFile(Filters(QStringLiteral("成績ファイル"), u'K'));
  if (path.isEmpty()) return;
  DayFile file;
  try {
    file = DayFileOpen(path, ArchiveKind::Results);
  } catch (const RuntimeError& e) {
    MsgBox(e.reportText(), MsgButtons::Ok, MsgIcon::Warning, QStringLiteral("成績ファイル変換エラー"));
    return;
  }
  if (mSession->OpenResults(file)) mnuRaceKekka_Click();
}

void frmMain::mnuRaceKekka_Click() {
  // Made when first asked for: most days it is never opened, and the card comes up sooner.
  if (!frmKekkaWindow) {
    frmKekkaWindow = new frmKekka(this);
    // Shown beside the card without taking the keyboard from it.
    frmKekkaWindow->setAttribute(Qt::WA_ShowWithoutActivating);
  }
  DrawResults();
  if (!frmKekkaWindow->isVisible()) {
    // At the size its contents need, beside or under the main window.
    const QRect screenArea = screen() ? screen()->availableGeometry() : QRect();
    // A window not shown yet has no frame: the main window's title bar and borders stand in for
    // its own, so that the whole of it is placed on the screen, not just its contents.
    const QSize frame = frameGeometry().size() - geometry().size();
    QSize want = frmKekkaWindow->size();
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

// ---- The runs ----

void frmMain::EntrantDataSet() {
  const std::array<RunEntrant, 6> entrants = mSession->RunEntrants();
  for (std::size_t i = 0; i < entrants.size(); ++i) {
    EntrantType& e = gtypEntrant[i];
    const RunEntrant& f = entrants[i];
    e.Weight = f.weight;
    e.Syoritu = f.rate;
    e.Rentairitu2 = f.rate2;
    e.MotorRentairitu2 = f.motor2;
    e.BoatRentairitu2 = f.boat2;
    e.Course = f.course;
    e.Name = f.name;
  }
  gstrTitle = mSession->MeetingTitle();
}

void frmMain::RunCommand(bool race) {
  if (mblnRunning || mSession->RaceNo() < 1) return;
  SetMenuEnabled(mnuFile, false);
  SetMenuEnabled(mnuRace, false);
  // The speed keys stay live: the run reads the frame period every frame.
  SetMenuEnabled(findChild<QMenu*>(QStringLiteral("mnuRaceSpeed")), true);
  // A help box opened mid-run would hold the run's frames until it is closed.
  SetMenuEnabled(mnuHelp, false);
  BuildScene();
  picPoolBox->show();
  cmdClose->hide();
  if (imgBoat.empty()) imgBoat = BoatPictureList();
  PoolInit();
  if (!race) picClock().SetVisible(false);
  picGridPanel->hide();
  SetView(1);
  PlaceWindow();
  // After PoolInit, which resets the records.
  EntrantDataSet();

  mblnRunning = true;
  if (race) {
    RaceStart(mlngWaitTime);
  } else {
    TestRun(mlngWaitTime);
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

// ---- The card: the entry-course pop-up and the tooltip ----

void frmMain::picGrid_MouseUp(Qt::MouseButton button, float x, float y) {
  if (mblnRunning) return;
  Grid().MouseMove(-1, -1);
  if (button != Qt::RightButton) return;
  mintPopupRow = Grid().ClickRow(y);
  const std::int16_t col = Grid().ClickCol(x);
  if (mintPopupRow <= 0 || col < 0) return;
  // The course column sets the entry course; the boat's other columns open its analysis pages.
  QMenu* menu = col == Col(CardColumn::Course) ? mnuPopup : mnuBoatPopup;
  if (menu == mnuBoatPopup && BoatRacer(mintPopupRow).isEmpty()) return;
  Grid().MouseMove(x, y);
  PopupMenu(menu, picGrid->mapToGlobal(QPoint(static_cast<int>(x), static_cast<int>(y))));
}

QString frmMain::CardToolTip(float x, float y) {
  const std::int16_t row = Grid().ClickRow(y);
  const std::int16_t col = Grid().ClickCol(x);
  if (row == 0 && col == Col(CardColumn::WinChance)) return WinChanceExplanation();
  if (col < 0 || row < 1 || row > 6) return QString();
  if (col == Col(CardColumn::WinChance)) return mSession->BreakEvenTip(row);
  const BoatTip tip = mSession->Tip(row);
  if (tip.IsEmpty()) return QString();
  // The last races as a table, so that their columns line up whatever the venues' names.
  QString html = QStringLiteral("<p style='white-space:pre'>") +
                 QStringList(QStringList{tip.title} + tip.reasons).join(u'\n').toHtmlEscaped();
  if (!tip.recentTitle.isEmpty()) html += u'\n' + tip.recentTitle.toHtmlEscaped();
  html += QStringLiteral("</p>");
  if (!tip.recent.empty()) {
    html += QStringLiteral("<table cellspacing='0' cellpadding='1'>");
    for (const QStringList& r : tip.recent) {
      html += QStringLiteral("<tr>");
      for (const QString& cell : r) html += QStringLiteral("<td>%1&nbsp;</td>").arg(cell.toHtmlEscaped());
      html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
  }
  return html;
}

// ---- Files dropped on the card ----

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
        refuse(QStringLiteral("%1\n番組ファイルでも成績ファイルでもファン手帳ファイルでもないため、開きませんでした。")
                   .arg(path));
        break;
    }
  }
  // The handbook first, so that the programme's races are predicted from it; the results last,
  // so that their day is checked against the programme dropped with them.
  for (const DayFile& d : handbooks) mSession->InstallHandbook(d);
  for (const DayFile& d : programmes) mSession->OpenProgramme(d);
  for (const DayFile& d : results) {
    if (mSession->OpenResults(d)) mnuRaceKekka_Click();
  }
}

}  // namespace tidewake
