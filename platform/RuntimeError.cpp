#include "platform/RuntimeError.h"

namespace tidewake {

QString RuntimeError::reportText() const {
  return description_ + QStringLiteral("(Error code:") + QString::number(number_) + QStringLiteral(")");
}

void ThrowSubscript(const QString& what, long long value, long long low, long long high) {
  throw RuntimeError(ErrNo::SubscriptOutOfRange,
                     QStringLiteral("インデックスが有効範囲にありません: %1 %2 は %3～%4 の範囲外です")
                         .arg(what)
                         .arg(value)
                         .arg(low)
                         .arg(high));
}

}  // namespace tidewake
