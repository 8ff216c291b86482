#include "platform/Format.h"

#include "platform/Numeric.h"

#include <QList>

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tidewake {
namespace {

// One element of a parsed number pattern.
struct Token {
  enum Kind { Literal, Zero, Hash, Point } kind;
  QString text;  // for Literal
};

std::vector<Token> ParseNumberPattern(QStringView pattern) {
  std::vector<Token> out;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern[i];
    if (c == u'0') {
      out.push_back({Token::Zero, {}});
    } else if (c == u'#') {
      out.push_back({Token::Hash, {}});
    } else if (c == u'.') {
      out.push_back({Token::Point, {}});
    } else if (c == u'\\') {
      if (i + 1 < pattern.size()) out.push_back({Token::Literal, QString(pattern[++i])});
    } else if (c == u'"') {
      QString lit;
      while (++i < pattern.size() && pattern[i] != u'"') lit += pattern[i];
      out.push_back({Token::Literal, lit});
    } else {
      out.push_back({Token::Literal, QString(c)});
    }
  }
  return out;
}

// Digits of |value| in plain decimal ("12.5", "0.15", "1" and 64 zeros for 1e64), from its
// shortest round-trip form. The shortest form is taken in scientific notation, which always fits
// a small buffer, and then written out in full: the fixed notation of to_chars would spell a large
// value's binary expansion (1e23 as 99999999999999991611392) rather than its shortest digits.
template <typename T>
std::string ShortestDecimal(T value) {
  // "d.ddddddddddddddddde-308": 17 significant digits, point, exponent of at most three digits.
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
  const std::string_view sci(buf, r.ec == std::errc() ? static_cast<std::size_t>(r.ptr - buf) : 0);
  const auto e = sci.find('e');
  if (!std::isfinite(value) || e == std::string_view::npos) throw std::logic_error("no shortest form");
  std::string digits;
  for (const char c : sci.substr(0, e)) {
    if (c != '.') digits += c;
  }
  int exponent = 0;
  const std::string_view exp = sci.substr(e + 1);
  std::from_chars(exp.data() + (exp.front() == '+' ? 1 : 0), exp.data() + exp.size(), exponent);
  // The value is 0.digits times ten to the power (exponent + 1).
  const int point = exponent + 1;
  if (point <= 0) return "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
  if (point >= static_cast<int>(digits.size())) return digits + std::string(point - digits.size(), '0');
  return digits.substr(0, point) + '.' + digits.substr(point);
}

// Rounds the decimal text to `decimals` places, halves away from zero; returns integer and
// fraction digits.
void RoundDecimal(const std::string& text, int decimals, std::string& intPart, std::string& fracPart) {
  const auto dot = text.find('.');
  intPart = dot == std::string::npos ? text : text.substr(0, dot);
  std::string frac = dot == std::string::npos ? std::string() : text.substr(dot + 1);
  const bool roundUp = static_cast<int>(frac.size()) > decimals && frac[decimals] >= '5';
  frac.resize(decimals, '0');
  if (roundUp) {
    std::string all = intPart + frac;
    int i = static_cast<int>(all.size()) - 1;
    while (i >= 0 && all[i] == '9') all[i--] = '0';
    if (i < 0) {
      all.insert(all.begin(), '1');
    } else {
      ++all[i];
    }
    intPart = all.substr(0, all.size() - decimals);
    frac = all.substr(all.size() - decimals);
  }
  fracPart = frac;
  // "007" -> "7", "0" -> "" : leading zeros come back from the pattern's "0" placeholders.
  const auto nz = intPart.find_first_not_of('0');
  intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
}

QString FormatDecimal(bool negative, const std::string& decimalText, QStringView pattern) {
  const auto tokens = ParseNumberPattern(pattern);
  int intSlots = 0, intZeros = 0, fracSlots = 0;
  bool afterPoint = false;
  for (const auto& t : tokens) {
    if (t.kind == Token::Point) afterPoint = true;
    if (t.kind == Token::Zero || t.kind == Token::Hash) {
      if (afterPoint) {
        ++fracSlots;
      } else {
        ++intSlots;
        if (t.kind == Token::Zero) ++intZeros;
      }
    }
  }
  std::string ip, fp;
  RoundDecimal(decimalText, fracSlots, ip, fp);
  if (static_cast<int>(ip.size()) < intZeros) ip.insert(0, intZeros - ip.size(), '0');
  // A value that rounds to zero shows no minus sign.
  const bool allZero = ip.find_first_not_of('0') == std::string::npos && fp.find_first_not_of('0') == std::string::npos;

  // Trailing "#" decimals drop trailing zeros.
  std::vector<Token::Kind> fracKinds;
  afterPoint = false;
  for (const auto& t : tokens) {
    if (t.kind == Token::Point) afterPoint = true;
    if (afterPoint && (t.kind == Token::Zero || t.kind == Token::Hash)) fracKinds.push_back(t.kind);
  }
  std::vector<bool> fracShown(fracSlots, true);
  for (int k = fracSlots - 1; k >= 0 && fracKinds[k] == Token::Hash && fp[k] == '0'; --k) fracShown[k] = false;

  QString out;
  if (negative && !allZero) out += u'-';
  const int extra = static_cast<int>(ip.size()) - intSlots;  // digits beyond the placeholders
  int intIndex = 0;                                          // placeholder number, left to right
  int fracIndex = 0;
  bool pointShown = false;
  afterPoint = false;
  for (const auto& t : tokens) {
    switch (t.kind) {
      case Token::Literal:
        out += t.text;
        break;
      case Token::Point:
        afterPoint = true;
        if (!pointShown) out += u'.';
        pointShown = true;
        break;
      case Token::Zero:
      case Token::Hash:
        if (afterPoint) {
          if (fracShown[fracIndex]) out += QChar(fp[fracIndex]);
          ++fracIndex;
        } else {
          // The first placeholder also takes the digits the pattern has no room for.
          if (intIndex == 0 && extra > 0) out += QString::fromLatin1(ip.data(), extra);
          // Placeholders take the digits from the right; "#" without a digit shows nothing.
          const int idx = static_cast<int>(ip.size()) - intSlots + intIndex;
          if (idx >= 0) out += QChar(ip[idx]);
          ++intIndex;
        }
        break;
    }
  }
  if (intSlots == 0 && !ip.empty()) {
    // A pattern without integer placeholders (".00") still shows the whole part, before the point.
    const qsizetype at = out.indexOf(u'.');
    out.insert(at < 0 ? out.size() : at, QString::fromStdString(ip));
  }
  return out;
}

bool IsTextPattern(QStringView pattern) { return pattern.contains(u'@'); }

}  // namespace

