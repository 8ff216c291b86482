#pragma once

// Test doubles of the platform interfaces: a message box that records and answers from a script,
// a virtual clock, a scripted random sequence, a drawing surface with fixed metrics that logs its
// calls, and a file dialog that returns a chosen path. Each installs itself for its lifetime and
// puts back what was installed before.

#include "platform/Clock.h"
#include "platform/DrawSurface.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"

#include <QString>
#include <QStringList>

#include "tests/common/QtPrinters.h"

#include <deque>
#include <functional>
#include <vector>

namespace tidewake::test {

struct RecordedBox {
  QString text;
  MsgButtons buttons;
  MsgIcon icon;
  QString title;
  QString details = {};  // the details area's text, when the box has one
};

class RecordingMessageBox final : public IMessageBox {
 public:
  RecordingMessageBox() { previous_ = SetMessageBoxHandler(this); }
  ~RecordingMessageBox() override { SetMessageBoxHandler(previous_); }
  RecordingMessageBox(const RecordingMessageBox&) = delete;
  RecordingMessageBox& operator=(const RecordingMessageBox&) = delete;

  MsgResult Show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
  MsgResult ShowDetails(const QString& text, const QString& details, MsgButtons buttons, MsgIcon icon,
                        const QString& title) override;

  // Answers for Yes/No boxes, in order; when they run out the answer is No.
  void AnswerNext(MsgResult r) { answers_.push_back(r); }

  const std::vector<RecordedBox>& boxes() const { return boxes_; }
  void clear() { boxes_.clear(); }

 private:
  IMessageBox* previous_ = nullptr;
  std::vector<RecordedBox> boxes_;
  std::deque<MsgResult> answers_;
};

// The box every test main installs: a message box that no test asked for is a fault of the code
// under test. Tests that expect boxes install a RecordingMessageBox over it.
class UnexpectedMessageBox final : public IMessageBox {
 public:
  MsgResult Show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
};

// Milliseconds advance only when a run waits, so a whole race takes no real time. DoEvents calls
// the hook, through which a test presses Escape or closes the window at a chosen moment.
class VirtualClock final : public IClock {
 public:
  explicit VirtualClock(std::int32_t start = 1000) : now_(start) { previous_ = SetClock(this); }
  ~VirtualClock() override { SetClock(previous_); }
  VirtualClock(const VirtualClock&) = delete;
  VirtualClock& operator=(const VirtualClock&) = delete;

  std::int32_t Milliseconds() override { return now_; }
  void DoEvents() override {
    ++pumps_;
    if (onEvents) onEvents();
  }
  void Wait(std::int32_t ms) override {
    ++waits_;
    if (ms > 0) now_ += ms;
    if (onWait) onWait(ms);
  }

  // Lets a test spend "work time" inside a frame.
  void Advance(std::int32_t ms) { now_ += ms; }

  int pumps() const { return pumps_; }
  int waits() const { return waits_; }

  std::function<void()> onEvents;
  // Called after each wait with its milliseconds: a key pressed while the run waits.
  std::function<void(std::int32_t)> onWait;

 private:
  IClock* previous_ = nullptr;
  std::int32_t now_;
  int pumps_ = 0;
  int waits_ = 0;
};

// Hands out the given numbers in order; after the last it starts again from the first (or
// returns `fallback` when the script is empty).
class ScriptedRandom final : public IRandom {
 public:
  explicit ScriptedRandom(std::vector<float> values = {}, float fallback = 0.5f)
      : values_(std::move(values)), fallback_(fallback) {
    previous_ = SetRandom(this);
  }
  ~ScriptedRandom() override { SetRandom(previous_); }
  ScriptedRandom(const ScriptedRandom&) = delete;
  ScriptedRandom& operator=(const ScriptedRandom&) = delete;

  float Rnd() override;
  void Randomize() override { ++reseeds_; }

  void Script(std::vector<float> values) {
    values_ = std::move(values);
    next_ = 0;
  }
  int draws() const { return draws_; }
  int reseeds() const { return reseeds_; }

