#include "analysis/mReport.h"

#include "platform/Format.h"

namespace tidewake::mReport {

namespace {

const QString kDash = QStringLiteral("－");

QString Pattern(int decimals) {
  return decimals > 0 ? QStringLiteral("0.") + QString(decimals, u'0') : QStringLiteral("0");
}

// A field of a tab-separated line: tabs and line ends inside it become blanks.
QString TabField(const QString& s) {
  QString f = s;
  f.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
  return f;
}

QString CsvField(const QString& s) {
  if (!s.contains(u',') && !s.contains(u'"') && !s.contains(u'\n') && !s.contains(u'\r')) return s;
  QString f = s;
  f.replace(QStringLiteral("\""), QStringLiteral("\"\""));
  return u'"' + f + u'"';
}

template <typename Field>
QString Lines(const Page& page, QChar separator, Field field, bool comments) {
  QString out;
  auto line = [&](const QStringList& fields) {
    QStringList f;
    for (const QString& s : fields) f << field(s);
    out += f.join(separator) + u'\n';
  };
  if (comments) {
    out += QStringLiteral("# ") + TabField(page.Title) + u'\n';
    for (const QString& n : page.Notes) out += QStringLiteral("# ") + TabField(n) + u'\n';
  } else {
    line({page.Title});
    for (const QString& n : page.Notes) line({n});
  }
  for (const Table& t : page.Tables) {
    out += u'\n';
    if (comments) {
      out += QStringLiteral("## ") + TabField(t.Title) + u'\n';
    } else {
      line({t.Title});
    }
    line(t.Columns);
    for (const auto& row : t.Rows) {
      QStringList cells;
      for (const Cell& c : row) cells << c.Text;
      line(cells);
    }
    if (!t.Note.isEmpty()) {
      if (comments) {
        out += QStringLiteral("# ") + TabField(t.Note) + u'\n';
      } else {
        line({t.Note});
      }
    }
  }
  return out;
}

}  // namespace

QString TabText(const Page& page) { return Lines(page, u'\t', TabField, true); }

QString CsvText(const Page& page) { return Lines(page, u',', CsvField, false); }

QString Percent(double share, int decimals) {
  return std::isnan(share) ? kDash : FormatNumber(share * 100.0, Pattern(decimals));
}

QString Fixed(double v, int decimals) { return std::isnan(v) ? kDash : FormatNumber(v, Pattern(decimals)); }

Cell Count(std::int64_t n, bool faded) { return Cell{QString::number(n), static_cast<double>(n), faded}; }

Cell Share(std::int64_t n, std::int64_t of, bool faded) {
  const double share = of > 0 ? static_cast<double>(n) / static_cast<double>(of) : kNone;
  return Cell{Percent(share), share * 100.0, faded};
}

Cell Text(const QString& text, bool faded) { return Cell{text, kNone, faded}; }

Cell Number(double v, int decimals, bool faded) { return Cell{Fixed(v, decimals), v, faded}; }

double DayAxis(QDate d) { return static_cast<double>(QDate(1970, 1, 1).daysTo(d)); }

QString DateText(QDate d) { return d.toString(QStringLiteral("yyyy/MM/dd")); }

}  // namespace tidewake::mReport
