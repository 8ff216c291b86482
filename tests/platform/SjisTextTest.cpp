#include "platform/SjisText.h"
#include "platform/TextUtil.h"

#include <QList>
#include <QStringDecoder>
#include <QStringList>

#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <vector>

using namespace tidewake;

namespace {
QString U(const char16_t* s) { return QString::fromUtf16(s); }
}  // namespace

TEST(SjisDecode, PlainAndDoubleByteCharacters) {
  // 0x82A0 あ, 0x8140 full-width blank, 0x8250 full-width digit 1, 0xB1 half-width kana ｱ.
  EXPECT_EQ(DecodeSjis(QByteArray("A\x82\xa0\x81\x40\x82\x50\xb1z")), U(u"Aあ　１ｱz"));
  EXPECT_EQ(DecodeSjis(QByteArray()), QString());
  // 0x5C is the backslash and 0x7E the tilde: ASCII stays ASCII.
  EXPECT_EQ(DecodeSjis(QByteArray("\\~")), QStringLiteral("\\~"));
}

TEST(SjisDecode, BothFormsOfADuplicateCodeGiveTheSameCharacter) {
  // 髙 (the ladder-form 高) exists at 0xFBFC (IBM extension) and at 0xEEE0 (NEC-selected IBM).
  EXPECT_EQ(DecodeSjis(QByteArray("\xfb\xfc")), U(u"髙"));
  EXPECT_EQ(DecodeSjis(QByteArray("\xee\xe0")), U(u"髙"));
  // NEC special characters: 0x8740 ① and 0x8754 Ⅰ.
  EXPECT_EQ(DecodeSjis(QByteArray("\x87\x40\x87\x54")), U(u"①Ⅰ"));
}

TEST(SjisDecode, BadBytesBecomeReplacementCharactersInPlace) {
  // 0xFF and 0x80 are no characters; 0x81 followed by a blank is a lead byte without its trail;
  // 0x85 0x40 has the shape of a pair but is unassigned.
  EXPECT_EQ(DecodeSjis(QByteArray("a\xff"
                                  "b")),
            U(u"a\uFFFDb"));
  EXPECT_EQ(DecodeSjis(QByteArray("\x80\x82\xa0")), U(u"\uFFFDあ"));
  EXPECT_EQ(DecodeSjis(QByteArray("\x81 1")), U(u"\uFFFD 1"));
  EXPECT_EQ(DecodeSjis(QByteArray("x\x81")), U(u"x\uFFFD"));
  EXPECT_EQ(DecodeSjis(QByteArray("\x85\x40"
                                  "A")),
            U(u"\uFFFDA"));
}

TEST(SjisDecode, ControlCodesAreNotSwapped) {
  const QByteArray bytes("\x1a\x1c\x7f\x82\xa0", 5);
  const QString s = DecodeSjis(bytes);
  ASSERT_EQ(s.size(), 4);
  EXPECT_EQ(s[0].unicode(), 0x1A);
  EXPECT_EQ(s[1].unicode(), 0x1C);
  EXPECT_EQ(s[2].unicode(), 0x7F);
  EXPECT_EQ(s[3], QChar(0x3042));
}

TEST(SjisEncode, RoundTripsOrdinaryTextAndCountsBytes) {
  const QString s = U(u"1 3501川上昇平54長崎55B1 ｱ");
  EXPECT_EQ(DecodeSjis(EncodeSjis(s)), s);
  EXPECT_EQ(SjisByteLength(U(u"艇番")), 4);
  EXPECT_EQ(SjisByteLength(U(u"選  手  名")), 10);
  EXPECT_EQ(SjisByteLength(U(u"ｱｲ")), 2);
  EXPECT_EQ(SjisByteLength(QStringLiteral("0.00")), 4);
}

TEST(SjisEncode, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(EncodeSjis(U(u"a€あ")), QByteArray("a?\x82\xa0"));
  EXPECT_EQ(EncodeSjis(QString(QChar(0x1A))), QByteArray("\x1a"));
}

