// The programme read as a whole day, from bytes: the text as downloaded and the store's kept lines
// read alike, a block with no race is a card with its notice, and every real day of the shared
// year reads.

#include "data/ArchiveMember.h"
#include "data/cBangumiFile.h"

#include "platform/RuntimeError.h"
#include "platform/SjisText.h"
#include "tests/common/SampleFiles.h"
#include "tests/common/TestDoubles.h"
#include "tests/data/ProgrammeText.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace tidewake;
using namespace tidewake::test;

namespace {

QString S(const char16_t* s) { return QString::fromUtf16(s); }

const QString kWait = S(u"この場のデータ更新は、いましばらくお待ちください。");

QStringList OneRace(int race = 1) { return QStringList{RaceHeader(race)} + SixEntrants(4000 + 10 * race); }

// A block as the official file gives one that has no race yet.
QString WaitingBlock(const QString& code) {
  return code + S(u"BBGN\nボートレース戸　田   　１月　１日  戸田杯  第　１日\n") + kWait + u'\n' + code + S(u"BEND\n");
}

// The day as downloaded: headings, captions and separators around the blocks.
QString Downloaded(const QString& blocks) {
  QString out = S(u"STARTB\n");
  for (const QString& line : blocks.split(u'\n')) {
    out += line + u'\n';
    if (line.endsWith(u"BBGN")) out += S(u"\n                            ＊＊＊　番組表　＊＊＊\n");
    if (line.contains(u"電話投票")) out += S(u"-------\n艇 選手\n番 登番\n-------\n");
  }
  return out + S(u"FINALB\n");
}

// What a test checks of a card: code, races, the notice, the title.
std::string Summary(const cBangumiFile::Card& c) {
  return QStringLiteral("%1 %2R [%3] %4").arg(c.KyoteijyoCode).arg(c.RaceNumbers).arg(c.Notice, c.Title).toStdString();
}

std::vector<std::string> Summaries(const QString& text) {
  std::vector<std::string> out;
  for (const auto& c : cBangumiFile::ReadDay(SjisLines(text))) out.push_back(Summary(c));
  return out;
}

}  // namespace

TEST(cBangumiFileReadDay, BlocksInFileOrderWithTheirNotices) {
  const QString two = Block(QStringLiteral("24"), 1, {OneRace(1), OneRace(2)}, QStringLiteral("A"));
  const QString one = Block(QStringLiteral("06"), 2, {OneRace()}, QStringLiteral("B"));
  QString unended = Block(QStringLiteral("07"), 1, {OneRace()}, QStringLiteral("C"));
  unended.remove(QStringLiteral("07BEND\n"));
  const struct {
    const char* what;
    QString text;
    std::vector<std::string> cards;
  } cases[] = {
      {"two venues", two + one, {"24 2R [] A  第　１日", "06 1R [] B  第　２日"}},
      {"a block waiting for its races",
       two + WaitingBlock(QStringLiteral("02")),
       {"24 2R [] A  第　１日", "02 0R [" + kWait.toStdString() + "] 戸田杯  第　１日"}},
      {"a waiting block with its date line keeps the long title out of the notice",
       Block(QStringLiteral("03"), 1, {}, QStringLiteral("D"))
           .replace(QStringLiteral("03BEND"), kWait + QStringLiteral("\n03BEND")),
       {"03 0R [" + kWait.toStdString() + "] D  第　１日"}},
      {"a block without its end ends at the next block",
       unended + one,
       {"07 1R [] C  第　１日", "06 1R [] B  第　２日"}},
      {"nothing but headings", S(u"STARTB\nFINALB\n"), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Summaries(c.text), c.cards);
    EXPECT_EQ(Summaries(Downloaded(c.text)), c.cards);  // the day as downloaded reads alike
  }
}

TEST(cBangumiFileReadDay, TheCardsEqualWhatFileLoadLoads) {
  TempAppFolder folder;
  const QString text = Block(QStringLiteral("24"), 3, {OneRace(1), OneRace(2)}) + WaitingBlock(QStringLiteral("02"));
  WriteBytes(folder.file(QStringLiteral("BANGUMI.BRF")), SjisLines(text));
  for (const cBangumiFile::Card& card : cBangumiFile::ReadDay(SjisLines(text))) {
    cBangumiFile store;
    QString name;
    ASSERT_TRUE(store.FileLoad(card.KyoteijyoCode, name));
    const cBangumiFile read(card);
    EXPECT_EQ(store.RaceNumbers(), read.RaceNumbers());
    EXPECT_EQ(store.card().Notice, card.Notice);
    EXPECT_EQ(store.ParticipationSensyuNoAllGet(), read.ParticipationSensyuNoAllGet());
    for (std::int16_t r = 1; r <= read.RaceNumbers(); ++r) {
      for (std::int16_t b = 1; b <= 6; ++b) {
        EXPECT_EQ(store.Tansyoritu(r, b), read.Tansyoritu(r, b));
        EXPECT_EQ(store.TokutenrituOrder(r, b), read.TokutenrituOrder(r, b));
      }
    }
  }
}

