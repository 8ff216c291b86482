#include "ui/frmKekka.h"

#include "data/cKekkaFile.h"
#include "platform/Format.h"
#include "sim/mMain.h"
#include "ui/qtplatform/QtDrawSurface.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tidewake {

const QString frmKekka::kMissMark = QStringLiteral("✕");

namespace {

const QString kNoResult = QStringLiteral("成績なし");
const QString kCancelled = QStringLiteral("中止");
const QString kVoid = QStringLiteral("レース不成立");
const QString kTokubarai = QStringLiteral("特払い");
const QString kFuseiritu = QStringLiteral("不成立");

// The cells of a table are shown, never edited.
QTableWidget* MakeTable(QWidget* parent, const QStringList& captions, int rows) {
  auto* t = new QTableWidget(rows, static_cast<int>(captions.size()), parent);
  t->setHorizontalHeaderLabels(captions);
  t->verticalHeader()->setVisible(false);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->setSelectionMode(QAbstractItemView::NoSelection);
  t->setFocusPolicy(Qt::NoFocus);
  t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
  // Tall enough for every row: the window grows rather than hiding a boat behind a scroll bar.
  t->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return t;
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment align = Qt::AlignCenter) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(align | Qt::AlignVCenter);
  return item;
}

// "1" for a place ("01"), the printed text otherwise ("F", "K0", "S1").
QString PlaceText(const cKekkaFile& k, std::int16_t r, std::int16_t j) {
  const std::int16_t place = k.TyakujyunNo(r, j);
  return place != 0 ? QString::number(place) : k.Tyakujyun(r, j);
}

// The timing as the official results print it: "0.08", "F0.01" for a flying start, "L1.99" for a
// late one ("L" alone when no figure is printed); empty for a boat that did not start.
QString StartText(const cKekkaFile& k, std::int16_t r, std::int16_t j) {
  const QString mark = k.StartFlying(r, j) ? QStringLiteral("F") : k.StartLate(r, j) ? QStringLiteral("L") : QString();
  if (!k.StartTimingExists(r, j)) return mark;
  return mark + FormatNumber(k.StartTiming(r, j), u"0.00");
}

QString CourseDigit(std::int16_t c) { return c >= 1 && c <= 6 ? QString::number(c) : QStringLiteral("－"); }

}  // namespace

frmKekka::frmKekka(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("レース結果"));
  setObjectName(QStringLiteral("frmKekka"));
  auto* layout = new QVBoxLayout(this);
  lblRace = new QLabel(this);
  lblRace->setObjectName(QStringLiteral("lblRace"));
  lblTenko = new QLabel(this);
  lblTenko->setObjectName(QStringLiteral("lblTenko"));
  lblMessage = new QLabel(this);
  lblMessage->setObjectName(QStringLiteral("lblMessage"));
  lblMessage->setWordWrap(true);
  grdKekka = MakeTable(
      this,
      {QStringLiteral("着"), QStringLiteral("艇"), QStringLiteral("登番"), QStringLiteral("選手名"),
       QStringLiteral("展示"), QStringLiteral("進入 予想→実際"), QStringLiteral("ST"), QStringLiteral("タイム")},
      cKekkaFile::kBoats);
  grdKekka->setObjectName(QStringLiteral("grdKekka"));
  lblKimarite = new QLabel(this);
  lblKimarite->setObjectName(QStringLiteral("lblKimarite"));
  grdHaraimodosi = MakeTable(
      this, {QStringLiteral("賭式"), QStringLiteral("組番"), QStringLiteral("払戻金"), QStringLiteral("人気")}, 0);
  grdHaraimodosi->setObjectName(QStringLiteral("grdHaraimodosi"));
  lblBikou = new QLabel(this);
  lblBikou->setObjectName(QStringLiteral("lblBikou"));
  lblBikou->setWordWrap(true);
  lblAccuracy = new QLabel(this);
  lblAccuracy->setObjectName(QStringLiteral("lblAccuracy"));
  // Its lines are laid out by the caller; the window is as wide as the longest.
  lblAccuracy->setWordWrap(false);
  lblAccuracy->hide();
  lblWin = new QLabel(this);
  lblWin->setObjectName(QStringLiteral("lblWin"));
  lblWin->setWordWrap(false);
  lblWin->hide();

  layout->addWidget(lblRace);
  layout->addWidget(lblTenko);
  layout->addWidget(lblMessage);
  // The boats and the payouts side by side: the window stays short enough to sit under the
  // main window on a small screen, with every boat and every payout in view.
  auto* sides = new QHBoxLayout();
  auto* race = new QVBoxLayout();
  race->addWidget(grdKekka, 0, Qt::AlignLeft | Qt::AlignTop);
  race->addWidget(lblKimarite);
  // The chances and the accuracy go under the boats, beside the payouts, rather than under both:
  // the window then stays low enough to open under the card on a laptop's screen.
  race->addSpacing(8);
  race->addWidget(lblWin);
  race->addWidget(lblAccuracy);
  race->addStretch(1);
  sides->addLayout(race);
  sides->addWidget(grdHaraimodosi, 0, Qt::AlignLeft | Qt::AlignTop);
  sides->addStretch(1);
  layout->addLayout(sides);
  layout->addWidget(lblBikou);
  layout->addStretch(1);
  Clear(kNoResult);
}

