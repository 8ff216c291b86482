// Any bytes as a programme: the import, the venue listing and the card load must answer with a
// result or a message, never crash, and never leave a card that breaks its getters.

#include "data/cBangumiFile.h"

#include "fuzz/data/FuzzSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QTemporaryDir& dir = tidewake::fuzz::FuzzFolder();

  const QString input = dir.filePath(QStringLiteral("b.txt"));
  {
    QFile f(input);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  tidewake::cBangumiFile bangumi;
  bangumi.FileConv(input);
  // The raw bytes as a store too, so that lines the import drops reach the reader as well.
  QFile::remove(dir.filePath(QStringLiteral("BANGUMI.BRF")));
  QFile::copy(input, dir.filePath(QStringLiteral("BANGUMI.BRF")));
  tidewake::KyoteijyoTable table;
  QString name;
  bangumi.KaisaiCheck(table, name);
  for (int code = 1; code <= 24; ++code) {
    QString store;
    if (!bangumi.FileLoad(QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0')), store)) continue;
    float shares = 0;
    for (int r = 1; r <= bangumi.RaceNumbers(); ++r) {
      for (int b = 1; b <= 6; ++b) shares += bangumi.Tansyoritu(r, b);
    }
    for (int i = 0; i <= bangumi.ParticipationNumbers(); ++i) (void)bangumi.IndexToSenyuName(i);
    (void)shares;
  }
  return 0;
}
