#include "ui/qtplatform/QtDrawSurface.h"

#include "ui/qtplatform/FontSubstitutions.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace tidewake {
namespace {

// Points to pixels at the 96 dots per inch the program's sizes are laid out for, rounded the way
// Windows picks a font's pixel height (11 pt is 15 pixels, 9 pt 12).
int PixelsForPoints(float points) {
  const long px = std::lround(static_cast<double>(points) * 96.0 / 72.0);
  return static_cast<int>(std::clamp(px, 1L, 4096L));
}

int Px(float v) {
  const double r = std::nearbyint(static_cast<double>(v));
  return static_cast<int>(std::clamp(r, -1.0e9, 1.0e9));
}

// The lines of a text as Print and the metrics see it: a carriage return, a line feed, or the pair
// ends a line.
QStringList SplitLines(const QString& text) {
  QStringList lines;
  QString current;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text[i];
    if (ch == u'\r' || ch == u'\n') {
      lines << current;
      current.clear();
      if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      current += ch;
    }
  }
  lines << current;
  return lines;
}

constexpr qsizetype kMaxMeasured = 4096;

bool HasLineBreak(const QString& text) { return text.contains(u'\r') || text.contains(u'\n'); }

// Windows system colour indexes and the palette roles that play their part in Qt.
QColor SystemColour(unsigned index) {
  const QPalette pal = QGuiApplication::palette();
  switch (index) {
    case 1:   // desktop
    case 4:   // menu
    case 30:  // menu bar
      return pal.color(QPalette::Window);
    case 5:  // window background
      return pal.color(QPalette::Base);
    case 6:  // window frame
    case 7:  // menu text
      return pal.color(QPalette::WindowText);
    case 8:  // window text
      return pal.color(QPalette::Text);
    case 2:   // active caption
    case 13:  // highlight
    case 27:  // active caption gradient
    case 29:  // menu highlight
      return pal.color(QPalette::Highlight);
    case 9:   // caption text
    case 14:  // highlighted text
      return pal.color(QPalette::HighlightedText);
    case 0:   // scroll bar
    case 10:  // active border
    case 11:  // inactive border
    case 15:  // button face
      return pal.color(QPalette::Button);
    case 3:   // inactive caption
    case 12:  // application workspace
    case 16:  // button shadow
    case 28:  // inactive caption gradient
      return pal.color(QPalette::Dark);
    case 17:  // grey text
      return pal.color(QPalette::Disabled, QPalette::Text);
    case 18:  // button text
      return pal.color(QPalette::ButtonText);
    case 19:  // inactive caption text
      return pal.color(QPalette::Disabled, QPalette::WindowText);
    case 20:  // button highlight
      return pal.color(QPalette::Light);
    case 21:  // dark 3-D shadow
      return pal.color(QPalette::Shadow);
    case 22:  // 3-D light
      return pal.color(QPalette::Midlight);
    case 23:  // tool-tip text
      return pal.color(QPalette::ToolTipText);
    case 24:  // tool-tip background
      return pal.color(QPalette::ToolTipBase);
    case 26:  // hot-tracked item
      return pal.color(QPalette::Link);
    default:
      return pal.color(QPalette::WindowText);
  }
}

}  // namespace

QColor ToQColor(Colour c) {
  if (IsSystemColour(c)) return SystemColour(c & 0xFFu);
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

QtDrawSurface::QtDrawSurface(int width, int height)
    : image_(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32),
      fontName_(QStringLiteral("ＭＳ ゴシック")) {
  RegisterFontSubstitutions();
  image_.fill(ToQColor(back_));
  UpdateFont();
}

QtDrawSurface::~QtDrawSurface() { EndPainting(); }

QPainter& QtDrawSurface::Painter() {
  if (!painter_) {
    painter_ = std::make_unique<QPainter>(&image_);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painterFontSet_ = false;
  }
  return *painter_;
}

void QtDrawSurface::EndPainting() const {
  if (painter_) {
    painter_->end();
    painter_.reset();
  }
}

const QImage& QtDrawSurface::Image() const {
  EndPainting();
  return image_;
}

void QtDrawSurface::Changed() {
  if (visible_ && changed_) changed_();
}

void QtDrawSurface::SetSize(float width, float height) {
  const int w = std::clamp(Px(width), 1, 32767);
  const int h = std::clamp(Px(height), 1, 32767);
  if (w == image_.width() && h == image_.height()) return;
  EndPainting();
  QImage grown(w, h, QImage::Format_RGB32);
  grown.fill(ToQColor(back_));
  {
    QPainter p(&grown);
    p.drawImage(0, 0, image_);
  }
  image_ = std::move(grown);
  Changed();
}

// ---- font ----

void QtDrawSurface::UpdateFont() {
  font_ = QFont(InstalledFamily(fontName_));
  font_.setPixelSize(PixelsForPoints(fontPoints_));
  font_.setBold(bold_);
  font_.setItalic(italic_);
  font_.setStrikeOut(strikethru_);
  font_.setUnderline(underline_);
  // Whole-pixel advances and crisp glyphs, the way the Windows fonts show at these sizes; no
  // kerning, so that a text is as wide as its characters added up.
  font_.setHintingPreference(QFont::PreferFullHinting);
  // The Japanese fonts the program names hold every character the official files use (checked
  // on 2½ years of them): no font is looked for to merge, which would cost a tenth of a second.
  font_.setStyleStrategy(IsSubstitutedFont(fontName_) ? QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging)
                                                      : QFont::NoAntialias);
  font_.setKerning(false);
  metrics_ = std::make_unique<QFontMetrics>(font_);
  lineHeight_ = IsSubstitutedFont(fontName_) ? font_.pixelSize() : metrics_->height();
  asciiAdvance_.fill(-1);
  advance_.clear();
  painterFontSet_ = false;
}

