#include "tests/common/TestDoubles.h"

#include <gtest/gtest.h>

namespace tidewake::test {
namespace {
QString Num(float v) { return QString::number(v, 'g', 9); }
QString Hex(Colour c) { return QStringLiteral("#%1").arg(c, 6, 16, QLatin1Char('0')).toUpper(); }
}  // namespace

MsgResult UnexpectedMessageBox::Show(const QString& text, MsgButtons buttons, MsgIcon, const QString& title) {
  ADD_FAILURE() << "unexpected message box [" << title.toStdString() << "] " << text.toStdString();
  return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
}

MsgResult RecordingMessageBox::Show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) {
  return ShowDetails(text, QString(), buttons, icon, title);
}

MsgResult RecordingMessageBox::ShowDetails(const QString& text, const QString& details, MsgButtons buttons,
                                           MsgIcon icon, const QString& title) {
  boxes_.push_back({text, buttons, icon, title, details});
  if (buttons == MsgButtons::Ok) return MsgResult::Ok;
  if (answers_.empty()) return MsgResult::No;
  const MsgResult r = answers_.front();
  answers_.pop_front();
  return r;
}

float ScriptedRandom::Rnd() {
  ++draws_;
  if (values_.empty()) return fallback_;
  const float v = values_[next_];
  next_ = (next_ + 1) % values_.size();
  return v;
}

void FixedMetricsSurface::SetSize(float width, float height) {
  width_ = width;
  height_ = height;
  log_ << QStringLiteral("SetSize(%1,%2)").arg(Num(width), Num(height));
}

void FixedMetricsSurface::SetBackColor(Colour c) {
  back_ = c;
  log_ << QStringLiteral("SetBackColor(%1)").arg(Hex(c));
  Cls();
}

void FixedMetricsSurface::SetVisible(bool on) {
  visible_ = on;
  log_ << (on ? QStringLiteral("Show") : QStringLiteral("Hide"));
}

void FixedMetricsSurface::Cls() {
  x_ = y_ = 0;
  log_ << QStringLiteral("Cls");
}

void FixedMetricsSurface::Line(float x1, float y1, float x2, float y2, Colour c) {
  log_ << QStringLiteral("Line(%1,%2)-(%3,%4) %5").arg(Num(x1), Num(y1), Num(x2), Num(y2), Hex(c));
  x_ = x2;
  y_ = y2;
}

void FixedMetricsSurface::Box(float x1, float y1, float x2, float y2, Colour c, bool filled) {
  log_ << QStringLiteral("%1(%2,%3)-(%4,%5) %6")
              .arg(filled ? QStringLiteral("Fill") : QStringLiteral("Box"), Num(x1), Num(y1), Num(x2), Num(y2), Hex(c));
  x_ = x2;
  y_ = y2;
}

void FixedMetricsSurface::Print(const QString& text, bool lineEnd) {
  log_ << QStringLiteral("Print(%1,%2) %3 \"%4\"").arg(Num(x_), Num(y_), Hex(fore_), text);
  if (lineEnd) {
    x_ = 0;
    y_ += TextHeight(text);
  } else {
    x_ += TextWidth(text);
  }
}

QStringList FixedMetricsSurface::printed() const {
  QStringList out;
  for (const QString& line : log_) {
    if (!line.startsWith(QStringLiteral("Print("))) continue;
    const qsizetype close = line.indexOf(u')');
    const qsizetype quote = line.indexOf(u'"');
    out << line.mid(5, close - 4) + u' ' + line.mid(quote + 1, line.size() - quote - 2);
  }
  return out;
}

}  // namespace tidewake::test