void frmKekka::Clear(const QString& strMessage) {
  lblTenko->clear();
  lblKimarite->clear();
  lblBikou->clear();
  lblBikou->hide();
  grdKekka->clearContents();
  grdHaraimodosi->setRowCount(0);
  grdKekka->hide();
  grdHaraimodosi->hide();
  lblMessage->setText(strMessage);
  lblMessage->show();
}

QString frmKekka::DayMismatchText(const QString& strBangumiDate, const QString& strKekkaDate) {
  return QStringLiteral("成績ファイルの日付 %1 が番組の日付 %2 と違うため、成績を表示しません。")
      .arg(FormatDate(strKekkaDate, u"yyyy/m/d"), FormatDate(strBangumiDate, u"yyyy/m/d"));
}

void frmKekka::ShowDayMismatch(const QString& strBangumiDate, const QString& strKekkaDate) {
  lblRace->clear();
  Clear(DayMismatchText(strBangumiDate, strKekkaDate));
}

void frmKekka::SetWinText(const QString& strText) {
  lblWin->setText(strText);
  lblWin->setVisible(!strText.isEmpty());
}

void frmKekka::SetAccuracyText(const QString& strText) {
  lblAccuracy->setText(strText);
  lblAccuracy->setVisible(!strText.isEmpty());
}

