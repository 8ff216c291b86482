// The Qt picture surface: boxes and lines to the pixel, text placed by its top-left corner,
// the stand-in fonts and their metrics, system colours, resizing and change notices.

#include "grid/cGrid.h"
#include "ui/qtplatform/Artwork.h"
#include "ui/qtplatform/FontSubstitutions.h"
#include "ui/qtplatform/QtDrawSurface.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

using namespace tidewake;

namespace {

// These measure the IPA fonts of the Linux desktop through the offscreen platform. On Windows that
// platform reads fonts from the one folder QT_QPA_FONTDIR names (the Wine runs name the IPA fonts'
// folder); without them there is nothing of theirs to measure.
#if defined(Q_OS_WIN)
#define SKIP_WITHOUT_LINUX_FONTS()                                                      \
  do {                                                                                  \
    if (!QFontDatabase::hasFamily(QStringLiteral("IPAGothic")))                         \
      GTEST_SKIP() << "no IPA fonts offscreen: QT_QPA_FONTDIR names no folder of them"; \
  } while (false)
#else
#define SKIP_WITHOUT_LINUX_FONTS() static_cast<void>(0)
#endif

const QRgb kWhite = qRgb(255, 255, 255);

QRgb Px(const QtDrawSurface& s, int x, int y) { return s.Image().pixel(x, y) | 0xFF000000u; }

// The smallest rectangle holding every pixel that is not `background`, within `area`.
QRect InkIn(const QImage& image, const QRect& area, QRgb background = kWhite) {
  QRect ink;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if ((image.pixel(x, y) | 0xFF000000u) != (background | 0xFF000000u)) ink |= QRect(x, y, 1, 1);
    }
  }
  return ink;
}

TEST(QtDrawSurface, FilledBoxesIncludeBothCorners) {
  QtDrawSurface s(40, 30);
  s.Box(2, 3, 5, 6, 0x0000FF, true);
  EXPECT_EQ(InkIn(s.Image(), QRect(0, 0, 40, 30)), QRect(QPoint(2, 3), QPoint(5, 6)));
  EXPECT_EQ(Px(s, 2, 3), qRgb(255, 0, 0));
  EXPECT_EQ(Px(s, 5, 6), qRgb(255, 0, 0));
  // Corners given the other way round fill the same box.
  s.Cls();
  s.Box(5, 6, 2, 3, 0xFF0000, true);
  EXPECT_EQ(InkIn(s.Image(), QRect(0, 0, 40, 30)), QRect(QPoint(2, 3), QPoint(5, 6)));
  EXPECT_EQ(Px(s, 3, 4), qRgb(0, 0, 255));
}

TEST(QtDrawSurface, OutlinedBoxesAreOnePixelEdgesOnTheCorners) {
  QtDrawSurface s(40, 30);
  s.Box(10, 10, 14, 13, 0x00FF00, false);
  const QRgb green = qRgb(0, 255, 0);
  for (int x = 10; x <= 14; ++x) {
    EXPECT_EQ(Px(s, x, 10), green);
    EXPECT_EQ(Px(s, x, 13), green);
  }
  for (int y = 10; y <= 13; ++y) {
    EXPECT_EQ(Px(s, 10, y), green);
    EXPECT_EQ(Px(s, 14, y), green);
  }
  EXPECT_EQ(Px(s, 12, 11), kWhite);
  EXPECT_EQ(Px(s, 9, 10), kWhite);
  EXPECT_EQ(Px(s, 15, 13), kWhite);
  EXPECT_EQ(Px(s, 12, 14), kWhite);
  EXPECT_EQ(s.CurrentX(), 14);
  EXPECT_EQ(s.CurrentY(), 13);
}