// Threads that encode and end, many at once and one after another (as the import's reading
// thread does with every file): each gets the bytes the first thread got, and none fails as it ends.
TEST(SjisEncode, ThreadsThatEncodeAndEndAgreeAndEndCleanly) {
  const QStringList texts = {U(u"川上昇平"), U(u"ボートレース住之江"), U(u"a€あ"), U(u"１２Ｒ ｱｲ 選手名"), U(u"髙①Ⅰ")};
  QList<QByteArray> expected;
  for (const QString& t : texts) expected << EncodeSjis(t);
  for (int round = 0; round < 20; ++round) {
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (std::size_t k = 0; k < mismatches.size(); ++k) {
      threads.emplace_back([&, k] {
        for (int i = 0; i < 50; ++i) {
          const auto n =
              static_cast<qsizetype>((k + static_cast<std::size_t>(i)) % static_cast<std::size_t>(texts.size()));
          if (EncodeSjis(texts[n]) != expected[n]) ++mismatches[k];
        }
      });
    }
    for (std::thread& t : threads) t.join();
    for (const int m : mismatches) EXPECT_EQ(m, 0) << "round " << round;
  }
}

TEST(SjisCodec, IsAvailable) { EXPECT_NO_THROW(EnsureShiftJisCodec()); }

TEST(SjisDecode, ABadLineDoesNotSpoilTheLinesAfterIt) {
  EXPECT_EQ(DecodeSjis(QByteArray("\x85\x40\x82\xa0")), U(u"\uFFFDあ"));
  EXPECT_EQ(DecodeSjis(QByteArray("\x82\xa0\x82\xa2")), U(u"あい"));
  EXPECT_EQ(EncodeSjis(U(u"€")), QByteArray("?"));
  EXPECT_EQ(EncodeSjis(U(u"あい")), QByteArray("\x82\xa0\x82\xa2"));
}

// Every byte and every byte pair decodes as Qt's converter for code page 932 decodes it on its own,
// with U+FFFD where it finds no character, and the same in the middle of a line.
TEST(SjisDecode, EveryCodeAsTheConverterDecodesIt) {
  QStringDecoder qt("windows-31j", QStringConverter::Flag::Stateless);
  const auto converter = [&qt](QByteArrayView b) {
    const QString s = qt.decode(b);
    return s.size() == 1 && s[0] != QChar(0x1A) ? s : QString(QChar(0xFFFD));
  };
  for (int first = 0; first < 256; ++first) {
    const auto f = static_cast<unsigned char>(first);
    const QByteArray alone(1, static_cast<char>(f));
    const QString single = f < 0x80 ? QString(QChar(f)) : converter(alone);
    ASSERT_EQ(DecodeSjis(alone), IsSjisLeadByte(f) ? QString(QChar(0xFFFD)) : single) << first;
    if (!IsSjisLeadByte(f)) continue;
    for (int second = 0; second < 256; ++second) {
      const auto s = static_cast<unsigned char>(second);
      const QByteArray pair = alone + QByteArray(1, static_cast<char>(s));
      // A second byte that cannot end a pair is read on its own, after U+FFFD for the lead.
      const QString want = IsSjisTrailByte(s) ? converter(pair) : u'\uFFFD' + DecodeSjis(pair.sliced(1));
      ASSERT_EQ(DecodeSjis(pair), want) << first << ' ' << second;
      ASSERT_EQ(DecodeSjis("a" + pair + "\x82\xa0"), u'a' + want + u'あ') << first << ' ' << second;
    }
  }
}

