// The 直前 commands of the main window: the race's exhibition times and courses entered in a
// small dialog, and forgotten. The session keeps them and redraws the card.

#include "platform/MessageBox.h"
#include "ui/frmChokuzen.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QMenu>

namespace tidewake {

void frmMain::BuildChokuzenMenus() {
  // Beside the entry prediction they replace, before the model's own items.
  QAction* before = findChild<QAction*>(QStringLiteral("mnuRaceWinFit"));
  const auto item = [this, before](const char* name, const QString& text, QKeySequence key = {}) {
    auto* a = new QAction(text, this);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(key);
    mnuRace->insertAction(before, a);
    return a;
  };
  Command(item("mnuRaceChokuzen", QStringLiteral("直前情報を入力(&J)..."), Qt::CTRL | Qt::Key_J),
          [this] { mnuRaceChokuzen_Click(); });
  Command(item("mnuRaceChokuzenClear", QStringLiteral("直前情報を消す(&D)")), [this] { mnuRaceChokuzenClear_Click(); });
  mnuRace->insertSeparator(before);
  // After the exhibition the courses are the exhibition's: the pop-up's predictions would show
  // courses the boats no longer take. Setting a course or 枠なり corrects the exhibition's.
  const auto follow = [this] {
    const bool before = !mSession->HasExhibition();
    for (const char* name : {"mnuPopupAuto", "mnuPopupStandard", "mnuPopupStat", "mnuPopupHistory"}) {
      if (QAction* a = mnuPopup->findChild<QAction*>(QString::fromLatin1(name))) a->setEnabled(before);
    }
  };
  connect(mSession.get(), &DaySession::cardChanged, this, follow);
  connect(mSession.get(), &DaySession::dayChanged, this, follow);
}

void frmMain::mnuRaceChokuzen_Click() {
  if (!mSession->CanEnterExhibition()) {
    MsgBox(QStringLiteral("直前情報は、開いた日のレースに入力します。番組ファイルを開いてレースを選んでください。"),
           MsgButtons::Ok, MsgIcon::Information, QStringLiteral("直前情報"));
    return;
  }
  std::array<frmChokuzen::Boat, 6> boats;
  for (int b = 1; b <= 6; ++b) boats[static_cast<std::size_t>(b - 1)].name = mSession->Row(b)[CardColumn::SensyuName];
  const QString race = QStringLiteral("%1  %2R").arg(mSession->DayLine()).arg(mSession->RaceNo());
  frmChokuzen dialog(
      race, boats, mSession->ExhibitionFormOfRace(), mSession->HasExhibition(),
      [this](const ExhibitionForm& form) { return mSession->EnterExhibition(form); },
      [this] { mSession->ClearExhibition(); }, this);
  dialog.exec();
}

void frmMain::mnuRaceChokuzenClear_Click() {
  if (!mSession->HasExhibition()) {
    MsgBox(QStringLiteral("表示中のレースに直前情報は入力されていません。"), MsgButtons::Ok, MsgIcon::Information,
           QStringLiteral("直前情報"));
    return;
  }
  mSession->ClearExhibition();
}

}  // namespace tidewake
