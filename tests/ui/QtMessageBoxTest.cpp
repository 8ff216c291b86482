// The Qt message box: the text and title it shows, and the box itself, answered from its own
// event loop.

#include "tests/ui/DialogDriver.h"
#include "ui/qtplatform/QtMessageBox.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace tidewake;
using tidewake::test::DialogDriver;

namespace {

TEST(QtMessageBox, EveryKindOfLineEndIsOneLineBreak) {
  const struct {
    QString in;
    QString shown;
  } cases[] = {
      {QString(), QString()},
      {QStringLiteral("一行"), QStringLiteral("一行")},
      {QStringLiteral("a\r\nb"), QStringLiteral("a\nb")},
      {QStringLiteral("a\rb"), QStringLiteral("a\nb")},
      {QStringLiteral("a\nb"), QStringLiteral("a\nb")},
      {QStringLiteral("a\r\r\nb"), QStringLiteral("a\n\nb")},
      {QStringLiteral("a\n\rb"), QStringLiteral("a\n\nb")},
      {QStringLiteral("a\r\n\r\nb"), QStringLiteral("a\n\nb")},
      {QStringLiteral("\r"), QStringLiteral("\n")},
      {QStringLiteral("end\r\n"), QStringLiteral("end\n")},
      {QStringLiteral("end\r"), QStringLiteral("end\n")},
  };
  for (const auto& c : cases) EXPECT_EQ(MessageBoxText(c.in), c.shown) << c.in.toStdString();
}

TEST(QtMessageBox, AnEmptyTitleIsTheProgramsCaption) {
  const QString before = QGuiApplication::applicationDisplayName();
  // Unset, Qt's display name is the executable's name: the box says the program's own caption.
  EXPECT_EQ(MessageBoxTitle(QString()), QStringLiteral("Corvane Tidewake"));
  EXPECT_EQ(MessageBoxTitle(QStringLiteral("番組ファイル変換エラー")), QStringLiteral("番組ファイル変換エラー"));
  QGuiApplication::setApplicationDisplayName(QStringLiteral("Tidewake 試験"));
  EXPECT_EQ(MessageBoxTitle(QString()), QStringLiteral("Tidewake 試験"));
  EXPECT_EQ(MessageBoxTitle(QStringLiteral("x")), QStringLiteral("x"));
  QGuiApplication::setApplicationDisplayName(before);
  EXPECT_EQ(MessageBoxTitle(QString()), QStringLiteral("Corvane Tidewake"));
}

TEST(QtMessageBox, IconsMapOneToOne) {
  EXPECT_EQ(ToQMessageBoxIcon(MsgIcon::None), QMessageBox::NoIcon);
  EXPECT_EQ(ToQMessageBoxIcon(MsgIcon::Critical), QMessageBox::Critical);
  EXPECT_EQ(ToQMessageBoxIcon(MsgIcon::Question), QMessageBox::Question);
  EXPECT_EQ(ToQMessageBoxIcon(MsgIcon::Warning), QMessageBox::Warning);
  EXPECT_EQ(ToQMessageBoxIcon(MsgIcon::Information), QMessageBox::Information);
}

// What a shown box held, read from inside its event loop.
struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  Qt::TextFormat format = Qt::AutoText;
  QWidget* parent = nullptr;
  bool modal = false;
};

SeenBox Read(QMessageBox* box) {
  SeenBox seen;
  seen.title = box->windowTitle();
  seen.text = box->text();
  seen.icon = box->icon();
  seen.buttons = box->standardButtons();
  seen.defaultButton = box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton;
  seen.format = box->textFormat();
  seen.parent = box->parentWidget();
  seen.modal = box->isModal();
  return seen;
}

TEST(QtMessageBox, AnOkBoxShowsItsTitleTextAndIconAndAnswersOk) {
  QtMessageBox qtBox;
  SeenBox seen;
  DialogDriver<QMessageBox> driver([&](QMessageBox* box) {
    seen = Read(box);
    box->button(QMessageBox::Ok)->click();
  });
  const MsgResult answer = qtBox.Show(QStringLiteral("3 行目: 数字ではありません\r\n<b>x</b>"), MsgButtons::Ok,
                                      MsgIcon::Warning, QStringLiteral("番組ファイル読み込みエラー(01)"));
  ASSERT_TRUE(driver.acted());
  EXPECT_EQ(answer, MsgResult::Ok);
  EXPECT_EQ(seen.title, QStringLiteral("番組ファイル読み込みエラー(01)"));
  EXPECT_EQ(seen.text, QStringLiteral("3 行目: 数字ではありません\n<b>x</b>"));
  // Shown as written: a "<" in a file's text is not markup.
  EXPECT_EQ(seen.format, Qt::PlainText);
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_TRUE(seen.modal);
  EXPECT_EQ(seen.parent, nullptr);
}