QString FormatNumber(double value, QStringView pattern) {
  if (IsTextPattern(pattern)) return FormatText(QString::number(value, 'g', 15), pattern);
  // No pattern has digits for an infinity or a NaN: they show as the number's own text.
  if (!std::isfinite(value)) return QString::number(value);
  return FormatDecimal(std::signbit(value), ShortestDecimal(value), pattern);
}

QString FormatNumber(float value, QStringView pattern) {
  if (IsTextPattern(pattern)) return FormatText(QString::number(value, 'g', 7), pattern);
  if (!std::isfinite(value)) return QString::number(value);
  return FormatDecimal(std::signbit(value), ShortestDecimal(value), pattern);
}

QString FormatNumber(int value, QStringView pattern) { return FormatNumber(static_cast<double>(value), pattern); }

QString FormatText(QStringView text, QStringView pattern) {
  int places = 0;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == u'\\') {
      ++i;
    } else if (pattern[i] == u'@') {
      ++places;
    }
  }
  QString padded = text.toString();
  if (padded.size() < places) padded.prepend(QString(places - padded.size(), u' '));
  const qsizetype extra = padded.size() - places;
  QString out;
  qsizetype next = 0;
  bool first = true;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern[i];
    if (c == u'\\') {
      if (i + 1 < pattern.size()) out += pattern[++i];
    } else if (c == u'@') {
      if (first) {
        out += padded.first(extra);
        next = extra;
        first = false;
      }
      out += padded[next++];
    } else {
      out += c;
    }
  }
  return out;
}

QString FormatValue(QStringView value, QStringView pattern) {
  if (pattern.isEmpty()) return value.toString();
  if (IsTextPattern(pattern)) return FormatText(value, pattern);
  const auto v = ParseNumber(value);
  if (!v || !std::isfinite(*v)) return value.toString();
  return FormatNumber(*v, pattern);
}

QString FormatDate(QStringView date, QStringView pattern) {
  const auto parts = date.split(u'/');
  if (parts.size() != 3) return date.toString();
  bool okY = false, okM = false, okD = false;
  const int y = parts[0].toInt(&okY);
  const int m = parts[1].toInt(&okM);
  const int d = parts[2].toInt(&okD);
  if (!okY || !okM || !okD) return date.toString();
  QString out;
  for (qsizetype i = 0; i < pattern.size();) {
    const QChar c = pattern[i];
    qsizetype run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    if (c == u'y') {
      out += run >= 4 ? QString::number(y).rightJustified(4, u'0') : QString::number(y % 100).rightJustified(2, u'0');
    } else if (c == u'm') {
      out += run >= 2 ? QString::number(m).rightJustified(2, u'0') : QString::number(m);
    } else if (c == u'd') {
      out += run >= 2 ? QString::number(d).rightJustified(2, u'0') : QString::number(d);
    } else if (c == u'\\' && i + 1 < pattern.size()) {
      out += pattern[i + 1];
      run = 2;
    } else {
      out += QString(run, c);
    }
    i += run;
  }
  return out;
}

}  // namespace tidewake
