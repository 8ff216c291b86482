// Any bytes as a racer store, in both record layouts: the load answers True or a message, never
// crashes, and a loaded store answers every getter of every slot; loading every racer hands back
// one number per stored slot.

#include "data/cSensyuFile.h"

#include "fuzz/data/FuzzSupport.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {
void AskEverything(const tidewake::cSensyuFile& s, const QString& no) {
  float sum = s.Syoritu(no) + s.FSyoritu(no) + s.StartTiming(no) + s.Rentairitu3(no) + s.StratHatujyun(no);
  sum += static_cast<float>(s.Ability(no) + s.YoseiKi(no) + s.SyussoTimes(no) + s.OutsideCourseK1Times(no));
  sum += static_cast<float>(s.NameKanji(no).size() + s.NameKana(no).size() + s.ClassOld3(no).size());
  try {
    // The 16-bit sums may overflow with hostile counts: that is a reported failure, not a wrap.
    sum += s.InSisu(no) + static_cast<float>(s.FTimes(no) + s.LTimes(no));
  } catch (const tidewake::RuntimeError& e) {
    if (e.number() != tidewake::ErrNo::Overflow) std::abort();
  }
  for (std::int16_t c = 1; c <= 6; ++c) {
    sum += s.CourseStartHatujyun(no, c) + s.CourseRentairitu3(no, c) + static_cast<float>(s.CourseS2Times(no, c));
  }
  (void)sum;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QTemporaryDir& dir = tidewake::fuzz::FuzzFolder();

  const QString path = dir.filePath(QStringLiteral("SENSYU.BRF"));
  {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  for (std::int16_t rev : {0, 2}) {
    tidewake::cSensyuFile store;
    QStringList every;
    if (!store.FileLoad(path, every, rev)) {
      if (!every.isEmpty()) std::abort();  // a failed load leaves the caller's list alone
      continue;
    }
    if (every.isEmpty() || !every[0].isEmpty()) std::abort();
    for (qsizetype k = 1; k < every.size(); ++k) {
      (void)store.SensyuNo(static_cast<std::int16_t>(k));
      AskEverything(store, every[k]);
    }
    // A request built from the numbers found, sorted as the window's list is.
    QStringList asked = every.mid(1);
    asked.sort();
    asked.prepend(QString());
    asked.insert(1, QStringLiteral("0000"));
    if (store.FileLoad(path, asked, rev)) {
      for (qsizetype k = 1; k < asked.size(); ++k) AskEverything(store, asked[k]);
    }
  }
  return 0;
}
