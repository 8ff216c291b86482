// tidewake-history: the history database from a terminal.
//
//   tidewake-history [--database FILE] import PATH...   folders or files of official downloads
//   tidewake-history [--database FILE] stats            what the database holds, one figure a line
//   tidewake-history [--database FILE] check            SQLite's full check of the file
//   tidewake-history [--database FILE] fit [--from D] [--to D] [--force] OUT
//                                                       fits the win model on the days from D to D
//                                                       (every day by default) and writes its
//                                                       coefficients to OUT; --force fits on fewer
//                                                       races than the program advises
//   tidewake-history [--database FILE] report racer REG [--venue CODE] | venue CODE | motor CODE [--mark M,M]
//                                       | roi KIND [--by boat|course|popularity|combination] [--venue CODE]
//                                       | model   [--period 6m|1y|3y|all] [--from D] [--to D]
//                                                       an analysis page, tab-separated, as the window shows it
//
// Without --database it uses the program's own database (RIREKI.DB beside the other stores).

#include "analysis/mPages.h"
#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"
#include "predict/mWinCoefficients.h"
#include "predict/mWinTrain.h"

#include "platform/Console.h"
#include "platform/RuntimeError.h"
#include "platform/mMyFunc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <unistd.h>
#include <cstdio>
#include <new>
#include <optional>

using namespace tidewake;