void QtDrawSurface::SetFontName(const QString& name) {
  fontName_ = name;
  UpdateFont();
}

void QtDrawSurface::SetFontSize(float points) {
  fontPoints_ = points;
  UpdateFont();
}

void QtDrawSurface::SetFontBold(bool on) {
  bold_ = on;
  UpdateFont();
}

void QtDrawSurface::SetFontItalic(bool on) {
  italic_ = on;
  UpdateFont();
}

void QtDrawSurface::SetFontStrikethru(bool on) {
  strikethru_ = on;
  UpdateFont();
}

void QtDrawSurface::SetFontUnderline(bool on) {
  underline_ = on;
  UpdateFont();
}

int QtDrawSurface::Advance(const QString& line) const {
  if (line.size() == 1 && line[0].unicode() < asciiAdvance_.size()) {
    int& w = asciiAdvance_[line[0].unicode()];
    if (w < 0) w = metrics_->horizontalAdvance(line);
    return w;
  }
  const auto found = advance_.constFind(line);
  if (found != advance_.constEnd()) return *found;
  // Bounded: the texts of a card and a race are few, but nothing stops a caller measuring many.
  if (advance_.size() >= kMaxMeasured) advance_.clear();
  const int w = metrics_->horizontalAdvance(line);
  advance_.insert(line, w);
  return w;
}

float QtDrawSurface::TextWidth(const QString& text) const {
  if (!HasLineBreak(text)) return static_cast<float>(Advance(text));
  int widest = 0;
  for (const QString& line : SplitLines(text)) widest = std::max(widest, Advance(line));
  return static_cast<float>(widest);
}

float QtDrawSurface::TextHeight(const QString& text) const {
  const qsizetype lines = HasLineBreak(text) ? SplitLines(text).size() : 1;
  return static_cast<float>(lines * lineHeight_);
}

// ---- drawing ----

void QtDrawSurface::SetBackColor(Colour c) {
  back_ = c;
  Cls();
}

void QtDrawSurface::SetPicture(const QImage& picture) {
  picture_ = picture;
  const float x = x_;
  const float y = y_;
  Cls();
  // Showing a picture is not a Cls: the print position stays where it was.
  x_ = x;
  y_ = y;
}

void QtDrawSurface::SetVisible(bool on) {
  const bool was = visible_;
  visible_ = on;
  if (on != was && visibilityChanged_) visibilityChanged_(on);
  if (on && !was) Changed();
}

void QtDrawSurface::Cls() {
  QPainter& p = Painter();
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(image_.rect(), ToQColor(back_));
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (!picture_.isNull()) p.drawImage(0, 0, picture_);
  x_ = 0;
  y_ = 0;
  Changed();
}

void QtDrawSurface::Line(float x1, float y1, float x2, float y2, Colour c) {
  QPainter& p = Painter();
  QPen pen(ToQColor(c));
  pen.setWidth(drawWidth_);
  pen.setStyle(Qt::SolidLine);
  p.setPen(pen);
  const QPoint a(Px(x1), Px(y1));
  const QPoint b(Px(x2), Px(y2));
  if (a == b) {
    p.drawPoint(a);
  } else {
    p.drawLine(a, b);
  }
  x_ = x2;
  y_ = y2;
  Changed();
}

void QtDrawSurface::Box(float x1, float y1, float x2, float y2, Colour c, bool filled) {
  QPainter& p = Painter();
  const QColor colour = ToQColor(c);
  // Both corners are inside the box, as they are on a picture box.
  const int left = std::min(Px(x1), Px(x2));
  const int top = std::min(Px(y1), Px(y2));
  const QRect r(QPoint(left, top), QPoint(std::max(Px(x1), Px(x2)), std::max(Px(y1), Px(y2))));
  if (filled) {
    p.fillRect(r, colour);
  } else {
    const int t = std::min({drawWidth_, r.width(), r.height()});
    p.fillRect(QRect(r.left(), r.top(), r.width(), t), colour);
    p.fillRect(QRect(r.left(), r.bottom() - t + 1, r.width(), t), colour);
    p.fillRect(QRect(r.left(), r.top(), t, r.height()), colour);
    p.fillRect(QRect(r.right() - t + 1, r.top(), t, r.height()), colour);
  }
  x_ = x2;
  y_ = y2;
  Changed();
}

void QtDrawSurface::Print(const QString& text, bool lineEnd) {
  QPainter& p = Painter();
  if (!painterFontSet_) {
    p.setFont(font_);
    painterFontSet_ = true;
  }
  p.setPen(ToQColor(fore_));
  const QStringList lines = HasLineBreak(text) ? SplitLines(text) : QStringList{text};
  for (qsizetype i = 0; i < lines.size(); ++i) {
    // The top-left corner of the text sits at the current position.
    if (!lines[i].isEmpty()) p.drawText(QPoint(Px(x_), Px(y_) + metrics_->ascent()), lines[i]);
    if (i + 1 < lines.size()) {
      x_ = 0;
      y_ += static_cast<float>(lineHeight_);
    }
  }
  if (lineEnd) {
    x_ = 0;
    y_ += static_cast<float>(lineHeight_);
  } else {
    x_ += TextWidth(lines.last());
  }
  Changed();
}

}  // namespace tidewake
