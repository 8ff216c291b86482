// The texts an import writes by hand for speed (race times, closing hours, numbers, bound texts,
// a race's payouts): each the same as the general formatting gives, and each read back as it was
// written.

#include "history/RirekiRows.h"
#include "history/RirekiSql.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tidewake;
using namespace tidewake::rireki;

namespace {

// The race time as Qt's formatting prints it.
QString PrintedRaceTime(float seconds) {
  if (!(seconds > 0) || seconds > 6000) return {};
  const long tenths = std::lround(static_cast<double>(seconds) * 10);
  return QStringLiteral("%1.%2.%3").arg(tenths / 600).arg(tenths % 600 / 10, 2, 10, QChar(u'0')).arg(tenths % 10);
}

TEST(RirekiRows, RaceTimeTextIsThePrintedFormForEveryTenth) {
  for (int tenths = 1; tenths <= 60000; ++tenths) {
    const float seconds = static_cast<float>(tenths) / 10.0f;
    ASSERT_EQ(RaceTimeText(seconds), PrintedRaceTime(seconds)) << seconds;
  }
  for (const float odd : {0.0f, -1.0f, 6000.05f, 1e9f, 110.66f, 0.04f, std::numeric_limits<float>::quiet_NaN(),
                          std::numeric_limits<float>::infinity()}) {
    EXPECT_EQ(RaceTimeText(odd), PrintedRaceTime(odd)) << odd;
  }
  EXPECT_EQ(RaceTimeText(110.7f), QStringLiteral("1.50.7"));
  EXPECT_EQ(RaceTimeText(6000.0f), QStringLiteral("100.00.0"));
}

class Memory : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    Exec(db_, "CREATE TABLE t(v ANY)", {}, Doing::Write);
  }
  void TearDown() override { sqlite3_close(db_); }
  sqlite3* db_ = nullptr;
};

// A closing hour is kept as minutes only when they give back the same text.
TEST_F(Memory, ClosingHoursComeBackAsWritten) {
  struct Case {
    const char16_t* hour;
    int minutes;  // -1: kept as the text
  };
  const Case cases[] = {
      {u"12:09:00", 729}, {u"00:00:00", 0},  {u"99:59:00", 5999}, {u"08:30:00", 510},  {u"12:60:00", -1},
      {u"25:61:00", -1},  {u"12:09:01", -1}, {u"12:09:10", -1},   {u"1:09:00", -1},    {u"12:09", -1},
      {u"", -1},          {u"ab:cd:00", -1}, {u"12-09-00", -1},   {u"１２:09:00", -1},
  };
  for (const Case& c : cases) {
    const QString hour = QString::fromUtf16(c.hour);
    Exec(db_, "DELETE FROM t", {}, Doing::Write);
    Statement insert(db_, QStringLiteral("INSERT INTO t VALUES (?)"), {});
    ClosingHour(insert, hour);
    insert.Run();
    Rows read(db_, "SELECT v FROM t", {});
    ASSERT_TRUE(read.next());
    if (c.minutes >= 0) {
      EXPECT_EQ(read.Type(0), SQLITE_INTEGER) << hour.toStdString();
      EXPECT_EQ(read.Int(0), c.minutes) << hour.toStdString();
    } else {
      EXPECT_EQ(read.Type(0), SQLITE_TEXT) << hour.toStdString();
    }
    EXPECT_EQ(ClosingHour(read, 0), hour);
  }
}

// A number is kept as its value only in its plain decimal form, the form whose value also keys
// the racers' names; every other text comes back as it was written.
TEST_F(Memory, NumbersComeBackAsWritten) {
  struct Case {
    const char16_t* number;
    std::int64_t value;  // -1: kept as the text
  };
  const Case cases[] = {
      {u"4593", 4593},     {u"0", 0},      {u"7", 7},    {u"999999999", 999999999},
      {u"1000000000", -1}, {u"04593", -1}, {u"00", -1},  {u" 45", -1},
      {u"45 ", -1},        {u"", -1},      {u"-1", -1},  {u"+1", -1},
      {u"４５９３", -1},   {u"45a", -1},   {u"4.5", -1},
  };
  // As the history's tables keep them: a STRICT table keeps a text of digits as a text.
  Exec(db_, "CREATE TABLE n(v ANY) STRICT", {}, Doing::Write);
  for (const Case& c : cases) {
    const QString number = QString::fromUtf16(c.number);
    SCOPED_TRACE(number.toStdString());
    const auto value = codec::PlainValue(number);
    EXPECT_EQ(value.value_or(-1), c.value);
    Exec(db_, "DELETE FROM n", {}, Doing::Write);
    Statement insert(db_, QStringLiteral("INSERT INTO n VALUES (?)"), {});
    codec::Number(insert, number);
    insert.Run();
    Rows read(db_, "SELECT v FROM n", {});
    ASSERT_TRUE(read.next());
    EXPECT_EQ(read.Type(0), c.value >= 0 ? SQLITE_INTEGER : SQLITE_TEXT);
    EXPECT_EQ(codec::Number(read, 0), number);
  }
}