void frmKekka::ShowRace(const cKekkaFile* kekka, std::int16_t intJyoCode, std::int16_t intRaceNo,
                        const std::array<std::int16_t, 7>& predictedCourse) {
  lblRace->setText(QStringLiteral("%1 %2R").arg(JyoNameGet(intJyoCode)).arg(intRaceNo));
  const bool sameVenue = kekka && kekka->KyoteijyoCode().toInt() == intJyoCode;
  if (!sameVenue) {
    Clear(kNoResult);
    return;
  }
  // A race called off, or one the file does not complete, shows no table at all; a block whose
  // day is not in yet says so in its own words.
  if (kekka->Status(intRaceNo) == RaceStatus::Cancelled) {
    lblRace->setText(QStringLiteral("%1 %2R  %3")
                         .arg(JyoNameGet(intJyoCode))
                         .arg(intRaceNo)
                         .arg(FormatDate(kekka->RaceDate(), u"yyyy/m/d")));
    Clear(kCancelled);
    return;
  }
  if (!kekka->RaceExists(intRaceNo)) {
    Clear(kekka->Notice().isEmpty() ? kNoResult : kekka->Notice());
    return;
  }
  const bool isVoid = kekka->Status(intRaceNo) == RaceStatus::Void;
  const cKekkaFile& k = *kekka;
  const std::int16_t r = intRaceNo;
  lblRace->setText(QStringLiteral("%1 %2R %3%4  %5m  %6")
                       .arg(JyoNameGet(intJyoCode))
                       .arg(r)
                       .arg(k.RaceName(r), k.CourseFix(r) ? QStringLiteral(" 進入固定") : QString())
                       .arg(k.Kyori(r))
                       .arg(FormatDate(k.RaceDate(), u"yyyy/m/d")));
  lblTenko->setText(
      QStringLiteral("天候 %1  風 %2 %3m  波 %4cm").arg(k.Tenko(r), k.KazeMuki(r)).arg(k.Fusoku(r)).arg(k.Hakou(r)));
  // A void race keeps its boats and their timings, and says it paid nothing.
  lblMessage->setText(isVoid ? kVoid : QString());
  lblMessage->setVisible(isVoid);

  grdKekka->clearContents();
  for (std::int16_t j = 1; j <= cKekkaFile::kBoats; ++j) {
    const int row = j - 1;
    if (j > k.BoatNumbers(r)) continue;
    const std::int16_t waku = k.WakuNo(r, j);
    grdKekka->setItem(row, colTyakujyun, Cell(PlaceText(k, r, j)));
    QTableWidgetItem* boat = Cell(QString::number(waku));
    if (const auto back = BoatColor(waku, true)) boat->setBackground(ToQColor(*back));
    if (const auto fore = BoatColor(waku, false)) boat->setForeground(ToQColor(*fore));
    grdKekka->setItem(row, colWaku, boat);
    grdKekka->setItem(row, colSensyuNo, Cell(k.SensyuNo(r, j)));
    grdKekka->setItem(row, colSensyuName, Cell(k.SensyuName(r, j), Qt::AlignLeft));
    const float tenji = k.TenjiTime(r, j);
    grdKekka->setItem(row, colTenji, Cell(tenji > 0 ? FormatNumber(tenji, u"0.00") : QString()));
    // Predicted → actual; a mark only where both are known and differ.
    const std::int16_t predicted = waku >= 1 && waku <= 6 ? predictedCourse[waku] : 0;
    const std::int16_t actual = k.Course(r, j);
    const bool missed = predicted >= 1 && predicted <= 6 && actual != 0 && predicted != actual;
    QTableWidgetItem* course = Cell(CourseDigit(predicted) + QStringLiteral("→") + CourseDigit(actual) +
                                    (missed ? u' ' + kMissMark : QString()));
    if (missed) course->setForeground(QColor(Qt::red));
    grdKekka->setItem(row, colCourse, course);
    grdKekka->setItem(row, colStart, Cell(StartText(k, r, j)));
    grdKekka->setItem(row, colTime, Cell(k.RaceTime(r, j)));
  }
  grdKekka->show();

  lblKimarite->setText(k.Kimarite(r).isEmpty() ? QString() : QStringLiteral("決まり手 %1").arg(k.Kimarite(r)));

  grdHaraimodosi->setRowCount(0);
  const QLocale yen(QLocale::Japanese, QLocale::Japan);
  for (int kind = 0; kind < kKakesikiCount; ++kind) {
    const auto kk = static_cast<Kakesiki>(kind);
    const QString name = cKekkaFile::KakesikiName(kk);
    const auto addRow = [&](const QString& kumiban, const QString& kingaku, const QString& ninki, bool first) {
      const int row = grdHaraimodosi->rowCount();
      grdHaraimodosi->insertRow(row);
      grdHaraimodosi->setItem(row, 0, Cell(first ? name : QString(), Qt::AlignLeft));
      grdHaraimodosi->setItem(row, 1, Cell(kumiban));
      grdHaraimodosi->setItem(row, 2, Cell(kingaku, Qt::AlignRight));
      grdHaraimodosi->setItem(row, 3, Cell(ninki));
    };
    if (k.Fuseiritu(r, kk)) {
      addRow(kFuseiritu, QString(), QString(), true);
      continue;
    }
    // Every combination paid (both of a dead heat); a special payout in place of one, with its
    // yen when the file gives it.
    for (std::int16_t i = 1; i <= k.HaraimodosiNumbers(r, kk); ++i) {
      const std::int16_t ninki = k.Ninki(r, kk, i);
      const std::int32_t kingaku = k.Kingaku(r, kk, i);
      addRow(k.Tokubarai(r, kk, i) ? kTokubarai : k.Kumiban(r, kk, i),
             kingaku > 0 || !k.Tokubarai(r, kk, i) ? yen.toString(kingaku) + QStringLiteral("円") : QString(),
             ninki > 0 ? QString::number(ninki) : QString(), i == 1);
    }
  }
  grdHaraimodosi->setVisible(grdHaraimodosi->rowCount() > 0);
  const QStringList bikou = k.Bikou(r);
  lblBikou->setText(bikou.join(u'\n'));
  lblBikou->setVisible(!bikou.isEmpty());
  // Grown, never shrunk, so that the user's own size stays when the next race fits in it.
  resize(size().expandedTo(sizeHint()));
}

}  // namespace tidewake
