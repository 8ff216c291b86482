#include "platform/TextUtil.h"

#include <algorithm>
#include <string_view>

namespace tidewake {

QStringView TrimView(QStringView s) {
  qsizetype b = 0;
  qsizetype e = s.size();
  while (b < e && s[b] == u' ') ++b;
  while (e > b && s[e - 1] == u' ') --e;
  return s.sliced(b, e - b);
}

QString Trim(QStringView s) { return TrimView(s).toString(); }

QString LTrim(QStringView s) {
  qsizetype b = 0;
  while (b < s.size() && s[b] == u' ') ++b;
  return s.sliced(b).toString();
}

QString RTrim(QStringView s) {
  qsizetype e = s.size();
  while (e > 0 && s[e - 1] == u' ') --e;
  return s.first(e).toString();
}

QString TrimPadding(QStringView s) {
  const auto pad = [](QChar c) { return c == u' ' || c == QChar(0x3000); };
  qsizetype b = 0;
  qsizetype e = s.size();
  while (b < e && pad(s[b])) ++b;
  while (e > b && pad(s[e - 1])) --e;
  return s.sliced(b, e - b).toString();
}

QString Narrow(QStringView s) {
  QString out(s.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < s.size(); ++i) {
    const char16_t u = s[i].unicode();
    if (u >= 0xFF01 && u <= 0xFF5E) {
      out[i] = QChar(static_cast<char16_t>(u - 0xFF01 + 0x21));
    } else if (u == 0x3000) {
      out[i] = QChar(u' ');
    } else {
      out[i] = s[i];
    }
  }
  return out;
}

QString Widen(QStringView s) {
  QString out(s.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < s.size(); ++i) {
    const char16_t u = s[i].unicode();
    if (u >= 0x21 && u <= 0x7E) {
      out[i] = QChar(static_cast<char16_t>(u - 0x21 + 0xFF01));
    } else if (u == u' ') {
      out[i] = QChar(0x3000);
    } else {
      out[i] = s[i];
    }
  }
  return out;
}

QString Mid(QStringView s, qsizetype start, qsizetype length) {
  if (start < 1 || length <= 0 || start > s.size()) return {};
  const qsizetype from = start - 1;
  return s.sliced(from, std::min(length, s.size() - from)).toString();
}

QString MidToEnd(QStringView s, qsizetype start) {
  if (start < 1 || start > s.size()) return {};
  return s.sliced(start - 1).toString();
}

QString Right(QStringView s, qsizetype length) {
  if (length <= 0) return {};
  if (length >= s.size()) return s.toString();
  return s.last(length).toString();
}

qsizetype FindBytes(QByteArrayView bytes, QByteArrayView needle) {
  const auto at = std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size()))
                      .find(std::string_view(needle.data(), static_cast<std::size_t>(needle.size())));
  return at == std::string_view::npos ? -1 : static_cast<qsizetype>(at);
}

qsizetype SjisByteCount(QStringView s) {
  qsizetype n = 0;
  for (QChar c : s) n += c.unicode() < 0x80 || (c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F) ? 1 : 2;
  return n;
}

}  // namespace tidewake
