#include "packaging/AppIcon.h"

#include <QImage>

#include <gtest/gtest.h>

// The window's icon holds every size the install gives the desktop, each drawn (not blank).
TEST(AppIcon, HoldsEveryInstalledSize) {
  const QIcon icon = tidewake::AppIcon();
  ASSERT_FALSE(icon.isNull());
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(size);
    EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
    const QImage image = icon.pixmap(size, size).toImage();
    ASSERT_EQ(image.size(), QSize(size, size));
    // The water's blue fills the middle of the left edge's inside; the corners are transparent.
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_GT(qBlue(image.pixel(size / 8 + 1, size / 2)), 100);
  }
}
