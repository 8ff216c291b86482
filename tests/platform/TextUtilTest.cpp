#include "platform/TextUtil.h"
#include "platform/mMyFunc.h"

#include <gtest/gtest.h>

using namespace tidewake;

namespace {
QString S(const char16_t* s) { return QString::fromUtf16(s); }
}  // namespace

TEST(Trim, RemovesAsciiBlanksOnly) {
  EXPECT_EQ(Trim(u"  24BBGN \t"), S(u"24BBGN \t"));
  EXPECT_EQ(Trim(u"  24BBGN  "), S(u"24BBGN"));
  // The full-width blank pads names and titles and stays.
  EXPECT_EQ(Trim(S(u"　１Ｒ  予選　")), S(u"　１Ｒ  予選　"));
  EXPECT_EQ(LTrim(u"   1 3501"), S(u"1 3501"));
  EXPECT_EQ(RTrim(u" a  "), S(u" a"));
  EXPECT_EQ(Trim(u"    "), QString());
}

TEST(Trim, PaddingAlsoRemovesTheFullWidthBlankAtTheEndsOnly) {
  EXPECT_EQ(TrimPadding(S(u"　予　選　　 ")), S(u"予　選"));
  EXPECT_EQ(TrimPadding(S(u" 晴　")), S(u"晴"));
  EXPECT_EQ(TrimPadding(S(u"　 　")), QString());
  EXPECT_EQ(TrimPadding(u"\tx"), S(u"\tx"));
}

TEST(Narrow, FullWidthFormsBecomeAscii) {
  EXPECT_EQ(Narrow(S(u"２０２４年　１月")), S(u"2024年 1月"));
  EXPECT_EQ(Narrow(S(u"１７：４１")), S(u"17:41"));
  EXPECT_EQ(Narrow(S(u"ＡＢｚ！～")), S(u"ABz!~"));
  EXPECT_EQ(Narrow(S(u"ボートレースｱ")), S(u"ボートレースｱ"));
  EXPECT_EQ(Widen(u"1 A"), S(u"１　Ａ"));
}

TEST(Mid, CountsFromOneAndToleratesShortText) {
  EXPECT_EQ(Mid(u"abcdef", 2, 3), "bcd");
  EXPECT_EQ(Mid(u"abcdef", 5, 10), "ef");
  EXPECT_EQ(Mid(u"abc", 4, 1), "");
  EXPECT_EQ(MidToEnd(u"abcdef", 4), "def");
  EXPECT_EQ(Right(u"abcdef", 3), "def");
  EXPECT_EQ(Right(u"ab", 3), "ab");
}

TEST(AppFilePath, ExactlyOneSeparator) {
  EXPECT_EQ(JoinPath(QStringLiteral("/opt/tidewake"), QStringLiteral("BANGUMI.BRF")), "/opt/tidewake/BANGUMI.BRF");
  EXPECT_EQ(JoinPath(QStringLiteral("/opt/tidewake/"), QStringLiteral("BANGUMI.BRF")), "/opt/tidewake/BANGUMI.BRF");
  EXPECT_EQ(JoinPath(QStringLiteral("/"), QStringLiteral("SENSYU.BRF")), "/SENSYU.BRF");
  EXPECT_EQ(JoinPath(QStringLiteral("C:\\"), QStringLiteral("SENSYU.BRF")), "C:\\SENSYU.BRF");
  SetAppFolder(QStringLiteral("/tmp/x"));
  EXPECT_EQ(AppFilePath(QStringLiteral("SENSYU.BRF")), "/tmp/x/SENSYU.BRF");
  SetAppFolder(QString());
  EXPECT_FALSE(AppFolder().isEmpty());
}