namespace {

// Exit statuses.
constexpr int kOk = 0, kRefused = 1, kUsage = 2, kFailed = 3;
// A command's first look at its arguments found nothing against going on.
constexpr int kGoOn = -1;

void Out(FILE* f, const QString& text) { ConsoleWrite(f, text); }

// The files an import takes, found before the database is opened: a path that is not there or a
// folder with no day's file is said at once, and nothing is made.
QStringList gImportFiles;

int ImportFirst(const QStringList& args) {
  if (args.isEmpty()) return kUsage;
  bool missing = false;
  for (const QString& path : args) {
    if (!QFileInfo::exists(path)) {
      Out(stderr, QStringLiteral("フォルダもファイルもありません: %1\n").arg(path));
      missing = true;
    }
  }
  if (missing) return kRefused;
  gImportFiles = ImportFiles(args);
  if (gImportFiles.isEmpty()) {
    Out(stderr, QStringLiteral("取り込む番組ファイル・成績ファイル（b*・k* の .lzh か .txt）がありません: %1\n")
                    .arg(args.join(QStringLiteral(", "))));
    return kRefused;
  }
  return kGoOn;
}

int Import(cRirekiDb& db, const QStringList&) {
  const bool terminal = isatty(fileno(stderr));
  const ImportSummary s = ImportFileList(db, gImportFiles, [&](int done, int total, const QString& day) {
    if (terminal) Out(stderr, QStringLiteral("\r%1/%2 %3 ").arg(done + 1).arg(total).arg(day));
  });
  if (terminal) Out(stderr, QStringLiteral("\n"));
  Out(stdout, ImportSummaryText(s) + u'\n');
  if (!s.stopped.isEmpty()) return kFailed;
  return s.refused.empty() ? kOk : kRefused;
}

int NoArguments(const QStringList& args) { return args.isEmpty() ? kGoOn : kUsage; }

int Stats(cRirekiDb& db, const QStringList&) {
  const cRirekiDb::Stats s = db.Statistics();
  const QString day = QStringLiteral("yyyy-MM-dd");
  Out(stdout, QStringLiteral("日数 %1\n開催（場・日） %2\nレース %3\n選手 %4\n最初の日 %5\n最後の日 %6\n")
                  .arg(s.days)
                  .arg(s.venues)
                  .arg(s.races)
                  .arg(s.racers)
                  .arg(s.first.toString(day), s.last.toString(day)));
  return kOk;
}

int Check(cRirekiDb& db, const QStringList&) {
  const QStringList problems = db.Check();
  Out(stdout, cRirekiDb::CheckText(db.path(), problems) + u'\n');
  return problems.isEmpty() ? kOk : kRefused;
}

// True when the two paths name the same file (either may not exist yet).
bool SameFile(const QString& a, const QString& b) {
  const auto canonical = [](const QString& p) {
    const QFileInfo info(p);
    const QString c = info.canonicalFilePath();
    if (!c.isEmpty()) return c;
    const QString folder = info.canonicalPath().isEmpty() ? info.absolutePath() : info.canonicalPath();
    return QDir(folder).absoluteFilePath(info.fileName());
  };
  return canonical(a) == canonical(b);
}

// Asks on the terminal; anything but yes is no.
bool AskYes(const QString& question) {
  Out(stderr, question + QStringLiteral(" [y/N] "));
  char line[16] = {};
  if (!std::fgets(line, sizeof line, stdin)) return false;
  return line[0] == 'y' || line[0] == 'Y';
}

int Fit(cRirekiDb& db, const QStringList& args) {
  QDate from, to;
  QString out;
  bool force = false;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const bool dateOption = args[i] == u"--from" || args[i] == u"--to";
    if (dateOption && i + 1 < args.size()) {
      const QDate d = QDate::fromString(args[i + 1], Qt::ISODate);
      if (!d.isValid()) {
        Out(stderr, QStringLiteral("日付は YYYY-MM-DD で指定してください: %1\n").arg(args[i + 1]));
        return kUsage;
      }
      (args[i] == u"--from" ? from : to) = d;
      ++i;
    } else if (args[i] == u"--force") {
      force = true;
    } else if (out.isEmpty() && !args[i].startsWith(u'-')) {
      out = args[i];
    } else {
      return kUsage;
    }
  }
  if (out.isEmpty()) return kUsage;
  // Coefficient text written over the history would lose every day in it.
  if (SameFile(out, db.path())) {
    Out(stderr, QStringLiteral("%1 は履歴データベースそのものです。係数は別のファイルに書いてください。\n").arg(out));
    return kRefused;
  }
  const bool terminal = isatty(fileno(stderr));
  mWinTrain::cTraining training(from, to);
  const mWinTrain::Status gathered = training.Gather(db, [&](QDate day) {
    if (terminal) Out(stderr, QStringLiteral("\r%1 ").arg(day.toString(Qt::ISODate)));
  });
  if (terminal) Out(stderr, QStringLiteral("\n"));
  if (gathered == mWinTrain::Status::Nothing) {
    Out(stderr, training.Message() + u'\n');
    return kRefused;
  }
  if (gathered == mWinTrain::Status::Few && !force) {
    // Asked only of a person at a terminal; a script says --force.
    if (!isatty(fileno(stdin))) {
      Out(stderr,
          training.Message() + QStringLiteral("\n学習するには --force を付けてください。係数は変えていません。\n"));
      return kRefused;
    }
    if (!AskYes(training.Message())) {
      Out(stderr, QStringLiteral("学習しませんでした。係数は変えていません。\n"));
      return kRefused;
    }
  }
  if (training.status() == mWinTrain::Status::Ready || training.status() == mWinTrain::Status::Few) {
    training.Fit([&](int step) {
      if (terminal) Out(stderr, QStringLiteral("\r%1 ").arg(step));
    });
    if (terminal) Out(stderr, QStringLiteral("\n"));
  }
  if (training.status() != mWinTrain::Status::Fitted) {
    Out(stderr, training.Message() + u'\n');
    return kFailed;
  }
  QString error;
  if (!mWinCoefficients::Save(out, training.Result(), error)) {
    Out(stderr, error + u'\n');
    return kFailed;
  }
  Out(stdout, training.Message() + QStringLiteral("係数を %1 に書きました。\n").arg(out));
  return kOk;
}

