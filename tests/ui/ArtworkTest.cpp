// The pictures drawn at start-up: their sizes, the boats' colours and headings, transparent
// backgrounds, and a clock face the yellow hand reads on. A sheet of every picture on the water
// is kept in the build tree (artwork.png) for a person to look at.

#include "sim/mMain.h"
#include "ui/qtplatform/Artwork.h"
#include "ui/qtplatform/QtDrawSurface.h"

#include <QDir>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace tidewake;

namespace {

int Alpha(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)); }

bool CornersClear(const QImage& image) {
  const int r = image.width() - 1;
  const int b = image.height() - 1;
  return Alpha(image, 0, 0) == 0 && Alpha(image, r, 0) == 0 && Alpha(image, 0, b) == 0 && Alpha(image, r, b) == 0;
}

// Opaque pixels of exactly this colour.
int CountOpaque(const QImage& image, QColor colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      n += (qAlpha(p) == 255 && (p & 0xFFFFFFu) == (colour.rgb() & 0xFFFFFFu)) ? 1 : 0;
    }
  }
  return n;
}

// How many points of the boat a line across the heading, `ahead` pixels from the centre, meets.
int BeamAt(const QImage& image, double degrees, double ahead) {
  const double a = degrees * std::numbers::pi / 180.0;
  const double hx = std::cos(a);
  const double hy = -std::sin(a);  // anticlockwise on a screen whose Y grows downwards
  const double c = (image.width() - 1) / 2.0;
  int n = 0;
  for (int s = -10; s <= 10; ++s) {
    const int x = static_cast<int>(std::lround(c + hx * ahead - hy * s));
    const int y = static_cast<int>(std::lround(c + hy * ahead + hx * s));
    if (x >= 0 && y >= 0 && x < image.width() && y < image.height() && Alpha(image, x, y) > 128) ++n;
  }
  return n;
}

QColor Colour(int boat, bool hull) { return ToQColor(*BoatColor(static_cast<std::int16_t>(boat), hull)); }

TEST(Artwork, ThirtySixBoatPicturesOfThirtyThreePixelsOnATransparentGround) {
  const std::vector<QImage> list = BoatPictureList();
  ASSERT_EQ(list.size(), 36u);
  for (std::size_t i = 0; i < list.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(list[i].size(), QSize(33, 33));
    EXPECT_TRUE(list[i].hasAlphaChannel());
    EXPECT_TRUE(CornersClear(list[i]));
  }
}

TEST(Artwork, EveryBoatAndHeadingHasAPictureOfItsOwn) {
  const std::vector<QImage> list = BoatPictureList();
  for (std::size_t i = 0; i < list.size(); ++i) {
    for (std::size_t j = i + 1; j < list.size(); ++j) EXPECT_NE(list[i], list[j]) << i << " and " << j;
  }
}

TEST(Artwork, EachBoatIsInItsOwnColours) {
  const std::vector<QImage> list = BoatPictureList();
  for (int boat = 1; boat <= 6; ++boat) {
    for (int k = 1; k <= 6; ++k) {
      SCOPED_TRACE(testing::Message() << "boat " << boat << " heading " << k);
      const QImage& picture = list[static_cast<std::size_t>((boat - 1) * 6 + k - 1)];
      EXPECT_EQ(picture, BoatPicture(boat, k));
      EXPECT_GE(CountOpaque(picture, Colour(boat, true)), 40);
      EXPECT_GE(CountOpaque(picture, Colour(boat, false)), 15);
    }
  }
}

TEST(Artwork, TheBowPointsTheWayOfEachHeading) {
  // The bow tapers to a point and the stern is square: 11 pixels ahead of the centre the boat is
  // narrower than 11 pixels behind it, along the heading of each picture and not the reverse one.
  const double headings[] = {0, 30, 90, 180, 210, 270};
  for (int k = 1; k <= 6; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(BoatHeadingDegrees(k), headings[k - 1]);
    for (int boat = 1; boat <= 6; ++boat) {
      const QImage picture = BoatPicture(boat, k);
      const int bow = BeamAt(picture, headings[k - 1], 11);
      const int stern = BeamAt(picture, headings[k - 1], -11);
      EXPECT_GT(bow, 0);
      EXPECT_GE(stern - bow, 3) << "boat " << boat;
    }
  }
  const QImage right = BoatPicture(3, 1);
  // Heading right, the nose reaches the picture's right edge, where a run measures it from.
  EXPECT_GE(BeamAt(right, 0, 14), 1);
  EXPECT_EQ(BeamAt(right, 0, 17), 0);
}

