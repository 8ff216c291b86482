// tidewake-history: the history database from a terminal.
//
//   tidewake-history [--database FILE] import PATH...   folders or files of official downloads
//   tidewake-history [--database FILE] stats            what the database holds, one figure a line
//
// Without --database it uses the program's own database (RIREKI.DB beside the other stores).

#include "history/cRirekiDb.h"
#include "history/mRirekiImport.h"

#include "platform/RuntimeError.h"

#include <QCoreApplication>
#include <QStringList>

#include <unistd.h>
#include <cstdio>

using namespace tidewake;

namespace {

// Exit statuses.
constexpr int kOk = 0, kRefused = 1, kUsage = 2, kFailed = 3;

void Out(FILE* f, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), f);
  std::fflush(f);
}

int Import(cRirekiDb& db, const QStringList& args) {
  if (args.isEmpty()) {
    Out(stderr, QStringLiteral("取り込むフォルダかファイルを指定してください\n"));
    return kUsage;
  }
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

// The subcommands; each takes the open database and its own arguments.
struct Command {
  const char* name;
  int (*run)(cRirekiDb& db, const QStringList& args);
};
const Command kCommands[] = {
    {"import", Import},
    {"stats", Stats},
};

int Usage() {
  Out(stderr, QStringLiteral("使い方: tidewake-history [--database FILE] import PATH...\n"
                             "        tidewake-history [--database FILE] stats\n"));
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
      return status == kUsage && name != u"import" ? Usage() : status;
    } catch (const RuntimeError& e) {
      Out(stderr, e.reportText() + u'\n');
      return kFailed;
    }
  }
  return Usage();
}
