#include "sim/mFileDialog.h"
#include "sim/mMain.h"

#include "tests/common/TestDoubles.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tidewake;
using tidewake::test::ChosenFileDialog;
using tidewake::test::RecordingMessageBox;

TEST(JyoNameGet, NamesEveryVenueAndNothingOutsideTheTable) {
  const char16_t* names[] = {u"桐生", u"戸田", u"江戸川", u"平和島", u"多摩川", u"浜名湖", u"蒲郡", u"常滑",
                             u"津",   u"三国", u"琵琶湖", u"住之江", u"尼崎",   u"鳴門",   u"丸亀", u"児島",
                             u"宮島", u"徳山", u"下関",   u"若松",   u"芦屋",   u"福岡",   u"唐津", u"大村"};
  for (std::int16_t code = 1; code <= 24; ++code) {
    EXPECT_EQ(JyoNameGet(code), QString::fromUtf16(names[code - 1])) << code;
  }
  EXPECT_EQ(JyoNameGet(22), QStringLiteral("福岡"));
  for (std::int16_t code : {0, 25, -1, 32767, -32768}) EXPECT_EQ(JyoNameGet(code), QString()) << code;
}

TEST(BoatColor, BackgroundAndTextOfEachBoat) {
  const Colour back[] = {0xFFFFFF, 0x404040, 0x0000FF, 0xFF0000, 0x00FFFF, 0x00FF00};
  const Colour fore[] = {0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000};
  for (std::int16_t boat = 1; boat <= 6; ++boat) {
    EXPECT_EQ(BoatColor(boat, true), back[boat - 1]) << boat;
    EXPECT_EQ(BoatColor(boat, false), fore[boat - 1]) << boat;
  }
  EXPECT_EQ(*BoatColor(2, true), 0x404040u);
  EXPECT_EQ(*BoatColor(5, false), 0u);
  for (std::int16_t boat : {0, 7, -1, 32767}) {
    EXPECT_FALSE(BoatColor(boat, true).has_value()) << boat;
    EXPECT_FALSE(BoatColor(boat, false).has_value()) << boat;
  }
}

TEST(BubbleSortVariantArray, SortsNumbersAscending) {
  std::vector<float> singles = {3.5f, 1.25f, 3.5f, 0.0f};
  BubbleSortVariantArray(std::span(singles));
  EXPECT_EQ(singles, (std::vector<float>{0.0f, 1.25f, 3.5f, 3.5f}));

  std::vector<double> one = {7.0};
  BubbleSortVariantArray(std::span(one));
  EXPECT_EQ(one, std::vector<double>{7.0});

  std::vector<double> none;
  BubbleSortVariantArray(std::span(none));
  EXPECT_TRUE(none.empty());

  // Compared as numbers: 10 after 9, negatives first.
  std::vector<double> mixed = {10, 9, -2.5, 100, 0.5};
  BubbleSortVariantArray(std::span(mixed));
  EXPECT_EQ(mixed, (std::vector<double>{-2.5, 0.5, 9, 10, 100}));
}

namespace {
// A value that remembers where it came from, to see that equal ones keep their order.
struct Tagged {
  double value;
  int tag;
  bool operator>(const Tagged& o) const { return value > o.value; }
};
}  // namespace

TEST(BubbleSortVariantArray, NeverExchangesEqualElements) {
  auto tagsAfterSort = [](std::vector<Tagged> v) {
    BubbleSortVariantArray(std::span(v));
    std::vector<int> tags;
    for (std::size_t k = 0; k < v.size(); ++k) {
      if (k > 0) {
        EXPECT_LE(v[k - 1].value, v[k].value);
      }
      tags.push_back(v[k].tag);
    }
    return tags;
  };
  EXPECT_EQ(tagsAfterSort({{1, 0}, {1, 1}}), (std::vector<int>{0, 1}));
  EXPECT_EQ(tagsAfterSort({{1, 0}, {1, 1}, {1, 2}}), (std::vector<int>{0, 1, 2}));
  // Worked by hand, exchanging only on "greater than": 2 1 2 1 2 0 -> tags 5 3 1 0 4 2.
  EXPECT_EQ(tagsAfterSort({{2, 0}, {1, 1}, {2, 2}, {1, 3}, {2, 4}, {0, 5}}), (std::vector<int>{5, 3, 1, 0, 4, 2}));
}

