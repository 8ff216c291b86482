// The program's style: the arrow of a bar's hidden items is the wrapped style's own, read when it
// is first drawn; everything else is the wrapped style's.

#include "ui/qtplatform/ProgramStyle.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QMenuBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace tidewake;

namespace {

QImage Picture(const QIcon& icon, int size, QIcon::Mode mode = QIcon::Normal) {
  return icon.pixmap(QSize(size, size), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(ProgramStyle, DrawsTheArrowsAndIconsOfTheStyleItWraps) {
  ProgramStyle program;
  const std::unique_ptr<QStyle> plain(QStyleFactory::create(program.baseStyle()->name()));
  ASSERT_NE(plain, nullptr);
  const struct {
    QStyle::StandardPixmap icon;
    Qt::LayoutDirection direction;
  } rows[] = {
      {QStyle::SP_ToolBarHorizontalExtensionButton, Qt::LeftToRight},
      {QStyle::SP_ToolBarHorizontalExtensionButton, Qt::RightToLeft},
      {QStyle::SP_ToolBarVerticalExtensionButton, Qt::LeftToRight},
      {QStyle::SP_MessageBoxWarning, Qt::LeftToRight},
      {QStyle::SP_DialogOkButton, Qt::LeftToRight},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(static_cast<int>(r.icon));
    SCOPED_TRACE(r.direction == Qt::RightToLeft ? "right to left" : "left to right");
    QStyleOption option;
    option.direction = r.direction;
    const QIcon ours = program.standardIcon(r.icon, &option, nullptr);
    const QIcon theirs = plain->standardIcon(r.icon, &option, nullptr);
    EXPECT_FALSE(ours.isNull());
    EXPECT_EQ(ours.availableSizes(), theirs.availableSizes());
    for (const int size : {8, 16, 32}) {
      EXPECT_EQ(ours.actualSize(QSize(size, size)), theirs.actualSize(QSize(size, size))) << size;
      EXPECT_EQ(Picture(ours, size), Picture(theirs, size)) << size;
      EXPECT_EQ(Picture(ours, size, QIcon::Disabled), Picture(theirs, size, QIcon::Disabled)) << size;
    }
    // A copy of the icon draws the same.
    const QIcon copy = ours;
    EXPECT_EQ(Picture(copy, 16), Picture(theirs, 16));
  }
}

TEST(ProgramStyle, IsInstalledOnceAndTheMenuBarsArrowComesFromIt) {
  InstallProgramStyle();
  QStyle* const installed = QApplication::style();
  ASSERT_NE(dynamic_cast<ProgramStyle*>(installed), nullptr);
  InstallProgramStyle();
  EXPECT_EQ(QApplication::style(), installed) << "a second call changes nothing";

  // A bar too narrow for its titles shows the arrow, with the wrapped style's picture.
  QMenuBar bar;
  for (const char* title : {"ﾌｧｲﾙ(&F)", "ﾚｰｽ(&R)", "分析(&N)", "ﾍﾙﾌﾟ(&H)"}) bar.addMenu(QString::fromUtf8(title));
  bar.setFixedWidth(60);
  bar.show();
  QApplication::processEvents();
  const QToolButton* arrow = bar.findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
  ASSERT_NE(arrow, nullptr);
  EXPECT_TRUE(arrow->isVisible());
  const std::unique_ptr<QStyle> plain(
      QStyleFactory::create(dynamic_cast<ProgramStyle*>(installed)->baseStyle()->name()));
  ASSERT_NE(plain, nullptr);
  const QIcon theirs = plain->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, nullptr, nullptr);
  EXPECT_EQ(Picture(arrow->icon(), 16), Picture(theirs, 16));
}

}  // namespace