TEST(QtMessageBox, AQuestionAnswersTheButtonClickedAndNoWhenClosedUnanswered) {
  QWidget window;
  QtMessageBox qtBox;
  qtBox.SetParentWidget(&window);
  const struct {
    const char* what;
    std::function<void(QMessageBox*)> answer;
    MsgResult expected;
  } cases[] = {
      {"Yes", [](QMessageBox* b) { b->button(QMessageBox::Yes)->click(); }, MsgResult::Yes},
      {"No", [](QMessageBox* b) { b->button(QMessageBox::No)->click(); }, MsgResult::No},
      {"closed", [](QMessageBox* b) { b->reject(); }, MsgResult::No},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SeenBox seen;
    DialogDriver<QMessageBox> driver([&](QMessageBox* box) {
      seen = Read(box);
      c.answer(box);
    });
    const MsgResult answer =
        qtBox.Show(QStringLiteral("レースを中止しますか。"), MsgButtons::YesNo, MsgIcon::Question, QString());
    ASSERT_TRUE(driver.acted());
    EXPECT_EQ(answer, c.expected);
    EXPECT_EQ(seen.title, QStringLiteral("Corvane Tidewake"));
    EXPECT_EQ(seen.text, QStringLiteral("レースを中止しますか。"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.defaultButton, QMessageBox::Yes);
    EXPECT_EQ(seen.parent, &window);
  }
}

// A long list goes in the box's details area, which scrolls: the box keeps the size of its text.
TEST(QtMessageBox, ALongListGoesInTheDetailsArea) {
  QtMessageBox qtBox;
  QStringList files;
  for (int i = 0; i < 400; ++i) files << QStringLiteral("/home/fan/downloads/k2207%1.lzh\n  壊れています").arg(i);
  QString text, details;
  int height = 0;
  DialogDriver<QMessageBox> driver([&](QMessageBox* box) {
    text = box->text();
    details = box->detailedText();
    height = box->sizeHint().height();
    box->button(QMessageBox::Ok)->click();
  });
  qtBox.ShowDetails(QStringLiteral("取り込めなかったファイル（400）。"), files.join(u'\n'), MsgButtons::Ok,
                    MsgIcon::Warning, QStringLiteral("履歴"));
  ASSERT_TRUE(driver.acted());
  EXPECT_EQ(text, QStringLiteral("取り込めなかったファイル（400）。"));
  EXPECT_EQ(details, files.join(u'\n'));
  EXPECT_LT(height, 600) << "the list is not laid out in the box";
}

TEST(QtMessageBox, TheBoxIsGoneOnceAnswered) {
  QtMessageBox qtBox;
  QPointer<QMessageBox> shown;
  DialogDriver<QMessageBox> driver([&](QMessageBox* box) {
    shown = box;
    box->button(QMessageBox::Ok)->click();
  });
  qtBox.Show(QStringLiteral("x"), MsgButtons::Ok, MsgIcon::Critical, QString());
  ASSERT_TRUE(driver.acted());
  EXPECT_TRUE(shown.isNull());
}

TEST(QtMessageBox, AWindowClosedUnderAnOpenBoxTakesTheBoxWithIt) {
  // The window owns the box: should it be destroyed while the box is up (the program ending),
  // Show returns the unanswered result and nothing is deleted twice.
  auto* window = new QWidget;
  QtMessageBox qtBox;
  qtBox.SetParentWidget(window);
  DialogDriver<QMessageBox> driver([&](QMessageBox*) { delete window; });
  EXPECT_EQ(qtBox.Show(QStringLiteral("?"), MsgButtons::YesNo, MsgIcon::Question, QString()), MsgResult::No);
  ASSERT_TRUE(driver.acted());
  // The window is gone: later boxes have no owner.
  DialogDriver<QMessageBox> again([&](QMessageBox* box) {
    EXPECT_EQ(box->parentWidget(), nullptr);
    box->button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(qtBox.Show(QStringLiteral("!"), MsgButtons::Ok, MsgIcon::None, QString()), MsgResult::Ok);
  EXPECT_TRUE(again.acted());
}

}  // namespace
