#pragma once

// Test doubles of the race scene and a harness that runs the simulation headless: a virtual
// clock, a recording scene, a message box that answers from a script, and a hook at every event
// pump (once a frame), through which a test presses Escape or closes the window.

#include "platform/RaceScene.h"
#include "platform/Random.h"
#include "sim/mGlobal.h"
#include "tests/common/TestDoubles.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <ostream>
#include <random>
#include <vector>

namespace tidewake::test {

class RecordingScene;

class RecordingLabel final : public ISceneLabel {
 public:
  explicit RecordingLabel(RecordingScene& scene) : scene_(scene) {}
  QString Caption() const override { return caption_; }
  void SetCaption(const QString& text) override;
  Colour ForeColor() const override { return fore_; }
  void SetForeColor(Colour c) override;
  float Left() const override { return left_; }
  float Top() const override { return top_; }
  float Width() const override { return width; }
  float Height() const override { return height; }
  void Move(float left, float top) override;
  bool Visible() const override { return visible_; }
  void SetVisible(bool on) override;

  float width = 233;
  float height = 15;
  // Every caption the label was given, in order.
  QStringList captions;

 private:
  RecordingScene& scene_;
  QString caption_ = QStringLiteral("スタート");
  Colour fore_ = 0x0000FF;
  float left_ = 292, top_ = 188;
  bool visible_ = true;
};

class RecordingImage final : public ISceneImage {
 public:
  RecordingImage(RecordingScene& scene, QString name, float width, float height)
      : width(width), height(height), scene_(scene), name_(std::move(name)) {}
  float Left() const override { return left_; }
  float Top() const override { return top_; }
  float Width() const override { return width; }
  float Height() const override { return height; }
  void Move(float left, float top) override;
  bool Visible() const override { return visible_; }
  void SetVisible(bool on) override;
  int Picture() const override { return picture_; }
  void SetPicture(int item) override;

  float width, height;

 private:
  RecordingScene& scene_;
  QString name_;
  float left_ = 0, top_ = 0;
  bool visible_ = true;
  int picture_ = 0;
};

// The window's controls in the window's sizes; every call that changes something is appended to
// log() as one readable line ("imgRaceBoat(2).Move(217.5,260)", "lblStart.Caption スタート！").
class RecordingScene final : public IRaceScene {
 public:
  RecordingScene();
  ~RecordingScene() override;
  RecordingScene(const RecordingScene&) = delete;
  RecordingScene& operator=(const RecordingScene&) = delete;

  IDrawSurface& picPool() override { return pool; }
  IDrawSurface& picClock() override { return clock; }
  void MoveClock(float left, float top) override;
  ISceneLabel& lblStart() override { return label; }
  ISceneImage& imgTurnMark(int index) override;
  ISceneImage& imgRaceBoat(int index) override;
  std::int16_t SelectedJyoCode() const override { return jyoCode; }
  QString RaceNoText() const override { return raceNoText; }
  void Unload() override;

  void Record(const QString& line) {
    if (recording) log << line;
  }

  FixedMetricsSurface pool{828, 400, 6, 12};
  FixedMetricsSurface clock{88, 99, 6, 12};
  RecordingLabel label{*this};
  std::array<RecordingImage, 2> marks;
  std::array<RecordingImage, 6> boats;
  float clockLeft = 0, clockTop = 0;
  std::int16_t jyoCode = 12;
  QString raceNoText = QStringLiteral("12 R");
  int unloads = 0;
  bool recording = true;
  // The mark pictures fail as a control that cannot be reached would.
  bool marksFail = false;
  QStringList log;

 private:
  IRaceScene* previous_ = nullptr;
};

// A seeded Mersenne Twister whose reseeding from the clock is counted but changes nothing, so a
// run with real-looking chance is still repeatable.
class SeededRandom final : public IRandom {
 public:
  explicit SeededRandom(std::uint32_t seed) : engine_(seed) { previous_ = SetRandom(this); }
  ~SeededRandom() override { SetRandom(previous_); }
  SeededRandom(const SeededRandom&) = delete;
  SeededRandom& operator=(const SeededRandom&) = delete;
  float Rnd() override { return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f); }
  void Randomize() override { ++reseeds; }
  void Seed(std::uint32_t seed) { engine_.seed(seed); }
  int reseeds = 0;

 private:
  IRandom* previous_ = nullptr;
  std::mt19937 engine_;
};

// The card values EntrantDataSet copies into an entrant record.
struct CardEntry {
  float weight = 52;
  float syoritu = 6.0f;
  float rentairitu2 = 40.0f;
  float motorRentairitu2 = 40.0f;
  float boatRentairitu2 = 40.0f;
  std::int16_t course = 1;
  QString name;
};

// What the window does right before a run: copy the card into the records (weights below 50
// raised to 50).
void EntrantDataSet(const std::array<CardEntry, 6>& card);
// Six average racers on their own courses, named 選手一..選手六.
std::array<CardEntry, 6> PlainCard();

// What a test sees at one event pump.
struct Snapshot {
  int pump;  // 1-based count of pumps in the run
  std::int16_t frame;
  float clock;
  std::int16_t goal;
  std::array<EntrantType, 6> boats;
};

// The clock, scene and message box of a headless run, with a snapshot at every pump.
class RunHarness {
 public:
  RunHarness();
  // Called at every pump after the snapshot, with the pump's number.
  std::function<void(int)> atPump;
  std::vector<Snapshot> snaps;
  bool keepSnapshots = true;

  VirtualClock clock;
  RecordingScene scene;
  RecordingMessageBox boxes;
};

}  // namespace tidewake::test

