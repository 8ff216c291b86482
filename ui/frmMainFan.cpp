// What a fan looks for beside the card: the race line and the status line, the settings kept
// between runs, the help menu and copying the card.

#include "data/ArchiveLibrary.h"
#include "history/mLibraryVersion.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/mMyFunc.h"
#include "predict/mLibraryVersion.h"
#include "sim/mFileDialog.h"
#include "ui/frmMain.h"

#include <qcustomplot.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QShortcut>

#ifndef TIDEWAKE_VERSION
#define TIDEWAKE_VERSION "0.0.0"
#endif

namespace tidewake {
namespace {

const QString kSettingPredictor = QStringLiteral("predictor");
const QString kSettingSpeed = QStringLiteral("speed");
const QString kSettingFolder = QStringLiteral("folder");

// Settings of the user, where Qt keeps every program's (~/.config/Corvane/Tidewake.conf).
class Settings : public QSettings {
 public:
  Settings() : QSettings(QStringLiteral("Corvane"), QStringLiteral("Tidewake")) {}
};

// The venue selector and the day label, narrowed to leave the race line room between them.
constexpr int kVenueSelectorWidth = 230;
constexpr int kDayWidth = 190;

}  // namespace

void frmMain::BuildFanMenus() {
  mnuRace->addSeparator();
  QAction* copy = mnuRace->addAction(QStringLiteral("出走表をコピー(&C)"));
  copy->setObjectName(QStringLiteral("mnuRaceCopy"));
  copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  addAction(copy);
  Command(copy, [this] { mnuRaceCopy_Click(); });
  mnuHelp = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
  QAction* keys = mnuHelp->addAction(QStringLiteral("キーボード操作(&K)"));
  keys->setObjectName(QStringLiteral("mnuHelpKeys"));
  QAction* about = mnuHelp->addAction(QStringLiteral("バージョン情報(&A)"));
  about->setObjectName(QStringLiteral("mnuHelpAbout"));
  connect(keys, &QAction::triggered, this,
          [] { MsgBox(KeysText(), MsgButtons::Ok, MsgIcon::Information, QStringLiteral("キーボード操作")); });
  connect(about, &QAction::triggered, this,
          [] { MsgBox(AboutText(), MsgButtons::Ok, MsgIcon::Information, QStringLiteral("バージョン情報")); });
}

void frmMain::BuildFanControls() {
  // The window's keys act whichever of the program's windows is active (the results window
  // beside the card included); Escape stays the main window's, where a run shows.
  for (QAction* a : findChildren<QAction*>()) {
    if (!a->shortcut().isEmpty()) a->setShortcutContext(Qt::ApplicationShortcut);
  }
  for (QShortcut* k : findChildren<QShortcut*>()) {
    if (k->key() != QKeySequence(Qt::Key_Escape)) k->setContext(Qt::ApplicationShortcut);
  }
  // The race line takes the room between the selectors and the day: the venue selector is
  // narrower (its list is as wide as its items) and the day moves to the right edge.
  cboJyo->setFixedWidth(kVenueSelectorWidth);
  cboRaceNo->move(cboJyo->geometry().right() + 7, cboRaceNo->y());
  lblDay->setFixedWidth(kDayWidth);
  lblDay->move(kClientWidth - 10 - kDayWidth, lblDay->y());
  lblDay->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lblRace = new QLabel(picGridPanel);
  lblRace->setObjectName(QStringLiteral("lblRace"));
  const int left = cboRaceNo->geometry().right() + 8;
  lblRace->move(left, 12);
  lblRace->setFixedSize(lblDay->x() - 4 - left, 16);
  lblRace->setFont(cboJyo->font());
  lblStatus = new QLabel(picGridPanel);
  lblStatus->setObjectName(QStringLiteral("lblStatus"));
  lblStatus->move(8, lblNotice->y());
  lblStatus->setFixedSize(lblNotice->x() - 16, lblNotice->height());
  lblStatus->setFont(lblNotice->font());
  QPalette grey = lblStatus->palette();
  grey.setColor(QPalette::WindowText, QColor(0x50, 0x50, 0x50));
  lblStatus->setPalette(grey);
}

void frmMain::LoadSettings() {
  Settings settings;
  // 統計 unless another was chosen: on unseen days it has the most entries right.
  SetPredictor(EntryPredictorFromKey(settings.value(kSettingPredictor).toString()).value_or(EntryPredictor::Stat),
               false);
  mnuRaceSpeed_Click(settings.value(kSettingSpeed).toString() == u"fast", false);
}

void frmMain::SetPredictor(EntryPredictor predictor, bool remember) {
  if (auto* item = findChild<QAction*>(QStringLiteral("mnuRaceExpect") +
                                       QStringList{"Standard", "Stat", "History"}[static_cast<int>(predictor)])) {
    item->setChecked(true);
  }
  // Written only when the user chose: writing the file at start-up would hold up the first paint.
  if (remember) Settings().setValue(kSettingPredictor, EntryPredictorKey(predictor));
  mSession->SetPredictor(predictor);
}

void frmMain::mnuRaceSpeed_Click(bool fast, bool remember) {
  mlngWaitTime = fast ? 100 : 250;
  (fast ? mnuRaceSpeedHi : findChild<QAction*>(QStringLiteral("mnuRaceSpeedNormal")))->setChecked(true);
  if (remember) Settings().setValue(kSettingSpeed, fast ? "fast" : "normal");
}

QString frmMain::AskFolder(const QString& strTitle) {
  QString folder = Settings().value(kSettingFolder).toString();
  if (folder.isEmpty() || !QDir(folder).exists()) folder = DialogStartFolder();
  const QString chosen = FileDialog() ? FileDialog()->GetExistingDirectory(folder, strTitle) : QString();
  if (!chosen.isEmpty()) Settings().setValue(kSettingFolder, chosen);
  return chosen;
}

QString frmMain::AskOpenFile(const QString& strFilters) {
  QString folder = Settings().value(kSettingFolder).toString();
  if (folder.isEmpty() || !QDir(folder).exists()) folder = DialogStartFolder();
  const QString path = ShowOpenFileDialog(0, strFilters, folder, 0, QStringLiteral("ファイルを開く"), false);
  if (!path.isEmpty()) Settings().setValue(kSettingFolder, QFileInfo(path).absolutePath());
  return path;
}

void frmMain::mnuRaceCopy_Click() {
  if (picGridPanel->isHidden() || mSession->RaceNo() < 1) return;
  QApplication::clipboard()->setText(mSession->CopyText());
}

QString frmMain::KeysText() {
  return QStringLiteral(
      "Ctrl+O\t\t番組ファイルを開く\n"
      "Ctrl+B\t\t前回の番組ファイルを開く\n"
      "Ctrl+K\t\t成績ファイルを開く\n"
      "PgDown / PgUp\t次 / 前のレース\n"
      "Ctrl+PgDown / Ctrl+PgUp\t次 / 前の場（同じレース番号）\n"
      "F4\t\t展示航走\n"
      "F5\t\tレース開始\n"
      "F6 / F7\t\t表示速度 普通 / 速い（航走中も変えられます）\n"
      "F8\t\tレース結果\n"
      "Ctrl+J\t\t直前情報（展示タイム・展示の進入）を入力\n"
      "Ctrl+C\t\t表示中のレースをコピー（タブ区切り）\n"
      "Esc\t\t航走を中止する\n"
      "右クリック（進入の列）\tその艇の進入を変える・予想し直す\n"
      "ダブルクリック（艇の行）\tその選手の成績（分析）\n"
      "右クリック（ほかの列）\tその選手の成績・このレースのモーター\n"
      "右クリック（場の選択）\tその場の傾向・モーター・回収率\n"
      "\n"
      "ﾌｧｲﾙ → 履歴に取り込む\t公式のファイルのフォルダをまとめて履歴に入れる\n"
      "ﾌｧｲﾙ → 履歴の日を開く\t履歴にある日の出走表と成績を開く\n"
      "ﾌｧｲﾙ → 履歴を検査する\t履歴データベースに傷がないか確かめる\n"
      "ﾚｰｽ → 勝率を学習し直す\t履歴で予想1着%のモデルを学習し直す\n"
      "\n"
      "番組・成績・ファン手帳のファイル（TXT でも LZH でも）を出走表に落とすと、"
      "中身で見分けて開きます。");
}

QString frmMain::AboutText() {
  return QStringLiteral(
             "Corvane Tidewake\nバージョン %1\n\n"
             "競艇の出走表と進入予想、展示航走とレースの様子を表示します。\n\n"
             "使用しているライブラリ:\n"
             "Qt %2 — GNU LGPL v3（https://www.qt.io/licensing/）\n"
             "%3 — New BSD License（https://www.libarchive.org/）\n"
             "%4 — Public Domain（https://www.sqlite.org/）\n"
             "%5 — MPL 2.0（https://eigen.tuxfamily.org/）\n"
             "QCustomPlot %6 — GNU GPL v3（https://www.qcustomplot.com/）")
      .arg(QStringLiteral(TIDEWAKE_VERSION), QString::fromLatin1(qVersion()), ArchiveLibraryVersion(),
           SqliteLibraryVersion(), EigenLibraryVersion(), QStringLiteral(QCUSTOMPLOT_VERSION_STR));
}

}  // namespace tidewake
