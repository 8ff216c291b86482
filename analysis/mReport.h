#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

// What an analysis page shows, as plain values: tables of cells and the data of its charts. The
// window draws them, the console prints them, and both copy them as tab-separated text: one
// routine computes a page, whoever shows it.
namespace tidewake::mReport {

inline constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// One cell: its text as shown, its value for sorting and charts (NaN when it has none), faded when
// it counts too few races to say much, marked when it is the one the user came for (the card's
// venue, the race's motors).
struct Cell {
  QString Text;
  double Value = kNone;
  bool Faded = false;
  bool Marked = false;
};

struct Table {
  QString Title;
  QStringList Columns;
  std::vector<std::vector<Cell>> Rows;
  // What its figures count, said under it.
  QString Note;
};

enum class ChartKind {
  Bars,         // groups of bars over categories
  Lines,        // lines over dates (X in days since 1970-01-01, UTC)
  Reliability,  // points of predicted chance against how often it happened, with the diagonal
};

struct Series {
  QString Name;
  std::vector<double> X, Y;
};

struct Chart {
  QString Title;
  ChartKind Kind = ChartKind::Bars;
  QString XLabel, YLabel;
  QStringList Categories;  // Bars: the X positions 1..n named
  std::vector<Series> Lines;
  // Bars: the categories (1..n) the user came for, to stand out (the race's motors).
  std::vector<int> Marked;
  // A horizontal line to read the chart against (100 % of a return); none when NaN.
  double Reference = kNone;
};

struct Page {
  QString Title;
  // What the figures count and how (period, definitions, interval method), said at the top.
  QStringList Notes;
  std::vector<Table> Tables;
  std::vector<Chart> Charts;
};

// The page as tab-separated text: its title and notes as lines beginning with "# ", each table's
// title as "## title", its header and rows, a blank line between tables. What the console prints
// and the window copies.
QString TabText(const Page& page);
// The same as CSV (RFC 4180 quoting), for a spreadsheet.
QString CsvText(const Page& page);

// Cells of counts and of shares in percent ("－" when `of` is 0).
Cell Count(std::int64_t n, bool faded = false);
Cell Share(std::int64_t n, std::int64_t of, bool faded = false);
Cell Text(const QString& text, bool faded = false);
Cell Number(double v, int decimals, bool faded = false);

// Display forms shared by the pages.
QString Percent(double share, int decimals = 1);  // 0.1234 → "12.3"; "－" for NaN
QString Fixed(double v, int decimals);            // "－" for NaN
double DayAxis(QDate d);                          // a date as a chart's X value
QString DateText(QDate d);                        // "2023/06/30"

}  // namespace tidewake::mReport