// The period options of a report: --period, or --from and --to; the default choice ends on the
// last day held.
bool ReportPeriod(const cRirekiDb& db, QStringList& args, mPeriod::Choice choice, mPeriod::Period& period) {
  QDate from, to;
  for (qsizetype i = 0; i + 1 < args.size();) {
    const QString option = args[i], value = args[i + 1];
    if (option == u"--from" || option == u"--to") {
      const QDate d = QDate::fromString(value, Qt::ISODate);
      if (!d.isValid()) {
        Out(stderr, QStringLiteral("日付は YYYY-MM-DD で指定してください: %1\n").arg(value));
        return false;
      }
      (option == u"--from" ? from : to) = d;
    } else if (option == u"--period") {
      const QStringList names{QStringLiteral("6m"), QStringLiteral("1y"), QStringLiteral("3y"), QStringLiteral("all")};
      if (!names.contains(value)) {
        Out(stderr, QStringLiteral("期間は 6m, 1y, 3y, all のどれかです: %1\n").arg(value));
        return false;
      }
      choice = mPeriod::kChoices[static_cast<std::size_t>(names.indexOf(value))];
    } else {
      ++i;
      continue;
    }
    args.remove(i, 2);
  }
  if (!to.isValid()) to = mPages::LastDay(db);
  if (!to.isValid()) to = QDate::currentDate();
  period = mPeriod::Of(choice, to);
  if (from.isValid()) period.From = from;
  if (period.From > period.To) {
    Out(stderr, QStringLiteral("期間の始め（%1）が終わり（%2）より後です。\n")
                    .arg(period.From.toString(Qt::ISODate), period.To.toString(Qt::ISODate)));
    return false;
  }
  return true;
}

// The value of `option` taken out of the arguments; empty when absent.
QString TakeOption(QStringList& args, const QString& option) {
  const qsizetype i = args.indexOf(option);
  if (i < 0 || i + 1 >= args.size()) return {};
  const QString value = args[i + 1];
  args.remove(i, 2);
  return value;
}

std::optional<std::int16_t> VenueCode(const QString& text) {
  bool ok = false;
  const int code = text.toInt(&ok);
  if (!ok || code < 1 || code > 24) {
    Out(stderr, QStringLiteral("場のコードは 01 から 24 です: %1\n").arg(text));
    return std::nullopt;
  }
  return static_cast<std::int16_t>(code);
}

int Report(cRirekiDb& db, const QStringList& arguments) {
  QStringList args = arguments;
  if (args.isEmpty()) return kUsage;
  const QString page = args.takeFirst();
  mPages::Request r;
  mPeriod::Choice choice = mPeriod::Choice::SixMonths;
  const QString venue = TakeOption(args, QStringLiteral("--venue"));
  if (!venue.isEmpty()) {
    const auto code = VenueCode(venue);
    if (!code) return kUsage;
    r.Jyo = *code;
  }
  if (page == u"racer" || page == u"venue" || page == u"motor" || page == u"roi") {
    if (args.isEmpty() || args[0].startsWith(u'-')) return kUsage;
    const QString what = args.takeFirst();
    if (page == u"racer") {
      r.Page = mPages::PageKind::Racer;
      r.SensyuNo = what;
    } else if (page == u"roi") {
      r.Page = mPages::PageKind::Roi;
      const auto kind = mReturnRate::KindByName(what);
      if (!kind) {
        Out(stderr,
            QStringLiteral(
                "勝式は tansyo, fukusyo, nirentan, nirenfuku, kakurenfuku, sanrentan, sanrenfuku のどれかです: %1\n")
                .arg(what));
        return kUsage;
      }
      r.Kind = *kind;
      const QString by = TakeOption(args, QStringLiteral("--by"));
      if (!by.isEmpty()) {
        const auto rows = mReturnRate::ByName(by);
        if (!rows) return kUsage;
        r.By = *rows;
      }
      choice = mPeriod::Choice::All;
    } else {
      r.Page = page == u"venue" ? mPages::PageKind::Venue : mPages::PageKind::Motor;
      const auto code = VenueCode(what);
      if (!code) return kUsage;
      r.Jyo = *code;
      const QString marked = TakeOption(args, QStringLiteral("--mark"));
      if (!marked.isEmpty()) r.Marked = marked.split(u',', Qt::SkipEmptyParts);
    }
  } else if (page == u"model") {
    r.Page = mPages::PageKind::Model;
    choice = mPeriod::Choice::OneYear;
    // The coefficients the window uses: the user's fit beside the stores, else those shipped.
    QString error;
    r.Model = mWinCoefficients::UserOrShipped(mWinCoefficients::UserPath(), error);
    if (!error.isEmpty()) Out(stderr, error + u'\n');
  } else {
    return kUsage;
  }
  if (!ReportPeriod(db, args, choice, r.Period)) return kUsage;
  if (!args.isEmpty()) return kUsage;
  const bool terminal = isatty(fileno(stderr));
  const mReport::Page shown = mPages::Compute(db, r, {}, [&](int done, int total) {
    if (terminal) Out(stderr, QStringLiteral("\r%1/%2 ").arg(done).arg(total));
  });
  Out(stdout, mReport::TabText(shown));
  return kOk;
}