// A text is bound as UTF-8 from the statement's own buffer: every character back as it was,
// each place of a row its own text, and a lone surrogate (no UTF-8 form) as U+FFFD.
TEST_F(Memory, TextsComeBackAsBound) {
  struct Case {
    QString text, back;
  };
  const QString lone = QString(QChar(0xD800)) + u'a';
  const QString end = QStringLiteral("a") + QChar(0xDBFF);
  const QString low = QString(QChar(0xDC00));
  const Case cases[] = {
      {QString(), QString()},
      {QStringLiteral(""), QString()},
      {QStringLiteral("A1 -."), QStringLiteral("A1 -.")},
      {QStringLiteral("峰竜太"), QStringLiteral("峰竜太")},
      {QStringLiteral("ﾐﾈ ﾘｭｳﾀ"), QStringLiteral("ﾐﾈ ﾘｭｳﾀ")},
      {QStringLiteral("é\u00A0ß~\u007F\u0080\u07FF\u0800\uFFFF"),
       QStringLiteral("é\u00A0ß~\u007F\u0080\u07FF\u0800\uFFFF")},
      {QStringLiteral("𩸽と🚤"), QStringLiteral("𩸽と🚤")},
      {QString(QChar(0)) + u'x', QString(QChar(0)) + u'x'},
      {lone, QStringLiteral("\uFFFDa")},
      {end, QStringLiteral("a\uFFFD")},
      {low, QStringLiteral("\uFFFD")},
  };
  Exec(db_, "CREATE TABLE p(a TEXT, b TEXT, c TEXT) STRICT", {}, Doing::Write);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    std::string utf8;
    Utf8Into(c.text, utf8);
    EXPECT_EQ(QByteArray::fromStdString(utf8), c.back.toUtf8());
    Exec(db_, "DELETE FROM p", {}, Doing::Write);
    // A statement's first row: the texts bound at its first places stay where they were bound
    // while the later places are bound.
    Statement insert(db_, QStringLiteral("INSERT INTO p VALUES (?, ?, ?)"), {});
    (insert << QStringLiteral("s") << c.text << QStringLiteral("t")).Run();
    // A longer text bound before at the same place leaves nothing of itself behind.
    (insert << QStringLiteral("a longer text than the others, bound first") << c.text << QStringLiteral("x")).Run();
    (insert << c.text << QStringLiteral("y") << c.text).Run();
    Rows read(db_, "SELECT a, b, c FROM p ORDER BY rowid", {});
    ASSERT_TRUE(read.next());
    EXPECT_EQ(read.Text(0), QStringLiteral("s"));
    EXPECT_EQ(read.Text(1), c.back);
    EXPECT_EQ(read.Text(2), QStringLiteral("t"));
    ASSERT_TRUE(read.next());
    EXPECT_EQ(read.Text(1), c.back);
    EXPECT_EQ(read.Text(2), QStringLiteral("x"));
    ASSERT_TRUE(read.next());
    EXPECT_EQ(read.Text(0), c.back);
    EXPECT_EQ(read.Text(1), QStringLiteral("y"));
    EXPECT_EQ(read.Text(2), c.back);
    EXPECT_FALSE(read.Null(0));
  }
}

// A race's payouts packed and unpacked: every field back, the text in its one form.
TEST(RirekiRows, PayoutsPackAndComeBack) {
  using H = cKekkaFile::Haraimodosi;
  struct Case {
    std::vector<std::pair<int, H>> payouts;  // bet kind, payout
    const char16_t* packed;
  };
  const Case cases[] = {
      {{}, u""},
      {{{0, H{QStringLiteral("1"), 130, 1, false}}}, u"0\t1\t130\t1"},
      {{{0, H{QStringLiteral("3"), 2140, 0, false}}}, u"0\t3\t2140"},
      {{{6, H{QStringLiteral("1-2-3"), 1234567, 12, false}}, {6, H{QStringLiteral("1-3-2"), 2147483647, 32767, false}}},
       u"6\t1-2-3\t1234567\t12\n6\t1-3-2\t2147483647\t32767"},
      {{{2, H{QString(), 70, 0, true}}}, u"2\t\t70\t0\t1"},
      {{{1, H{QStringLiteral("a\tb\nc\\"), -5, -3, true}}}, u"1\ta\\tb\\nc\\\\\t-5\t-3\t1"},
      {{{0, H{QStringLiteral("１"), 100, 2, false}}, {3, H{QStringLiteral("2=4"), 0, 0, false}}},
       u"0\t１\t100\t2\n3\t2=4\t0"},
  };
  for (const Case& c : cases) {
    cKekkaFile::Race race;
    for (const auto& [kind, h] : c.payouts) race.payouts[kind].push_back(h);
    const QString packed = PackPayouts(race);
    EXPECT_EQ(packed, QString::fromUtf16(c.packed));
    cKekkaFile::Race back;
    if (!packed.isEmpty()) UnpackPayouts(packed, back, QStringLiteral("test"));  // none is kept as NULL
    for (int k = 0; k < kKakesikiCount; ++k) {
      ASSERT_EQ(back.payouts[k].size(), race.payouts[k].size()) << packed.toStdString();
      for (std::size_t i = 0; i < race.payouts[k].size(); ++i) {
        const H &a = race.payouts[k][i], &b = back.payouts[k][i];
        EXPECT_EQ(a.Kumiban, b.Kumiban);
        EXPECT_EQ(a.Kingaku, b.Kingaku);
        EXPECT_EQ(a.Ninki, b.Ninki);
        EXPECT_EQ(a.Tokubarai, b.Tokubarai);
      }
    }
  }
}

}  // namespace
