// How well the entry-course predictions do on real days: for each triple of programme, fan
// handbook and results given on the command line (or, with no arguments, the two days under
// ../shared/data), the share of boats put in the course they really entered and the share of
// races whose whole entry was right, over all races and over the races that did not enter 枠なり,
// for the program's rule set, the statistical predictor and 枠なり. Prints Markdown tables.
//
//   EntryEval B/b200315.txt F/fan2004.txt K/k200315.txt  B/b240101.txt F/fan2604.txt K/k240101.txt

#include "predict/mEntryEval.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace {

using namespace tidewake;
using mEntryEval::DayFiles;
using mEntryEval::DayResult;
using mEntryEval::PredictorTally;
using mEntryScore::EntryTally;

QString Percent(std::int32_t part, std::int32_t whole) {
  if (whole == 0) return QStringLiteral("-");
  return QString::number(100.0 * part / whole, 'f', 1) + QStringLiteral(" %");
}

QString Count(std::int32_t part, std::int32_t whole) { return QStringLiteral("%1/%2").arg(part).arg(whole); }

void Print(const QString& text) { std::fputs(text.toUtf8().constData(), stdout); }

void Row(const QString& name, const PredictorTally& t) {
  const EntryTally& a = t.All;
  const EntryTally& n = t.NotWakunari;
  Print(QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 (%9) | %10 (%11) |\n")
            .arg(name)
            .arg(a.Races)
            .arg(Percent(a.BoatsRight, a.Boats), Percent(a.WholeRight, a.Races))
            .arg(n.Races)
            .arg(Percent(n.BoatsRight, n.Boats), Percent(n.WholeRight, n.Races))
            .arg(Count(a.MovedBoatsRight, a.MovedBoats), Percent(a.MovedBoatsRight, a.MovedBoats))
            .arg(Count(a.MovedRacesRight, a.MovedRaces), Percent(a.MovedRacesRight, a.MovedRaces)));
}

void Table(const QString& title, const DayResult& r) {
  Print(QStringLiteral(
            "\n%1: %2 venues, %3 races scored, %4 not 枠なり, %5 races skipped (no result or other racers)\n\n")
            .arg(title)
            .arg(r.Venues)
            .arg(r.Wakunari.All.Races)
            .arg(r.Wakunari.NotWakunari.Races)
            .arg(r.RacesSkipped));
  Print(QStringLiteral(
      "| predictor | races | boats right | whole entry right | races not 枠なり | boats right there | whole entry "
      "right there | moved boats right | races with a move right |\n"
      "|---|---:|---:|---:|---:|---:|---:|---:|---:|\n"));
  Row(QStringLiteral("mCourseExpect (標準)"), r.Module);
  Row(QStringLiteral("mCourseStat (統計)"), r.Stat);
  Row(QStringLiteral("枠なり"), r.Wakunari);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<DayFiles> days;
  if (argc == 1) {
    const QString d = QStringLiteral(TIDEWAKE_SHARED_DATA "/");
    days.push_back({d + "B/b200315.txt", d + "F/fan2004.txt", d + "K/k200315.txt"});
    days.push_back({d + "B/b240101.txt", d + "F/fan2604.txt", d + "K/k240101.txt"});
  } else if ((argc - 1) % 3 == 0) {
    for (int i = 1; i + 2 < argc; i += 3) {
      days.push_back(
          {QString::fromLocal8Bit(argv[i]), QString::fromLocal8Bit(argv[i + 1]), QString::fromLocal8Bit(argv[i + 2])});
    }
  } else {
    std::fputs(
        "usage: EntryEval [programme handbook results]...\n"
        "  each day as three files: B*.TXT, F*.TXT (current layout), K*.TXT of the same day\n",
        stderr);
    return 2;
  }

  DayResult total;
  for (const DayFiles& day : days) {
    for (const QString& f : {day.Programme, day.Handbook, day.Results}) {
      if (!QFileInfo::exists(f)) {
        std::fprintf(stderr, "not found: %s\n", f.toLocal8Bit().constData());
        return 1;
      }
    }
    DayResult r;
    QString error;
    if (!mEntryEval::EvaluateDay(day, r, error)) {
      std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
      return 1;
    }
    Table(QStringLiteral("%1 + %2 + %3")
              .arg(QFileInfo(day.Programme).fileName(), QFileInfo(day.Handbook).fileName(),
                   QFileInfo(day.Results).fileName()),
          r);
    total += r;
  }
  if (days.size() > 1) Table(QStringLiteral("All %1 days").arg(days.size()), total);
  return 0;
}