TEST(BubbleSortVariantArray, LongestArrayItsCountersCover) {
  std::vector<std::int16_t> v(32767);
  for (std::size_t k = 0; k < v.size(); k += 4096) v[k] = static_cast<std::int16_t>(-static_cast<int>(k));
  BubbleSortVariantArray(std::span(v));
  EXPECT_TRUE(std::is_sorted(v.begin(), v.end()));
}

TEST(BubbleSortVariantArray, ArrayBeyondItsCountersIsReportedAndLeftAsItWas) {
  RecordingMessageBox boxes;
  std::vector<float> v(32768, 0.0f);
  v[0] = 5;
  v[1] = 3;
  BubbleSortVariantArray(std::span(v));
  EXPECT_EQ(v[0], 5.0f);
  EXPECT_EQ(v[1], 3.0f);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("BubbleSortVariantArray"));
  EXPECT_EQ(boxes.boxes()[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(boxes.boxes()[0].text,
            QStringLiteral("Error: 6. 並べ替える配列の要素が多すぎます: 32768 個（数えられるのは 32767 個まで）"));
}

TEST(ShowOpenFileDialog, PassesFilterFolderAndTitle) {
  ChosenFileDialog dialog(QStringLiteral("/home/u/race/b240101.txt"));
  const QString filter =
      QStringLiteral("番組ファイル(B*.TXT)") + QChar(u'\0') + QStringLiteral("B*.txt") + QChar(u'\0');
  EXPECT_EQ(ShowOpenFileDialog(0, filter, QStringLiteral("/opt/app"), 0, QStringLiteral("ファイルを開く"), false),
            QStringLiteral("/home/u/race/b240101.txt"));
  EXPECT_EQ(dialog.calls, 1);
  EXPECT_EQ(dialog.lastFilter, filter);
  EXPECT_EQ(dialog.lastFilter.size(), 22);
  EXPECT_EQ(dialog.lastFolder, QStringLiteral("/opt/app"));
  EXPECT_EQ(dialog.lastTitle, QStringLiteral("ファイルを開く"));
}

TEST(ShowOpenFileDialog, NameOnlyGivesTheFileName) {
  ChosenFileDialog slash(QStringLiteral("/home/u/race/F2023.TXT"));
  EXPECT_EQ(ShowOpenFileDialog(0, {}, {}, 1, {}, false), QStringLiteral("F2023.TXT"));
  // Any value other than 1 gives the full path.
  EXPECT_EQ(ShowOpenFileDialog(0, {}, {}, 2, {}, false), QStringLiteral("/home/u/race/F2023.TXT"));
  EXPECT_EQ(ShowOpenFileDialog(0, {}, {}, -1, {}, true), QStringLiteral("/home/u/race/F2023.TXT"));
  ChosenFileDialog backslash(QStringLiteral("C:\\race\\b240101.txt"));
  EXPECT_EQ(ShowOpenFileDialog(0, {}, {}, 1, {}, false), QStringLiteral("b240101.txt"));
  ChosenFileDialog bare(QStringLiteral("b240101.txt"));
  EXPECT_EQ(ShowOpenFileDialog(0, {}, {}, 1, {}, false), QStringLiteral("b240101.txt"));
}

TEST(ShowOpenFileDialog, TextEndsAtTheFirstNul) {
  QString buffer = QStringLiteral("/d/b240101.txt");
  buffer += QString(256 - buffer.size(), QChar(u'\0'));
  ChosenFileDialog dialog(buffer);
  EXPECT_EQ(ShowOpenFileDialog(0, {}, {}, 0, {}, false), QStringLiteral("/d/b240101.txt"));
  EXPECT_EQ(ShowOpenFileDialog(0, {}, {}, 1, {}, false), QStringLiteral("b240101.txt"));
}

TEST(ShowOpenFileDialog, CancelledOrNoDialogGivesEmpty) {
  EXPECT_EQ(ShowOpenFileDialog(0, {}, {}, 0, {}, false), QString());
  ChosenFileDialog cancelled{QString()};
  EXPECT_EQ(ShowOpenFileDialog(0, {}, {}, 0, {}, false), QString());
  EXPECT_EQ(ShowOpenFileDialog(0, {}, {}, 1, {}, false), QString());
  EXPECT_EQ(cancelled.calls, 2);
}