// The columns of a line not yet decoded are the characters DecodeSjis makes of it: every character's
// start, and every cut by Mid and Right, decodes to what the decoded line gives. Lines of ASCII with
// pairs, bytes that end no pair, lone lead bytes and half-width kana, before and after the last byte
// outside ASCII, long enough to need more than the columns' own room.
TEST(SjisColumns, CutWhereTheDecodedLineIsCut) {
  std::mt19937 random(31);
  const unsigned char bytes[] = {' ',  '1',  'A',  0x40, 0x7F, 0x80, 0x81, 0x82,
                                 0x9F, 0xA0, 0xA1, 0xDF, 0xE0, 0xFC, 0xFD, 0xFF};
  for (int i = 0; i < 3000; ++i) {
    QByteArray line(static_cast<qsizetype>(random() % (i % 10 == 0 ? 300 : 40)), ' ');
    for (char& c : line) c = static_cast<char>(bytes[random() % sizeof bytes]);
    // An ASCII tail after the bytes above, as most lines of the race files end.
    line += QByteArray(static_cast<qsizetype>(random() % 20), '7');
    SCOPED_TRACE(line.toHex().toStdString());
    const QString text = DecodeSjis(line);
    const SjisColumns columns(line);
    ASSERT_EQ(columns.size(), text.size());
    EXPECT_EQ(columns.Offset(columns.size()), line.size());
    for (qsizetype k = 0; k <= columns.size(); ++k) {
      ASSERT_EQ(DecodeSjis(QByteArrayView(line).first(columns.Offset(k))), text.first(k)) << k;
    }
    for (qsizetype start = 0; start <= text.size() + 2; start += 1 + static_cast<qsizetype>(random() % 5)) {
      for (qsizetype length : {0, 1, 2, 3, 7, 80}) {
        EXPECT_EQ(DecodeSjis(columns.Mid(start, length)), Mid(text, start, length)) << start << ' ' << length;
      }
      EXPECT_EQ(DecodeSjis(columns.Right(start)), Right(text, start)) << start;
    }
  }
}

// A byte starts a character exactly where the columns of the line (checked against decoding
// above) put one. Random lines of pairs, bytes that end no pair, lone lead bytes and kana (0xDA
// and 0xB0 are both kana of their own and second bytes of pairs).
TEST(SjisCharacterStart, WhereTheColumnsPutACharacter) {
  std::mt19937 random(53);
  const unsigned char bytes[] = {' ',  '1',  0x40, 0x7F, 0x80, 0x81, 0x88, 0x9F,
                                 0xA0, 0xB0, 0xDA, 0xDF, 0xE0, 0xFC, 0xFF};
  for (int i = 0; i < 2000; ++i) {
    QByteArray line(static_cast<qsizetype>(random() % 24), ' ');
    for (char& c : line) c = static_cast<char>(bytes[random() % sizeof bytes]);
    SCOPED_TRACE(line.toHex().toStdString());
    const SjisColumns columns(line);
    std::vector<bool> starts(static_cast<std::size_t>(line.size()), false);
    for (qsizetype k = 0; k < columns.size(); ++k) starts[static_cast<std::size_t>(columns.Offset(k))] = true;
    EXPECT_FALSE(StartsSjisCharacter(line, -1));
    EXPECT_FALSE(StartsSjisCharacter(line, line.size()));
    for (qsizetype at = 0; at < line.size(); ++at) {
      ASSERT_EQ(StartsSjisCharacter(line, at), starts[static_cast<std::size_t>(at)]) << at;
    }
  }
}

TEST(SjisCharacterStart, AsciiBytesAreTheirOwnCharacters) {
  for (const auto& [bytes, ascii] : {std::pair{QByteArray(), true},
                                     {"1.49.7", true},
                                     {QByteArray("\x7f ~"), true},
                                     {QByteArray("6.8\x80"), false},
                                     {QByteArray("\x82\x4f.08"), false}}) {
    EXPECT_EQ(IsAsciiBytes(bytes), ascii) << bytes.toHex().toStdString();
    if (ascii) {
      EXPECT_EQ(DecodeSjis(bytes), QString::fromLatin1(bytes));
    }
  }
}
