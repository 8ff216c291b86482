// What a fan looks for beside the card: the race line, the status line (handbook and predictor),
// the settings kept between runs, the help menu and copying the card.

#include "data/ArchiveLibrary.h"
#include "data/mDayFile.h"
#include "data/mSensyuStore.h"
#include "platform/FileDialog.h"
#include "platform/Format.h"
#include "platform/LineReader.h"
#include "platform/MessageBox.h"
#include "platform/TextUtil.h"
#include "platform/mMyFunc.h"
#include "sim/mFileDialog.h"
#include "sim/mMain.h"
#include "ui/frmMain.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSettings>
#include <QShortcut>

#ifndef TIDEWAKE_VERSION
#define TIDEWAKE_VERSION "0.0.0"
#endif

namespace tidewake {
namespace {

const QString kOpenTitle = QStringLiteral("ファイルを開く");
const QString kSettingPredictor = QStringLiteral("predictor");
const QString kSettingSpeed = QStringLiteral("speed");
const QString kSettingFolder = QStringLiteral("folder");

// Settings of the user, where Qt keeps every program's (~/.config/Corvane/Tidewake.conf).
class Settings : public QSettings {
 public:
  Settings() : QSettings(QStringLiteral("Corvane"), QStringLiteral("Tidewake")) {}
};

// "２" for 2: the programme writes the meeting's day in full-width digits.
QString WideNumber(int n) {
  QString s = QString::number(n);
  for (QChar& c : s) {
    if (c.isDigit()) c = QChar(char16_t(u'０' + (c.unicode() - u'0')));
  }
  return s;
}

// "20251101" as "2025/11/01"; any other text as it is.
QString DateText(const QString& ymd) {
  return ymd.size() == 8 ? QStringLiteral("%1/%2/%3").arg(ymd.left(4), ymd.mid(4, 2), ymd.mid(6, 2)) : ymd;
}

// The text of a card cell for copying: one line, no padding.
QString CellText(const QString& cell) {
  return cell.section(QStringLiteral("\r\n"), 0, 0).trimmed().remove(QChar(u'\t'));
}

}  // namespace

QString RaceLine(const cBangumiFile& card, std::int16_t intRaceNo) {
  QStringList parts{QStringLiteral("%1R").arg(intRaceNo)};
  // The header: "７Ｒ  予　選　　　 進入固定 Ｈ１８００ｍ  電話投票締切予定２０：２６". The name is
  // spaced out to a fixed width; the marker of a fixed entry stands after it as a word.
  static const QRegularExpression header(QStringLiteral(u"^[\\s\u3000]*[０-９0-9]+[ＲR](.*?)[ＨH]([０-９0-9]+)[ｍm]"));
  const QRegularExpressionMatch m = header.match(card.RaceTitle(intRaceNo));
  if (m.hasMatch()) {
    static const QRegularExpression blanks(QStringLiteral(u"[\\s\u3000]+"));
    QStringList words = m.captured(1).split(blanks, Qt::SkipEmptyParts);
    if (!words.isEmpty() && words.last() == u"進入固定") words.removeLast();
    if (!words.isEmpty()) parts << words.join(QString());
    parts << Narrow(m.captured(2)) + u'm';
  }
  const QString closing = card.ClosingHour(intRaceNo);
  if (!closing.isEmpty()) parts << QStringLiteral("締切予定 ") + closing.left(5);
  if (card.TotalDay() > 0) parts << QStringLiteral("第%1日").arg(WideNumber(card.TotalDay()));
  if (card.CourseFix(intRaceNo)) parts << QStringLiteral("進入固定");
  return parts.join(u' ');
}

void frmMain::BuildFanMenus() {
  mnuRace->addSeparator();
  mnuRaceCopy = mnuRace->addAction(QStringLiteral("出走表をコピー(&C)"));
  mnuRaceCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  Command(mnuRaceCopy, [this] { mnuRaceCopy_Click(); });
  mnuHelp = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  mnuHelpKeys = mnuHelp->addAction(QStringLiteral("キーボード操作(&K)"));
  mnuHelpAbout = mnuHelp->addAction(QStringLiteral("バージョン情報(&A)"));
  connect(mnuHelpKeys, &QAction::triggered, this, [this] { mnuHelpKeys_Click(); });
  connect(mnuHelpAbout, &QAction::triggered, this, [this] { mnuHelpAbout_Click(); });
  connect(mnuRaceSpeedNormal, &QAction::triggered, this, [] { Settings().setValue(kSettingSpeed, "normal"); });
  connect(mnuRaceSpeedHi, &QAction::triggered, this, [] { Settings().setValue(kSettingSpeed, "fast"); });
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
  // narrower (its list stays as wide as before) and the day moves to the right edge.
  const int listWidth = cboJyo->width();
  cboJyo->setFixedWidth(kVenueSelectorWidth);
  cboJyo->view()->setMinimumWidth(listWidth);
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
  SetPredictor(EntryPredictorFromKey(settings.value(kSettingPredictor).toString()).value_or(EntryPredictor::Stat));
  (settings.value(kSettingSpeed).toString() == u"fast" ? mnuRaceSpeedHi : mnuRaceSpeedNormal)->setChecked(true);
  mHandbook = ReadHandbookInfo();
  UpdateStatus();
}

void frmMain::SetPredictor(EntryPredictor predictor) {
  mPredictor = predictor;
  if (QAction* item = PredictorItem(predictor)) item->setChecked(true);
  Settings().setValue(kSettingPredictor, EntryPredictorKey(predictor));
  UpdateStatus();
}

QAction* frmMain::PredictorItem(EntryPredictor predictor) const {
  switch (predictor) {
    case EntryPredictor::Rules:
      return mnuRaceExpectStandard;
    case EntryPredictor::Stat:
      return mnuRaceExpectStat;
    case EntryPredictor::History:
      return mnuRaceExpectHistory;
  }
  return nullptr;
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
  const QString path = ShowOpenFileDialog(0, strFilters, folder, 0, kOpenTitle, false);
  if (!path.isEmpty()) Settings().setValue(kSettingFolder, QFileInfo(path).absolutePath());
  return path;
}

void frmMain::ShowRaceLine() {
  const std::int16_t r = SelectedRaceNo();
  lblRace->setText(mblnNoBangumi || !mblnBangumiLoaded || r < 1 ? QString() : RaceLine(*mclsBangumi, r));
}

std::optional<frmMain::HandbookInfo> frmMain::ReadHandbookInfo() const {
  const QString path = AppFilePath(QStringLiteral("SENSYU.BRF"));
  if (!FileExists(path)) return std::nullopt;
  // Read once; a store that is no handbook says so when a venue asks for its racers, here it is
  // only absent.
  cSensyuFile all;
  QStringList everyone;
  try {
    const QByteArray bytes = ChosenFileRead(path);
    if (!SensyuBytesProblem(bytes).isEmpty()) return std::nullopt;
    all = cSensyuFile::Read(bytes, everyone);
  } catch (const RuntimeError&) {
    return std::nullopt;
  }
  HandbookInfo info;
  info.racers = static_cast<int>(everyone.size()) - 1;
  info.period = all.GetSensyuFileVersion().trimmed();
  if (!all.YmdStart().isEmpty()) {
    info.period += QStringLiteral("（%1～%2）").arg(DateText(all.YmdStart()), DateText(all.YmdEnd()));
  }
  return info;
}

QString frmMain::StatusText() const {
  const QString predictor = QStringLiteral("進入予想: ") + EntryPredictorName(mPredictor);
  if (!mHandbook) return QStringLiteral("ファン手帳: 未登録（進入は枠なり）　") + predictor;
  const QLocale number(QLocale::Japanese, QLocale::Japan);
  return QStringLiteral("ファン手帳: %1 %2 人　").arg(mHandbook->period, number.toString(mHandbook->racers)) +
         predictor;
}

void frmMain::UpdateStatus() {
  if (lblStatus) lblStatus->setText(StatusText());
}

QString frmMain::CardCopyText() {
  const std::int16_t r = SelectedRaceNo();
  QString first = JyoNameGet(SelectedJyoCode());
  if (!mblnNoBangumi && mblnBangumiLoaded && r >= 1) {
    first += u' ' + FormatDate(mclsBangumi->RaceDate(), u"yyyy/m/d") + u' ' + RaceLine(*mclsBangumi, r);
  } else {
    first += u' ' + cboRaceNo->currentText().remove(u' ');
  }
  QStringList lines{first};
  for (std::int16_t row = 0; row <= 6; ++row) {
    QStringList cells;
    for (std::int16_t col = 0; col <= 14; ++col) {
      QString cell = CellText(mclsGrid->CellValue(row, col));
      // The headers are spaced out to fit their columns: a spreadsheet wants the words.
      if (row == 0) cell.remove(u' ').remove(u'　');
      cells << cell;
    }
    lines << cells.join(u'\t');
  }
  return lines.join(u'\n') + u'\n';
}

void frmMain::mnuRaceCopy_Click() {
  if (picGridPanel->isHidden() || cboRaceNo->currentIndex() < 0) return;
  QApplication::clipboard()->setText(CardCopyText());
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
      "F6 / F7\t\t表示速度 普通 / 速い\n"
      "F8\t\tレース結果\n"
      "Ctrl+C\t\t表示中のレースをコピー（タブ区切り）\n"
      "Esc\t\t航走を中止する\n"
      "右クリック（進入の列）\tその艇の進入を変える・予想し直す\n"
      "\n"
      "ファイルを出走表に落とすと、番組ファイルかファン手帳ファイルかを見分けて開きます。");
}

QString frmMain::AboutText() {
  return QStringLiteral(
             "Corvane Tidewake\nバージョン %1\n\n"
             "競艇の出走表と進入予想、展示航走とレースの様子を表示します。\n\n"
             "使用しているライブラリ:\n"
             "Qt %2 — GNU LGPL v3（https://www.qt.io/licensing/）\n"
             "%3 — New BSD License（https://www.libarchive.org/）")
      .arg(QStringLiteral(TIDEWAKE_VERSION), QString::fromLatin1(qVersion()), ArchiveLibraryVersion());
}

void frmMain::mnuHelpKeys_Click() {
  MsgBox(KeysText(), MsgButtons::Ok, MsgIcon::Information, QStringLiteral("キーボード操作"));
}

void frmMain::mnuHelpAbout_Click() {
  MsgBox(AboutText(), MsgButtons::Ok, MsgIcon::Information, QStringLiteral("バージョン情報"));
}

}  // namespace tidewake
