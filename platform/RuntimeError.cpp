#include "platform/RuntimeError.h"

namespace tidewake {

QString RuntimeError::reportText() const {
  return description_ + QStringLiteral("(Error code:") + QString::number(number_) + QStringLiteral(")");
}

void ThrowField(int number, int lineNo, const QString& field, qsizetype from, qsizetype width, const QString& what,
                const QString& found) {
  throw RuntimeError(number, QStringLiteral("%1 行目の%2（%3–%4 バイト目）%5: \"%6\"")
                                 .arg(lineNo)
                                 .arg(field)
                                 .arg(from + 1)
                                 .arg(from + width)
                                 .arg(what, found));
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