TEST(Artwork, TheTurnMarkStandsOnATransparentGround) {
  const QImage mark = TurnMarkPicture();
  EXPECT_EQ(mark.size(), QSize(16, 32));
  EXPECT_TRUE(CornersClear(mark));
  // An orange body in the lower half, clearly off the water's colour.
  EXPECT_EQ(Alpha(mark, 8, 20), 255);
  const QColor body = QColor::fromRgba(mark.pixel(5, 26));
  EXPECT_GT(body.red(), 150);
  EXPECT_LT(body.blue(), 100);
}

TEST(Artwork, TheClockFaceIsDarkWhereTheYellowHandTurnsWithTwelveMarksRoundIt) {
  const QImage face = ClockFacePicture();
  ASSERT_EQ(face.size(), QSize(88, 99));
  const double cx = 44;
  const double cy = 49.5;
  for (int y = 0; y < face.height(); ++y) {
    for (int x = 0; x < face.width(); ++x) ASSERT_EQ(Alpha(face, x, y), 255) << x << "," << y;
  }
  // Along the hand's sweep (22 pixels across, 27.5 down from the centre) the face is dark.
  for (int deg = 0; deg < 360; deg += 5) {
    const double a = deg * std::numbers::pi / 180.0;
    for (double f = 0.3; f <= 1.0; f += 0.1) {
      const int x = static_cast<int>(std::lround(cx + std::cos(a) * 22 * f));
      const int y = static_cast<int>(std::lround(cy + std::sin(a) * 27.5 * f));
      EXPECT_LT(QColor(face.pixel(x, y)).lightness(), 90) << deg << " " << f;
    }
  }
  // Twelve marks just beyond the hand's reach: light ones, the start at the top in red.
  for (int mark = 0; mark < 12; ++mark) {
    const double a = mark * 30 * std::numbers::pi / 180.0;
    const int x = static_cast<int>(std::lround(cx + std::sin(a) * 22 * 1.5));
    const int y = static_cast<int>(std::lround(cy - std::cos(a) * 27.5 * 1.45));
    QColor c(face.pixel(x, y));
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const QColor n(face.pixel(x + dx, y + dy));
        if (n.lightness() > c.lightness()) c = n;
      }
    }
    if (mark == 0) {
      EXPECT_GT(c.red(), 200);
      EXPECT_LT(c.green(), 120);
    } else {
      EXPECT_GT(c.lightness(), 150) << mark;
    }
  }
}

TEST(Artwork, TheWindowIconIsABoatOnTheWaterAtAnySize) {
  for (const int size : {16, 32, 48, 256}) {
    const QImage icon = WindowIconPicture(size);
    EXPECT_EQ(icon.size(), QSize(size, size));
    // The boat runs from the lower left to the upper right: the other two corners are water.
    for (const QPoint at : {QPoint(size / 5, size / 5), QPoint(size * 4 / 5, size * 4 / 5)}) {
      const QColor water(icon.pixel(at));
      EXPECT_EQ(water.alpha(), 255);
      EXPECT_GT(water.blue(), water.red() + 100) << size;
    }
  }
  EXPECT_GE(CountOpaque(WindowIconPicture(64), Colour(3, true)), 100);
}

TEST(Artwork, ASheetOfEveryPictureOnTheWaterIsKeptForAPersonToLookAt) {
  // At three times the size: the 36 boats, the mark, the clock face with a hand, the icon; below
  // them boat 3 drawn at 99 pixels in its six headings, to judge the shapes.
  QImage sheet(6 * 33 + 16 + 88 + 64 + 40, 6 * 33 + 4 + 33, QImage::Format_RGB32);
  sheet.fill(QColor(0, 160, 192));
  {
    QPainter p(&sheet);
    const std::vector<QImage> list = BoatPictureList();
    for (int b = 0; b < 6; ++b) {
      for (int k = 0; k < 6; ++k) p.drawImage(k * 33, b * 33, list[static_cast<std::size_t>(b * 6 + k)]);
    }
    p.drawImage(6 * 33 + 8, 4, TurnMarkPicture());
    p.drawImage(6 * 33 + 30, 4, ClockFacePicture());
    p.setPen(QPen(QColor(255, 255, 0), 1));
    p.drawLine(QPointF(6 * 33 + 30 + 44, 4 + 49.5), QPointF(6 * 33 + 30 + 44 + 19, 4 + 49.5 - 13.75));
    p.drawImage(6 * 33 + 30 + 88 + 8, 4, WindowIconPicture(64));
  }
  QImage big = sheet.scaled(sheet.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  {
    QPainter p(&big);
    for (int k = 1; k <= 6; ++k) p.drawImage((k - 1) * 99, (6 * 33 + 4) * 3, BoatPicture(3, k, 99));
  }
  EXPECT_TRUE(big.save(QDir(QStringLiteral(TIDEWAKE_TEST_OUTPUT)).filePath(QStringLiteral("artwork.png"))));
}

}  // namespace