// The subcommands: how each opens the database, what it checks of its arguments before the
// database is opened (nothing is made for a command that cannot run), and what it does with it.
struct Command {
  const char* name;
  RirekiAccess access;
  int (*first)(const QStringList& args);
  int (*run)(cRirekiDb& db, const QStringList& args);
};
const Command kCommands[] = {
    {"import", RirekiAccess::ReadWrite, ImportFirst, Import}, {"stats", RirekiAccess::ReadOnly, NoArguments, Stats},
    {"check", RirekiAccess::ReadOnly, NoArguments, Check},    {"fit", RirekiAccess::ReadOnly, nullptr, Fit},
    {"report", RirekiAccess::ReadOnly, nullptr, Report},
};

const QString kUsageText = QStringLiteral(
    "使い方: tidewake-history [--database FILE] import PATH...\n"
    "        tidewake-history [--database FILE] stats\n"
    "        tidewake-history [--database FILE] check\n"
    "        tidewake-history [--database FILE] fit [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--force] OUT\n"
    "        tidewake-history [--database FILE] report racer REG [--venue CODE] | venue CODE\n"
    "                 | motor CODE [--mark M,M] | roi KIND [--by boat|course|popularity|combination]\n"
    "                 [--venue CODE] | model   [--period 6m|1y|3y|all] [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n");

int Usage() {
  Out(stderr, kUsageText);
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  // The window's name, so that both keep one database in one per-user folder.
  SetProgramName();
  QStringList args = app.arguments().mid(1);
  if (!args.isEmpty() && (args[0] == u"--help" || args[0] == u"-h")) {
    Out(stdout, kUsageText);
    return kOk;
  }
  QString database;
  if (!args.isEmpty() && args[0] == u"--database") {
    if (args.size() < 2 || args[1].isEmpty()) {
      Out(stderr, QStringLiteral("--database の後にデータベースのファイル名を書いてください。\n"));
      return Usage();
    }
    database = args[1];
    args = args.mid(2);
  }
  if (args.isEmpty()) return Usage();
  const QString name = args.takeFirst();
  for (const Command& c : kCommands) {
    if (name != QLatin1String(c.name)) continue;
    if (c.first) {
      const int status = c.first(args);
      if (status == kUsage) return Usage();
      if (status != kGoOn) return status;
    }
    try {
      cRirekiDb db(database.isEmpty() ? cRirekiDb::DefaultPath() : database, c.access);
      const int status = c.run(db, args);
      return status == kUsage ? Usage() : status;
    } catch (const RuntimeError& e) {
      // The program's words; SQLite's own, when there are any, only as the detail in them.
      Out(stderr, e.description() + u'\n');
      return e.number() == ErrNo::HistoryMissing ? kRefused : kFailed;
    } catch (const std::bad_alloc&) {
      Out(stderr, QStringLiteral("メモリが足りないため、続けられませんでした。\n"));
      return kFailed;
    }
  }
  return Usage();
}