 private:
  IRandom* previous_ = nullptr;
  std::vector<float> values_;
  float fallback_;
  std::size_t next_ = 0;
  int draws_ = 0;
  int reseeds_ = 0;
};

// Every character is `charWidth` pixels wide and every text `lineHeight` high, so layouts can be
// computed by hand. Each drawing call is appended to log() as one readable line.
class FixedMetricsSurface final : public IDrawSurface {
 public:
  FixedMetricsSurface(float width = 800, float height = 200, float charWidth = 8, float lineHeight = 16)
      : width_(width), height_(height), charWidth_(charWidth), lineHeight_(lineHeight) {}

  float ScaleWidth() const override { return width_; }
  float ScaleHeight() const override { return height_; }
  float Width() const override { return width_; }
  float Height() const override { return height_; }
  void SetSize(float width, float height) override;

  void SetScaleMode(int mode) override { scaleMode = mode; }
  void SetAutoRedraw(bool on) override { autoRedraw = on; }
  void SetDrawMode(int mode) override { drawMode = mode; }
  void SetDrawStyle(int style) override { drawStyle = style; }
  void SetDrawWidth(int width) override { drawWidth = width; }

  QString FontName() const override { return fontName_; }
  void SetFontName(const QString& name) override { fontName_ = name; }
  float FontSize() const override { return fontSize_; }
  void SetFontSize(float points) override { fontSize_ = points; }
  bool FontBold() const override { return bold_; }
  void SetFontBold(bool on) override { bold_ = on; }
  void SetFontItalic(bool on) override { italic = on; }
  void SetFontStrikethru(bool on) override { strikethru = on; }
  void SetFontUnderline(bool on) override { underline = on; }

  Colour ForeColor() const override { return fore_; }
  void SetForeColor(Colour c) override { fore_ = c; }
  Colour BackColor() const override { return back_; }
  void SetBackColor(Colour c) override;

  float CurrentX() const override { return x_; }
  float CurrentY() const override { return y_; }
  void SetCurrentX(float x) override { x_ = x; }
  void SetCurrentY(float y) override { y_ = y; }

  bool Visible() const override { return visible_; }
  void SetVisible(bool on) override;

  void Cls() override;
  void Line(float x1, float y1, float x2, float y2, Colour c) override;
  void Box(float x1, float y1, float x2, float y2, Colour c, bool filled) override;
  void Print(const QString& text, bool lineEnd = true) override;

  float TextWidth(const QString& text) const override { return charWidth_ * static_cast<float>(text.size()); }
  float TextHeight(const QString&) const override { return lineHeight_; }

  const QStringList& log() const { return log_; }
  void clearLog() { log_.clear(); }
  // The printed texts, in order, with where they were printed: "(x,y) text".
  QStringList printed() const;

  int scaleMode = 0;
  bool autoRedraw = false;
  int drawMode = 0;
  int drawStyle = 0;
  int drawWidth = 0;
  bool italic = false;
  bool strikethru = false;
  bool underline = false;

 private:
  float width_, height_, charWidth_, lineHeight_;
  QString fontName_;
  float fontSize_ = 9;
  bool bold_ = false;
  Colour fore_ = 0;
  Colour back_ = 0xFFFFFF;
  float x_ = 0, y_ = 0;
  bool visible_ = true;
  QStringList log_;
};

class ChosenFileDialog final : public IFileDialog {
 public:
  explicit ChosenFileDialog(QString path = {}) : path_(std::move(path)) { previous_ = SetFileDialog(this); }
  ~ChosenFileDialog() override { SetFileDialog(previous_); }
  ChosenFileDialog(const ChosenFileDialog&) = delete;
  ChosenFileDialog& operator=(const ChosenFileDialog&) = delete;

  QString GetOpenFileName(const QString& filter, const QString& initialFolder, const QString& title) override {
    lastFilter = filter;
    lastFolder = initialFolder;
    lastTitle = title;
    ++calls;
    return path_;
  }
  // The folder choice answers the same path.
  QString GetExistingDirectory(const QString& initialFolder, const QString& title) override {
    lastFolder = initialFolder;
    lastTitle = title;
    ++calls;
    return path_;
  }
  // The save dialog answers the same path.
  QString GetSaveFileName(const QString& filter, const QString& initialPath, const QString& title) override {
    lastFilter = filter;
    lastFolder = initialPath;
    lastTitle = title;
    ++calls;
    return path_;
  }

  QString lastFilter, lastFolder, lastTitle;
  int calls = 0;

 private:
  IFileDialog* previous_ = nullptr;
  QString path_;
};

}  // namespace tidewake::test