TEST(cBangumiFileReadDay, AWaitingBlockIsListedAndLoadsWithNoRaceAndNoBox) {
  TempAppFolder folder;
  RecordingMessageBox boxes;
  WriteBytes(folder.file(QStringLiteral("BANGUMI.BRF")),
             SjisLines(Block(QStringLiteral("24"), 1, {OneRace()}) + WaitingBlock(QStringLiteral("02"))));
  cBangumiFile bangumi;
  KyoteijyoTable table;
  QString name;
  ASSERT_TRUE(bangumi.KaisaiCheck(table, name));
  EXPECT_EQ(table[2], S(u"戸田杯  第　１日"));
  ASSERT_TRUE(bangumi.FileLoad(QStringLiteral("02"), name));
  EXPECT_EQ(bangumi.RaceNumbers(), 0);
  EXPECT_EQ(bangumi.ParticipationNumbers(), 0);
  EXPECT_EQ(bangumi.card().Notice, kWait);
  EXPECT_TRUE(boxes.boxes().empty());
}

// Every programme of the shared year reads as a day, as downloaded and as kept, with every listed
// venue's card loadable; blocks with no race carry the official notice.
TEST(cBangumiFileReadDay, EveryProgrammeOfTheSharedYear) {
  TIDEWAKE_SAMPLE_OR_SKIP(year, QStringLiteral("year"));
  const QStringList names = QDir(year).entryList({QStringLiteral("b*.lzh")}, QDir::Files, QDir::Name);
  ASSERT_EQ(names.size(), 365);
  int venues = 0, races = 0, waiting = 0;
  for (const QString& name : names) {
    SCOPED_TRACE(name.toStdString());
    const ArchiveMember member = ArchiveMemberRead(year + u'/' + name, ArchiveKind::Programme);
    std::vector<cBangumiFile::Card> cards;
    try {
      cards = cBangumiFile::ReadDay(member.bytes);
    } catch (const RuntimeError& e) {
      FAIL() << e.reportText().toStdString();
    }
    ASSERT_FALSE(cards.empty());
    const QString date = QStringLiteral("20%1/%2/%3").arg(name.mid(1, 2), name.mid(3, 2), name.mid(5, 2));
    for (const auto& c : cards) {
      ++venues;
      races += c.RaceNumbers;
      if (c.RaceNumbers == 0) {
        ++waiting;
        EXPECT_EQ(c.Notice, kWait) << c.KyoteijyoCode.toStdString();
      } else {
        EXPECT_EQ(c.RaceDate, date) << c.KyoteijyoCode.toStdString();
        EXPECT_TRUE(c.Notice.isEmpty());
      }
    }
  }
  std::cout << "programmes " << names.size() << ", venues " << venues << ", races " << races << ", blocks with no race "
            << waiting << "\n";
  EXPECT_GT(waiting, 0);
}

// Every real programme of both shared folders is taken by a conversion's check, which reads the
// entrants from their bytes, and read as a day. A build with assertions also reads every line of
// both from its decoded text and requires the same kinds, fields and points, bit for bit. The
// sanitizer build takes every tenth day (all of them cost it minutes).
TEST(cBangumiFileReadDay, EveryRealProgrammeReadsAsALoadAndAsACheck) {
#if defined(__SANITIZE_ADDRESS__)
  constexpr int kStep = 10;
#else
  constexpr int kStep = 1;
#endif
  for (const char* folder : {"year", "earlier"}) {
    TIDEWAKE_SAMPLE_OR_SKIP(path, QString::fromLatin1(folder));
    const QStringList names = QDir(path).entryList({QStringLiteral("b*.lzh")}, QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 365) << folder;
    for (qsizetype i = 0; i < names.size(); i += kStep) {
      const QString& name = names[i];
      SCOPED_TRACE(name.toStdString());
      const ArchiveMember member = ArchiveMemberRead(path + u'/' + name, ArchiveKind::Programme);
      try {
        const QByteArray store = cBangumiFile::StoreBytes(member.bytes, name);
        EXPECT_TRUE(store.endsWith("\r\n"));
        EXPECT_FALSE(cBangumiFile::ReadDay(store).empty());
      } catch (const RuntimeError& e) {
        FAIL() << e.reportText().toStdString();
      }
    }
  }
}
