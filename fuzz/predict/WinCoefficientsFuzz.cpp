// Any bytes as a coefficient file, read as the window and the console read WIN.TXT: the reader
// answers with a whole model or one RuntimeError, never crashes, and what it answers writes back
// to text that reads as the same model.

#include "platform/RuntimeError.h"
#include "predict/mWinCoefficients.h"

#include "fuzz/data/FuzzSupport.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void Require(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tidewake::fuzz::FuzzSetUp();
  namespace wc = tidewake::mWinCoefficients;
  const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  try {
    const wc::Model m = wc::Read(text);
    for (const tidewake::mWinModel::Coefficients* c : {&m.Before, &m.After}) {
      Require(c->IsWhole());
      for (const std::vector<double>* v : {&c->Win, &c->Second, &c->Third}) {
        for (double x : *v) Require(std::isfinite(x));
      }
    }
    Require(m.Fitted.Days >= 0 && m.Fitted.Races >= 0);
    Require(m.Fitted.First.isValid() == m.Fitted.Last.isValid());
    Require(wc::Read(wc::Write(m)) == m);
  } catch (const tidewake::RuntimeError& e) {
    Require(!e.description().isEmpty());
  }
  return 0;
}
