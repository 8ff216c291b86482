// What the card says in words: its columns and rows, the demo race, the race line, the status
// line, a boat's tooltip and the copied card.

#include "session/DaySession.h"

#include "data/mSensyuStore.h"
#include "history/cRirekiDb.h"
#include "platform/Format.h"
#include "platform/LineReader.h"
#include "platform/RuntimeError.h"
#include "platform/TextUtil.h"
#include "platform/mMyFunc.h"
#include "sim/mMain.h"

#include <QLocale>

#include <cmath>
#include <QRegularExpression>

namespace tidewake {

namespace {

struct Header {
  const char16_t* format;  // as the format string gives it, with its alignment
  const char16_t* second;  // the second line, when it has one
};
// The headers are spaced out to their columns' widths: the widths follow from them.
constexpr Header kHeaders[kCardColumns] = {
    {u"^艇番", u""},      {u"^選手登番", u""},
    {u"選  手  名", u""}, {u"^年齢", u""},
    {u"出身", u""},       {u"^体重", u""},
    {u"^級別", u""},      {u"勝 率", u""},
    {u"２連率", u""},     {u"モNo", u""},
    {u"２連率", u""},     {u"ボNo", u""},
    {u"２連率", u""},     {u"<成　　　　績", u"１２３４５６"},
    {u"^進入", u""},      {u"^予想", u"1着%"},
};

// "20251101" as "2025/11/01"; any other text as it is.
QString DateText(const QString& ymd) {
  return ymd.size() == 8 ? QStringLiteral("%1/%2/%3").arg(ymd.left(4), ymd.mid(4, 2), ymd.mid(6, 2)) : ymd;
}

// A venue's name in the tooltip's table, always three characters wide ("津　　").
QString VenueCell(const QString& name) {
  QString s = QString(name).remove(u'　').remove(u' ');
  while (s.size() < 3) s += u'　';
  return s;
}

}  // namespace

QString CardFormatString() {
  QStringList parts;
  for (const Header& h : kHeaders) parts << QString::fromUtf16(h.format);
  return parts.join(u'|');
}

QString CardHeaderSecondLine(CardColumn c) { return QString::fromUtf16(kHeaders[Col(c)].second); }

QString CardHeaderWords(CardColumn c) {
  QString words = QString::fromUtf16(kHeaders[Col(c)].format) + CardHeaderSecondLine(c);
  if (c == CardColumn::Seiseki) words = QString::fromUtf16(kHeaders[Col(c)].format);
  return words.remove(u'^').remove(u'<').remove(u' ').remove(u'　');
}

QString WinChanceExplanation() {
  return QStringLiteral(
      "予想1着%: この艇が1着になる確率の予想（%）。\n"
      "番組の勝率・２連率・モーター・ボートなど、出走表の進入（手で変えた進入も）、\n"
      "履歴にある最近の成績から、勝率のモデルで計算します。6艇の合計は100%です。\n"
      "各艇の欄にポインタを置くと、単勝の分岐オッズ（1 ÷ 確率）を表示します。");
}

QString BreakEvenExplanation() {
  return QStringLiteral(
      "分岐オッズ: 1 ÷ 確率。掲示板のオッズがこれより高い買い目は、この予想どおりなら\n"
      "払戻の平均が賭け金を上回ります（低ければ下回ります）。");
}

// The built-in demo race: race 12 of a meeting at 住之江, its racers of our own invention.
cBangumiFile::Card DemoCard() {
  struct Demo {
    const char16_t *no, *name;
    std::int16_t age;
    const char16_t* home;
    std::int16_t weight;
    const char16_t* cls;
    float rate, rate2;
    const char16_t* motor;
    float motor2;
    const char16_t* boat;
    float boat2;
    const char16_t* results;
  };
  static const Demo demo[6] = {
      {u"4320", u"潮見　大和", 41, u"千葉", 47, u"A1", 9.27f, 67.30f, u"39", 49.67f, u"14", 41.22f, u"１１１１１１"},
      {u"4188", u"波田　健吾", 43, u"徳島", 50, u"A1", 8.92f, 55.00f, u"34", 46.34f, u"53", 39.84f, u"１１１１１３２"},
      {u"4602", u"湊　　翔太", 32, u"大阪", 51, u"A1", 9.53f, 66.67f, u"27", 39.06f, u"36", 39.20f, u"１２１１１１"},
      {u"4850", u"岬　　拓海", 29, u"山口", 49, u"A1", 9.15f, 61.40f, u"76", 47.83f, u"13", 43.75f, u"６１１２２１"},
      {u"4577", u"浦上　亮介", 33, u"福岡", 52, u"A1", 8.99f, 62.48f, u"75", 43.20f, u"25", 42.86f, u"３３１１１１"},
      {u"4861", u"汐田　悠真", 29, u"群馬", 50, u"A1", 8.91f, 66.12f, u"23", 46.83f, u"79", 39.67f, u"２１２１２１"},
  };
  cBangumiFile::Card card;
  card.KyoteijyoCode = QStringLiteral("12");
  card.Title = card.TitleLong = QStringLiteral("ＳＧ　第１回オールスター BOAT RACE");
  card.RaceNumbers = 12;
  cBangumiFile::Race& race = card.races[11];
  for (std::size_t b = 0; b < 6; ++b) {
    const Demo& d = demo[b];
    cBangumiFile::Entrant& e = race.boats[b];
    e.SensyuNo = QString::fromUtf16(d.no);
    e.SensyuName = QString::fromUtf16(d.name);
    e.SensyuAge = d.age;
    e.SensyuBirthplace = QString::fromUtf16(d.home);
    e.SensyuWeight = d.weight;
    e.SensyuClass = QString::fromUtf16(d.cls);
    e.SensyuZenkokuSyoritu = d.rate;
    e.SensyuZenkokuFSyoritu = d.rate2;
    e.MotorNo = QString::fromUtf16(d.motor);
    e.MotorFSyoritu = d.motor2;
    e.BoatNo = QString::fromUtf16(d.boat);
    e.BoatFSyoritu = d.boat2;
    e.Seiseki = QString::fromUtf16(d.results);
  }
  return card;
}

QString RaceLine(const cBangumiFile& card, std::int16_t intRaceNo, const QString& strOutcome) {
  QStringList parts{QStringLiteral("%1R").arg(intRaceNo)};
  // The header: "７Ｒ  予　選　　　 進入固定 Ｈ１８００ｍ  電話投票締切予定２０：２６". The name is
  // spaced out to a fixed width; the marker of a fixed entry stands after it as a word.
  static const QRegularExpression header(QStringLiteral(u"^[\\s\u3000]*[０-９0-9]+[ＲR](.*?)[ＨH]([０-９0-9]+)[ｍm]"));
  const QRegularExpressionMatch m = header.match(card.RaceTitle(intRaceNo));
  if (m.hasMatch()) {
    static const QRegularExpression blanks(QStringLiteral(u"[\\s\u3000]+"));
    QStringList words = m.captured(1).split(blanks, Qt::SkipEmptyParts);
    if (!words.isEmpty() && words.last() == u"進入固定") words.removeLast();
    if (!words.isEmpty()) parts << words.join(QString());
    parts << Narrow(m.captured(2)) + u'm';
  }
  // Once the race is over its closing time says nothing: what became of it stands there instead.
  const QString closing = card.ClosingHour(intRaceNo);
  if (!closing.isEmpty() && strOutcome.isEmpty()) parts << QStringLiteral("締切予定 ") + closing.left(5);
  if (card.TotalDay() > 0) parts << QStringLiteral("第%1日").arg(Widen(QString::number(card.TotalDay())));
  if (card.CourseFix(intRaceNo)) parts << QStringLiteral("進入固定");
  if (!strOutcome.isEmpty()) parts << strOutcome;
  return parts.join(u' ');
}

QString DaySession::RaceLine() const {
  if (mState != CardState::Race) return QString();
  // Once the results are in, a race they call off or declare void says so where a fan looks.
  QString outcome;
  if (mResults == ResultsState::ThisDay) {
    const RaceStatus status = mKekka.Status(mRaceNo);
    if (status == RaceStatus::Cancelled) outcome = QStringLiteral("中止");
    if (status == RaceStatus::Void) outcome = QStringLiteral("不成立");
  }
  QString line = tidewake::RaceLine(mBangumi, mRaceNo, outcome);
  // The card's courses and chances are those after the exhibition.
  if (HasExhibition()) line += QStringLiteral(" 直前");
  return line;
}

const std::optional<DaySession::HandbookInfo>& DaySession::Handbook() {
  if (mHandbook) return *mHandbook;
  mHandbook.emplace();
  const QString path = AppFilePath(QStringLiteral("SENSYU.BRF"));
  if (!FileExists(path)) return *mHandbook;
  // Read once; a store that is no handbook says so when a venue asks for its racers, here it is
  // only absent.
  try {
    const QByteArray bytes = ChosenFileRead(path);
    if (!SensyuBytesProblem(bytes).isEmpty()) return *mHandbook;
    QStringList everyone;
    const cSensyuFile all = cSensyuFile::Read(bytes, everyone);
    HandbookInfo info;
    info.racers = static_cast<int>(everyone.size()) - 1;
    info.period = all.GetSensyuFileVersion().trimmed();
    if (!all.YmdStart().isEmpty()) {
      info.period += QStringLiteral("（%1～%2）").arg(DateText(all.YmdStart()), DateText(all.YmdEnd()));
    }
    mHandbook->emplace(info);
  } catch (const RuntimeError&) {
  }
  return *mHandbook;
}

QString DaySession::StatusText() {
  // What the card's courses and chances come from, first: the line is cut at the card's width.
  const QString chokuzen = HasExhibition() ? QStringLiteral("直前　") : QString();
  // What decides the courses: 履歴 needs no handbook; the others show 枠なり without one.
  QString predictor = QStringLiteral("進入予想: ") + EntryPredictorName(mPredictor);
  if (mPredictor == EntryPredictor::History) predictor += QStringLiteral("（各選手の最近の進入から）");
  const std::optional<HandbookInfo>& handbook = Handbook();
  if (!handbook) {
    return chokuzen + QStringLiteral("ファン手帳: 未登録") +
           (mPredictor == EntryPredictor::History ? QString() : QStringLiteral("（進入は枠なり）")) +
           QStringLiteral("　") + predictor;
  }
  const QLocale number(QLocale::Japanese, QLocale::Japan);
  return chokuzen + QStringLiteral("ファン手帳: %1 %2 人　").arg(handbook->period, number.toString(handbook->racers)) +
         predictor;
}

CardRow DaySession::Row(int boat) const {
  CardRow row;
  row[CardColumn::Waku] = QString::number(boat);
  if ((mState != CardState::Race && mState != CardState::Demo) || boat < 1 || boat > 6) return row;
  const cBangumiFile::Entrant& e = mBangumi.card().races[static_cast<std::size_t>(mRaceNo - 1)].boats[boat - 1];
  row[CardColumn::SensyuNo] = e.SensyuNo;
  row[CardColumn::SensyuName] = e.SensyuName;
  row[CardColumn::SensyuAge] = QString::number(e.SensyuAge);
  row[CardColumn::SensyuBirthplace] = e.SensyuBirthplace;
  row[CardColumn::SensyuWeight] = QString::number(e.SensyuWeight);
  row[CardColumn::SensyuClass] = e.SensyuClass;
  row[CardColumn::ZenkokuSyoritu] = FormatNumber(e.SensyuZenkokuSyoritu, u"0.00");
  row[CardColumn::ZenkokuFSyoritu] = FormatNumber(e.SensyuZenkokuFSyoritu, u"0.00");
  row[CardColumn::MotorNo] = e.MotorNo;
  row[CardColumn::MotorFSyoritu] = FormatNumber(e.MotorFSyoritu, u"0.00");
  row[CardColumn::BoatNo] = e.BoatNo;
  row[CardColumn::BoatFSyoritu] = FormatNumber(e.BoatFSyoritu, u"0.00");
  row[CardColumn::Seiseki] = e.Seiseki;
  row[CardColumn::Course] = QString::number(mCourses.Course(boat));
  if (mChances) row[CardColumn::WinChance] = mWinCard::PercentText(mChances->Win[static_cast<std::size_t>(boat - 1)]);
  return row;
}

QString DaySession::BreakEvenTip(int boat) const {
  if (!mChances || boat < 1 || boat > 6 || (mState != CardState::Race && mState != CardState::Demo)) return {};
  const double chance = mChances->Win[static_cast<std::size_t>(boat - 1)];
  const double breakEven = mWinCard::BreakEvenOdds(chance);
  const QString odds = mWinCard::OddsText(breakEven);
  if (!std::isfinite(breakEven)) return QStringLiteral("%1号艇 予想1着 0%: 単勝はこの予想では当たりません。").arg(boat);
  return QStringLiteral(
             "%1号艇 単勝の分岐オッズ %2（予想1着 %3%）\n"
             "掲示板の単勝オッズが %2 より高ければ、この予想どおりなら払戻の平均が賭け金を上回ります。")
      .arg(boat)
      .arg(odds, mWinCard::PercentText(chance));
}

QString BoatTip::Text() const {
  QStringList lines{title};
  lines << reasons;
  if (!recentTitle.isEmpty()) lines << recentTitle;
  for (const QStringList& r : recent) lines << r.join(u' ');
  return lines.join(u'\n');
}

BoatTip DaySession::Tip(int boat) {
  BoatTip tip;
  if (mState != CardState::Race || boat < 1 || boat > 6) return tip;
  tip.title = QStringLiteral("%1号艇 %2")
                  .arg(boat)
                  .arg(mBangumi.SensyuName(mRaceNo, static_cast<std::int16_t>(boat)).trimmed());
  // The reasons of the prediction the card shows, kept with it: never another race's. A course set
  // by hand says so beside what the prediction gave.
  const std::optional<mWinFeatures::Exhibition> exhibition = Exhibition();
  if (mPrediction) {
    tip.reasons << mPrediction->reasons.value(boat - 1);
    const std::int16_t predicted = mPrediction->Course(boat);
    if (!exhibition && predicted != mCourses.Course(boat)) {
      tip.reasons
          << QStringLiteral("進入: %1コース（手で変更。予想は %2コース）").arg(mCourses.Course(boat)).arg(predicted);
    }
    if (mBangumi.CourseFix(mRaceNo)) tip.reasons << QStringLiteral("進入固定");
  } else if (!exhibition && !mCourses.IsWakunari() && mCourses.Course(boat) != boat) {
    tip.reasons << QStringLiteral("進入: %1コース（手で変更）").arg(mCourses.Course(boat));
  }
  if (exhibition) {
    const float time = exhibition->Times[static_cast<std::size_t>(boat - 1)];
    QString line = QStringLiteral("直前: 展示タイム %1　展示の進入 %2コース")
                       .arg(time > 0 ? FormatNumber(time, u"0.00") : QStringLiteral("不明"))
                       .arg(mCourses.Course(boat));
    if (mPrediction && mPrediction->Course(boat) != mCourses.Course(boat)) {
      line += QStringLiteral("（予想は %1コース）").arg(mPrediction->Course(boat));
    }
    tip.reasons << line;
  }
  // Nothing to say of a boat without reasons or a history.
  const auto nothing = [&tip] {
    if (tip.reasons.isEmpty() && tip.recentTitle.isEmpty()) tip = {};
    return tip;
  };
  cRirekiDb* db = History(HistoryUse::Quiet);
  const QString sensyuNo = mBangumi.SensyuNo(mRaceNo, static_cast<std::int16_t>(boat)).trimmed();
  const QDate day = mWinCard::CardDate(mBangumi.card());
  if (!db || sensyuNo.isEmpty() || !day.isValid()) return nothing();
  std::vector<RecentRace> races;
  try {
    races = db->RecentRaces(sensyuNo, day, 6);
  } catch (const RuntimeError&) {
    return nothing();
  }
  if (races.empty()) {
    tip.recentTitle = QStringLiteral("（履歴なし）");
    return tip;
  }
  tip.recentTitle = QStringLiteral("最近の%1走:").arg(races.size());
  // A record that stops long before the card's day says how long: its races tell little of now.
  const qint64 age = races.front().date.daysTo(day);
  if (age > 60) tip.recentTitle += QStringLiteral("（最新は %1 日前）").arg(age);
  for (const RecentRace& r : races) {
    QString start = QStringLiteral("ST －");
    if (r.StartTimingExists) {
      start = QStringLiteral("ST ") +
              (r.StartFlying ? QStringLiteral("F")
               : r.StartLate ? QStringLiteral("L")
                             : QString()) +
              FormatNumber(r.StartTiming, u".00");
    } else if (r.StartLate) {
      start = QStringLiteral("ST L");
    }
    const std::int16_t code = static_cast<std::int16_t>(r.KyoteijyoCode.toInt());
    const QString venue = JyoNameGet(code).isEmpty() ? r.KyoteijyoName : JyoNameGet(code);
    tip.recent.push_back({r.date.toString(QStringLiteral("yyyy/MM/dd")), VenueCell(venue),
                          QStringLiteral("%1R").arg(r.RaceNo, 2),
                          r.Course > 0 ? QStringLiteral("%1コース").arg(r.Course) : QStringLiteral("－コース"), start,
                          r.TyakujyunNo > 0 ? QStringLiteral("%1着").arg(r.TyakujyunNo) : r.Tyakujyun});
  }
  return tip;
}

QString DaySession::CopyText() const {
  QString first = JyoNameGet(mVenue);
  if (mState == CardState::Race) {
    first += u' ' + FormatDate(mBangumi.RaceDate(), u"yyyy/m/d") + u' ' + RaceLine();
  } else if (mRaceNo > 0) {
    first += QStringLiteral(" %1R").arg(mRaceNo);
  }
  QStringList lines{first};
  QStringList header;
  for (int c = 0; c < kCardColumns; ++c) header << CardHeaderWords(static_cast<CardColumn>(c));
  lines << header.join(u'\t');
  for (int boat = 1; boat <= 6; ++boat) {
    QStringList cells;
    for (const QString& cell : Row(boat).cells) cells << QString(cell).trimmed().remove(u'\t');
    lines << cells.join(u'\t');
  }
  return lines.join(u'\n') + u'\n';
}

}  // namespace tidewake
