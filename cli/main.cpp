// tidewake-history: the history database from a terminal.
//
//   tidewake-history [--database FILE] import PATH...   folders or files of official downloads
//   tidewake-history [--database FILE] stats            what the database holds, one figure a line
//   tidewake-history [--database FILE] fit [--from D] [--to D] [--force] OUT
//                                                       fits the win model on the days from D to D
//                                                       (every day by default) and writes its
//                                                       coefficients to OUT; --force fits on fewer
//                                                       races than the program advises
//
// Without --database it uses the program's own database (RIREKI.DB beside the other stores).

#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"
#include "predict/mWinCoefficients.h"
#include "predict/mWinTrain.h"

#include "platform/Console.h"
#include "platform/RuntimeError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <unistd.h>
#include <cstdio>
#include <new>

using namespace tidewake;

namespace {

// Exit statuses.
constexpr int kOk = 0, kRefused = 1, kUsage = 2, kFailed = 3;

void Out(FILE* f, const QString& text) { ConsoleWrite(f, text); }

int Import(cRirekiDb& db, const QStringList& args) {
  if (args.isEmpty()) return kUsage;
  const bool terminal = isatty(fileno(stderr));
  const ImportSummary s = ImportPaths(db, args, [&](int done, int total, const QString& day) {
    if (terminal) Out(stderr, QStringLiteral("\r%1/%2 %3 ").arg(done + 1).arg(total).arg(day));
  });
  if (terminal) Out(stderr, QStringLiteral("\n"));
  Out(stdout, ImportSummaryText(s) + u'\n');
  return s.refused.empty() ? kOk : kRefused;
}

int Stats(cRirekiDb& db, const QStringList& args) {
  if (!args.isEmpty()) return kUsage;
  const cRirekiDb::Stats s = db.Statistics();
  const QString day = QStringLiteral("yyyy-MM-dd");
  Out(stdout, QStringLiteral("days %1\nvenues %2\nraces %3\nracers %4\nfirst %5\nlast %6\n")
                  .arg(s.days)
                  .arg(s.venues)
                  .arg(s.races)
                  .arg(s.racers)
                  .arg(s.first.toString(day), s.last.toString(day)));
  return kOk;
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

// The subcommands; each takes the open database and its own arguments.
struct Command {
  const char* name;
  int (*run)(cRirekiDb& db, const QStringList& args);
};
const Command kCommands[] = {
    {"import", Import},
    {"stats", Stats},
    {"fit", Fit},
};

int Usage() {
  Out(stderr,
      QStringLiteral(
          "使い方: tidewake-history [--database FILE] import PATH...\n"
          "        tidewake-history [--database FILE] stats\n"
          "        tidewake-history [--database FILE] fit [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--force] OUT\n"));
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  QString database = cRirekiDb::DefaultPath();
  if (args.size() >= 2 && args[0] == u"--database") {
    database = args[1];
    args = args.mid(2);
  }
  if (args.isEmpty()) return Usage();
  const QString name = args.takeFirst();
  for (const Command& c : kCommands) {
    if (name != QLatin1String(c.name)) continue;
    try {
      cRirekiDb db(database);
      const int status = c.run(db, args);
      return status == kUsage ? Usage() : status;
    } catch (const RuntimeError& e) {
      Out(stderr, e.reportText() + u'\n');
      return kFailed;
    } catch (const std::bad_alloc&) {
      Out(stderr, QStringLiteral("メモリが足りないため、続けられませんでした。\n"));
      return kFailed;
    }
  }
  return Usage();
}
