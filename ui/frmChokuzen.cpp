#include "ui/frmChokuzen.h"

#include "platform/MessageBox.h"
#include "sim/mMain.h"
#include "ui/qtplatform/QtDrawSurface.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tidewake {

frmChokuzen::frmChokuzen(const QString& strRace, const std::array<Boat, 6>& boats, const ExhibitionForm& form,
                         bool entered, std::function<ExhibitionRefusal(const ExhibitionForm&)> enter,
                         std::function<void()> clear, QWidget* parent)
    : QDialog(parent), mEnter(std::move(enter)) {
  setObjectName(QStringLiteral("frmChokuzen"));
  setWindowTitle(QStringLiteral("直前情報"));
  // The card's Japanese font for every line: figures among kana would otherwise be drawn in
  // another font than the words around them.
  if (parent) setFont(parent->font());
  auto* layout = new QVBoxLayout(this);
  auto* race = new QLabel(strRace, this);
  race->setObjectName(QStringLiteral("lblChokuzenRace"));
  layout->addWidget(race);
  auto* grid = new QGridLayout();
  const QStringList captions{QStringLiteral("艇"), QStringLiteral("選手名"), QStringLiteral("展示タイム"),
                             QStringLiteral("展示の進入")};
  for (int c = 0; c < captions.size(); ++c) grid->addWidget(new QLabel(captions[c], this), 0, c, Qt::AlignCenter);
  const int digitWidth = fontMetrics().horizontalAdvance(QStringLiteral("0"));
  for (int b = 1; b <= 6; ++b) {
    const auto i = static_cast<std::size_t>(b - 1);
    // The boat number on its colours, as the card shows it.
    auto* number = new QLabel(QString::number(b), this);
    number->setAlignment(Qt::AlignCenter);
    number->setAutoFillBackground(true);
    number->setFixedWidth(digitWidth * 4);
    QPalette colours = number->palette();
    colours.setColor(QPalette::Window, ToQColor(BoatColor(static_cast<std::int16_t>(b), true).value_or(0xFFFFFF)));
    colours.setColor(QPalette::WindowText, ToQColor(BoatColor(static_cast<std::int16_t>(b), false).value_or(0)));
    number->setPalette(colours);
    grid->addWidget(number, b, 0);
    grid->addWidget(new QLabel(boats[i].name, this), b, 1);
    auto* time = new QLineEdit(form.times[i], this);
    time->setObjectName(QStringLiteral("txtTenji%1").arg(b));
    time->setPlaceholderText(QStringLiteral("空欄は不明"));
    time->setAlignment(Qt::AlignRight);
    time->setFixedWidth(time->fontMetrics().horizontalAdvance(time->placeholderText()) + digitWidth * 5);
    txtTenji[i] = time;
    grid->addWidget(time, b, 2);
    auto* course = new QComboBox(this);
    course->setObjectName(QStringLiteral("cboCourse%1").arg(b));
    for (int c = 1; c <= 6; ++c) course->addItem(QStringLiteral("%1コース").arg(c), c);
    course->setCurrentIndex(course->findData(form.courses[i]));
    cboCourse[i] = course;
    grid->addWidget(course, b, 3);
  }
  // The names take what room is left.
  grid->setColumnStretch(1, 1);
  layout->addLayout(grid);
  // The six times first, as 直前情報 lists them, then the courses.
  for (std::size_t i = 1; i < 6; ++i) setTabOrder(txtTenji[i - 1], txtTenji[i]);
  setTabOrder(txtTenji[5], cboCourse[0]);
  for (std::size_t i = 1; i < 6; ++i) setTabOrder(cboCourse[i - 1], cboCourse[i]);
  auto* hint =
      new QLabel(QStringLiteral("展示タイムは 6.78 のように秒で（空欄は不明）。進入は各艇ちがうコースに。"), this);
  hint->setObjectName(QStringLiteral("lblChokuzenHint"));
  layout->addWidget(hint);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("cmdOk"));
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("cmdCancel"));
  QPushButton* wakunari = buttons->addButton(QStringLiteral("枠なり"), QDialogButtonBox::ResetRole);
  wakunari->setObjectName(QStringLiteral("cmdWakunari"));
  QPushButton* erase = buttons->addButton(QStringLiteral("消す"), QDialogButtonBox::DestructiveRole);
  erase->setObjectName(QStringLiteral("cmdClear"));
  erase->setToolTip(QStringLiteral("このレースの直前情報を消して、展示の前の予想に戻します"));
  // Nothing to forget before anything was entered.
  erase->setEnabled(entered);
  connect(ok, &QPushButton::clicked, this, &frmChokuzen::Ok);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(wakunari, &QPushButton::clicked, this, [this] {
    for (std::size_t i = 0; i < 6; ++i) cboCourse[i]->setCurrentIndex(static_cast<int>(i));
  });
  connect(erase, &QPushButton::clicked, this, [this, clear = std::move(clear)] {
    clear();
    accept();
  });
  layout->addWidget(buttons);
  txtTenji[0]->setFocus();
  txtTenji[0]->selectAll();
}

ExhibitionForm frmChokuzen::Form() const {
  ExhibitionForm form;
  for (std::size_t i = 0; i < 6; ++i) {
    form.times[i] = txtTenji[i]->text();
    form.courses[i] = static_cast<std::int16_t>(cboCourse[i]->currentData().toInt());
  }
  return form;
}

void frmChokuzen::Ok() {
  const ExhibitionRefusal refused = mEnter(Form());
  if (refused.IsEmpty()) {
    accept();
    return;
  }
  // Said, then back on the field to correct: nothing typed is lost.
  MsgBox(refused.text, MsgButtons::Ok, MsgIcon::Warning, QStringLiteral("直前情報"));
  if (refused.boat < 1 || refused.boat > 6) return;
  const auto i = static_cast<std::size_t>(refused.boat - 1);
  if (refused.course) {
    cboCourse[i]->setFocus();
  } else {
    txtTenji[i]->setFocus();
    txtTenji[i]->selectAll();
  }
}

}  // namespace tidewake