TEST(QtDrawSurface, LinesIncludeTheirEndPoints) {
  QtDrawSurface s(40, 30);
  s.Line(2, 5, 10, 5, 0);
  EXPECT_EQ(InkIn(s.Image(), QRect(0, 0, 40, 30)), QRect(QPoint(2, 5), QPoint(10, 5)));
  s.Cls();
  s.Line(3, 3, 3, 3, 0);
  EXPECT_EQ(InkIn(s.Image(), QRect(0, 0, 40, 30)), QRect(3, 3, 1, 1));
  s.Cls();
  s.Line(0, 0, 9, 9, 0x0000FF);
  EXPECT_EQ(Px(s, 0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(Px(s, 5, 5), qRgb(255, 0, 0));
  EXPECT_EQ(Px(s, 9, 9), qRgb(255, 0, 0));
  EXPECT_EQ(Px(s, 9, 0), kWhite);
}

TEST(QtDrawSurface, ClsAndBackColourClearAndReturnHome) {
  QtDrawSurface s(20, 20);
  s.Box(0, 0, 19, 19, 0, true);
  s.SetCurrentX(7);
  s.SetCurrentY(8);
  s.Cls();
  EXPECT_EQ(Px(s, 10, 10), kWhite);
  EXPECT_EQ(s.CurrentX(), 0);
  EXPECT_EQ(s.CurrentY(), 0);
  s.SetBackColor(0xC0A000);  // red 0, green 160, blue 192
  EXPECT_EQ(Px(s, 0, 0), qRgb(0, 160, 192));
  EXPECT_EQ(Px(s, 19, 19), qRgb(0, 160, 192));
}

TEST(QtDrawSurface, ThePictureBoxsOwnPictureSurvivesEveryClear) {
  QtDrawSurface s(20, 20);
  s.SetBackColor(0xC0A000);  // red 0, green 160, blue 192
  // A face: an opaque red square in the top-left corner, the rest transparent.
  QImage face(10, 10, QImage::Format_ARGB32_Premultiplied);
  face.fill(Qt::transparent);
  face.setPixel(0, 0, qRgb(255, 0, 0));
  for (int y = 2; y < 6; ++y) {
    for (int x = 2; x < 6; ++x) face.setPixel(x, y, qRgb(255, 0, 0));
  }
  s.SetCurrentX(7);
  s.SetCurrentY(8);
  s.SetPicture(face);
  // Shown at once, the print position left alone; transparent parts show the background.
  EXPECT_EQ(Px(s, 3, 3), qRgb(255, 0, 0));
  EXPECT_EQ(Px(s, 8, 8), qRgb(0, 160, 192));
  EXPECT_EQ(s.CurrentX(), 7);
  EXPECT_EQ(s.CurrentY(), 8);
  // What is drawn on it goes with the next Cls; the picture stays.
  s.Line(0, 0, 19, 19, 0x00FFFF);
  EXPECT_EQ(Px(s, 10, 10), qRgb(255, 255, 0));
  s.Cls();
  EXPECT_EQ(Px(s, 10, 10), qRgb(0, 160, 192));
  EXPECT_EQ(Px(s, 3, 3), qRgb(255, 0, 0));
  EXPECT_EQ(Px(s, 0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(s.CurrentX(), 0);
  // A new background clears under the picture too.
  s.SetBackColor(0x000000);
  EXPECT_EQ(Px(s, 8, 8), qRgb(0, 0, 0));
  EXPECT_EQ(Px(s, 15, 15), qRgb(0, 0, 0));
  EXPECT_EQ(Px(s, 4, 4), qRgb(255, 0, 0));
  // No picture: a plain clear again.
  s.SetPicture(QImage());
  EXPECT_EQ(Px(s, 4, 4), qRgb(0, 0, 0));
  s.Cls();
  EXPECT_EQ(Px(s, 4, 4), qRgb(0, 0, 0));
}

TEST(QtDrawSurface, TheStartClockHandIsDrawnOverItsFaceFrameAfterFrame) {
  QtDrawSurface clock(88, 99);
  clock.SetPicture(ClockFacePicture());
  const QImage face = clock.Image().copy();
  // Two frames of the hand as the start clock draws them: clear, then a yellow line from the
  // centre, first straight up, then towards three o'clock.
  clock.Cls();
  clock.Line(44, 49.5F, 44, 22, 0x00FFFF);
  EXPECT_EQ(Px(clock, 44, 30), qRgb(255, 255, 0));
  clock.Cls();
  clock.Line(44, 49.5F, 66, 49.5F, 0x00FFFF);
  EXPECT_EQ(Px(clock, 60, 50), qRgb(255, 255, 0));
  // The first hand is gone and the face under it is back, marks and all.
  EXPECT_EQ(Px(clock, 44, 30), face.pixel(44, 30) | 0xFF000000u);
  EXPECT_EQ(Px(clock, 44, 8), face.pixel(44, 8) | 0xFF000000u);
}

TEST(QtDrawSurface, ColourNumbersHaveRedInTheLowestByteAndSystemColoursComeFromThePalette) {
  EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(ToQColor(0x404040), QColor(64, 64, 64));
  const QPalette pal = QGuiApplication::palette();
  EXPECT_EQ(ToQColor(0x80000010), pal.color(QPalette::Dark));  // button shadow
  EXPECT_EQ(ToQColor(0x8000000F), pal.color(QPalette::Button));
  EXPECT_EQ(ToQColor(0x80000005), pal.color(QPalette::Base));
  EXPECT_EQ(ToQColor(0x80000008), pal.color(QPalette::Text));
  EXPECT_EQ(ToQColor(0x80000012), pal.color(QPalette::ButtonText));
  // The shadow is a visible grey, neither the white of the picture nor black text.
  const QColor shadow = ToQColor(0x80000010);
  EXPECT_NE(shadow, QColor(Qt::white));
  EXPECT_NE(shadow, QColor(Qt::black));
}

TEST(QtDrawSurface, TheWindowsFontNamesAreDrawnInTheIpaFonts) {
  SKIP_WITHOUT_LINUX_FONTS();
  QtDrawSurface s(10, 10);
  s.SetFontName(QStringLiteral("ＭＳ ゴシック"));
  EXPECT_EQ(QFontInfo(s.CurrentFont()).family(), QStringLiteral("IPAGothic"));
  s.SetFontName(QStringLiteral("MS Gothic"));
  EXPECT_EQ(QFontInfo(s.CurrentFont()).family(), QStringLiteral("IPAGothic"));
  s.SetFontName(QStringLiteral("ＭＳ Ｐゴシック"));
  EXPECT_EQ(QFontInfo(s.CurrentFont()).family(), QStringLiteral("IPAPGothic"));
  s.SetFontName(QStringLiteral("MS PGothic"));
  EXPECT_EQ(QFontInfo(s.CurrentFont()).family(), QStringLiteral("IPAPGothic"));
  EXPECT_TRUE(IsSubstitutedFont(QStringLiteral("ms gothic")));
  EXPECT_FALSE(IsSubstitutedFont(QStringLiteral("IPAGothic")));
  // Registering again changes nothing.
  RegisterFontSubstitutions();
  EXPECT_EQ(QFontInfo(s.CurrentFont()).family(), QStringLiteral("IPAPGothic"));
}

// Where neither the Windows font nor the IPA font is installed (a Windows without its Japanese
// fonts), Qt goes down the list: the IPA font, the other name of the Windows font, then the
// Windows Japanese fonts, fixed pitch first for the fixed-pitch name.
TEST(QtDrawSurface, WindowsJapaneseFontsStandInWhereTheNamedFontIsMissing) {
  RegisterFontSubstitutions();
  const struct {
    const char16_t* family;
    QStringList standIns;
  } rows[] = {
      {u"ＭＳ ゴシック", {"IPAGothic", "MS Gothic", "BIZ UDGothic", "Meiryo", "Yu Gothic"}},
      {u"ms gothic", {"IPAGothic", "BIZ UDGothic", "Meiryo", "Yu Gothic"}},
      {u"ＭＳ Ｐゴシック", {"IPAPGothic", "MS PGothic", "BIZ UDPGothic", "Meiryo UI", "Yu Gothic UI", "Meiryo"}},
      {u"MS PGothic", {"IPAPGothic", "BIZ UDPGothic", "Meiryo UI", "Yu Gothic UI", "Meiryo"}},
      {u"Arial", {}},
  };
  for (const auto& r : rows) {
    const QString family = QString::fromUtf16(r.family);
    EXPECT_EQ(FontStandIns(family).join(u'|').toStdString(), r.standIns.join(u'|').toStdString());
    // Qt keeps the names in lower case and looks them up so.
    if (!r.standIns.isEmpty()) {
      EXPECT_EQ(QFont::substitutes(family).join(u'|').toStdString(), r.standIns.join(u'|').toLower().toStdString());
    }
  }
}

// Asking for the installed family draws with the very font the Windows name is drawn with, at
// every size and weight the window uses; other families are asked for as they are named.
TEST(QtDrawSurface, TheInstalledFamilyDrawsAsTheWindowsName) {
  SKIP_WITHOUT_LINUX_FONTS();
  RegisterFontSubstitutions();
  const struct {
    const char16_t* family;
    const char16_t* installed;
  } rows[] = {
      {u"ＭＳ ゴシック", u"IPAGothic"}, {u"MS Gothic", u"IPAGothic"}, {u"ＭＳ Ｐゴシック", u"IPAPGothic"},
      {u"ms pgothic", u"IPAPGothic"},   {u"IPAGothic", u"IPAGothic"}, {u"Arial", u"Arial"},
  };
  for (const auto& r : rows) {
    const QString family = QString::fromUtf16(r.family);
    SCOPED_TRACE(family.toStdString());
    const QString installed = InstalledFamily(family);
    EXPECT_EQ(installed.toStdString(), QString::fromUtf16(r.installed).toStdString());
    if (!IsSubstitutedFont(family)) continue;
    EXPECT_TRUE(QFontDatabase::hasFamily(installed));
    for (const int pixels : {12, 15, 16}) {
      for (const bool bold : {false, true}) {
        QFont named(family), asked(installed);
        for (QFont* f : {&named, &asked}) {
          f->setPixelSize(pixels);
          f->setBold(bold);
          f->setStyleStrategy(QFont::NoFontMerging);
        }
        const QFontInfo a(named), b(asked);
        EXPECT_EQ(a.family(), b.family()) << pixels << (bold ? " bold" : "");
        EXPECT_EQ(a.pixelSize(), b.pixelSize());
        EXPECT_EQ(a.bold(), b.bold());
        const QString text = QStringLiteral("艇番 選手名 ﾌｧｲﾙ(&F) 12# 第1回 9.27");
        EXPECT_EQ(QFontMetrics(named).horizontalAdvance(text), QFontMetrics(asked).horizontalAdvance(text));
      }
    }
  }
}

TEST(QtDrawSurface, FixedPitchMetricsAtElevenPoints) {
  SKIP_WITHOUT_LINUX_FONTS();
  QtDrawSurface s(10, 10);
  s.SetFontName(QStringLiteral("ＭＳ ゴシック"));
  s.SetFontSize(11);  // 15 pixels at 96 dots per inch
  EXPECT_EQ(s.FontSize(), 11);
  EXPECT_EQ(s.CurrentFont().pixelSize(), 15);
  EXPECT_EQ(s.TextWidth(QStringLiteral("@")), 8);
  EXPECT_EQ(s.TextWidth(QStringLiteral("A")), 8);
  EXPECT_EQ(s.TextWidth(QStringLiteral("i")), 8);
  EXPECT_EQ(s.TextWidth(QStringLiteral("9.27")), 32);
  EXPECT_EQ(s.TextWidth(QStringLiteral("艇")), 15);
  EXPECT_EQ(s.TextWidth(QStringLiteral("成　　　　績")), 90);
  // One em a line, as the Windows font has it: 2 lines of 11-point text fit 30 pixels.
  EXPECT_EQ(s.TextHeight(QStringLiteral("@")), 15);
  EXPECT_EQ(s.TextHeight(QString()), 15);
  EXPECT_EQ(s.TextHeight(QStringLiteral("a\r\nb")), 30);
  EXPECT_EQ(s.TextWidth(QStringLiteral("ab\r\n艇番")), 30);
  s.SetFontSize(9);
  EXPECT_EQ(s.CurrentFont().pixelSize(), 12);
  EXPECT_EQ(s.TextHeight(QStringLiteral("@")), 12);
  s.SetFontSize(10);
  EXPECT_EQ(s.CurrentFont().pixelSize(), 13);
}

TEST(QtDrawSurface, ProportionalFaceHasNarrowAndWideLetters) {
  SKIP_WITHOUT_LINUX_FONTS();
  QtDrawSurface s(10, 10);
  s.SetFontName(QStringLiteral("ＭＳ Ｐゴシック"));
  s.SetFontSize(11);
  EXPECT_LT(s.TextWidth(QStringLiteral("i")), s.TextWidth(QStringLiteral("W")));
  // Text drawn in a font the program does not substitute uses its own line height.
  s.SetFontName(QStringLiteral("IPAGothic"));
  EXPECT_GE(s.TextHeight(QStringLiteral("@")), 15);
}

TEST(QtDrawSurface, PrintPutsTheTopLeftOfTheTextAtTheCurrentPosition) {
  SKIP_WITHOUT_LINUX_FONTS();
  QtDrawSurface s(80, 60);
  s.SetFontName(QStringLiteral("ＭＳ ゴシック"));
  s.SetFontSize(11);
  s.SetForeColor(0x0000FF);
  s.SetCurrentX(20);
  s.SetCurrentY(30);
  s.Print(QStringLiteral("■"));  // a full-width square filling most of its em box
  const QRect ink = InkIn(s.Image(), QRect(0, 0, 80, 60));
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.left(), 20);
  EXPECT_LE(ink.left(), 22);
  EXPECT_GE(ink.top(), 30);
  EXPECT_LE(ink.top(), 33);
  EXPECT_LE(ink.right(), 20 + 14);
  EXPECT_LE(ink.bottom(), 30 + 14);
  EXPECT_EQ(Px(s, ink.center().x(), ink.center().y()), qRgb(255, 0, 0));
  // With a line end the position goes to the start of the next line; without, past the text.
  EXPECT_EQ(s.CurrentX(), 0);
  EXPECT_EQ(s.CurrentY(), 45);
  s.SetCurrentX(5);
  s.Print(QStringLiteral("ab"), false);
  EXPECT_EQ(s.CurrentX(), 21);
  EXPECT_EQ(s.CurrentY(), 45);
}

TEST(QtDrawSurface, TextIsDrawnInTheForeColourOnly) {
  QtDrawSurface s(60, 20);
  s.SetFontSize(11);
  s.SetForeColor(0x00FF00);
  s.Print(QStringLiteral("成績"));
  const QImage& image = s.Image();
  int ink = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 60; ++x) {
      const QRgb p = image.pixel(x, y) | 0xFF000000u;
      if (p == kWhite) continue;
      ++ink;
      EXPECT_EQ(p, qRgb(0, 255, 0)) << x << "," << y;  // crisp glyphs: no blended edges
    }
  }
  EXPECT_GT(ink, 30);
}

TEST(QtDrawSurface, ResizingKeepsWhatWasDrawn) {
  QtDrawSurface s(20, 10);
  s.Box(15, 5, 19, 9, 0, true);
  s.SetSize(30, 12);
  EXPECT_EQ(s.Width(), 30);
  EXPECT_EQ(s.ScaleHeight(), 12);
  EXPECT_EQ(Px(s, 19, 9), qRgb(0, 0, 0));
  EXPECT_EQ(Px(s, 25, 11), kWhite);
  s.SetSize(10, 10);
  EXPECT_EQ(s.Image().size(), QSize(10, 10));
}

TEST(QtDrawSurface, AWidgetHearsOfChangesOnlyWhileThePictureIsVisible) {
  QtDrawSurface s(20, 20);
  int notices = 0;
  s.SetChangeHandler([&] { ++notices; });
  s.Box(1, 1, 5, 5, 0, true);
  EXPECT_EQ(notices, 1);
  s.SetVisible(false);
  s.Box(1, 1, 5, 5, 0x0000FF, true);
  s.Print(QStringLiteral("x"));
  s.Cls();
  EXPECT_EQ(notices, 1);
  s.SetVisible(true);
  EXPECT_EQ(notices, 2);
  s.SetVisible(true);  // already shown
  EXPECT_EQ(notices, 2);
  // Drawing after the image was read goes on in the same picture.
  (void)s.Image();
  s.Box(0, 0, 0, 0, 0, true);
  EXPECT_EQ(Px(s, 0, 0), qRgb(0, 0, 0));
}

TEST(QtDrawSurface, AGridRepaintReachesTheWidgetOnceAndComplete) {
  QtDrawSurface s(200, 60);
  cGrid grid;
  ASSERT_TRUE(grid.Init(&s, 3, 2, true, false));
  int notices = 0;
  bool sawHalfPainted = false;
  s.SetChangeHandler([&] {
    ++notices;
    // What a widget would show at this moment: the finished card.
    sawHalfPainted = sawHalfPainted || (s.Image().pixel(1, 1) | 0xFF000000u) != qRgb(0xE0, 0xE0, 0xE0);
  });
  grid.SetRefreshFlg(false);
  for (std::int16_t c = 0; c < 3; ++c) grid.SetCellValue(1, c, QString::number(c));
  EXPECT_EQ(notices, 0);
  grid.Refresh(false);
  EXPECT_EQ(notices, 1);
  EXPECT_FALSE(sawHalfPainted);
  EXPECT_EQ(grid.LastErrText(), QString());
}

TEST(QtDrawSurface, ReadingATextLengthDividesByTheWidthOfTheAtSign) {
  SKIP_WITHOUT_LINUX_FONTS();
  // With a proportional face the average character and "@" differ, so the length read back is
  // not the length set.
  QtDrawSurface s(400, 60);
  cGrid grid;
  ASSERT_TRUE(grid.Init(&s, 2, 2, true, false));
  s.SetFontName(QStringLiteral("ＭＳ Ｐゴシック"));
  s.SetFontSize(11);
  double sum = 0;
  for (int ch = 32; ch <= 122; ++ch) sum += s.TextWidth(QString(QChar(ch)));
  const int average = static_cast<int>(std::nearbyint(sum)) / 91;
  const int at = static_cast<int>(s.TextWidth(QStringLiteral("@")));
  ASSERT_NE(average, at);
  grid.SetColTextLen(0, 10);
  EXPECT_EQ(grid.ColWidth(0), 10 * average + 4);
  EXPECT_EQ(grid.ColTextLen(0), 10 * average / at);
  EXPECT_NE(grid.ColTextLen(0), 10);
}

}  // namespace
