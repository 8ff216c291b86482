#pragma once

#include "platform/DrawSurface.h"

#include <QString>

#include <cstdint>

namespace tidewake {

// The announcement label over the water (lblStart).
class ISceneLabel {
 public:
  virtual ~ISceneLabel() = default;
  virtual QString Caption() const = 0;
  virtual void SetCaption(const QString& text) = 0;
  virtual Colour ForeColor() const = 0;
  virtual void SetForeColor(Colour c) = 0;
  virtual float Left() const = 0;
  virtual float Top() const = 0;
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  // Moves the label's top-left corner; its size stays.
  virtual void Move(float left, float top) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool on) = 0;
};

// An image control on the water: a turn mark (imgTurnMark) or a boat (imgRaceBoat).
class ISceneImage {
 public:
  virtual ~ISceneImage() = default;
  virtual float Left() const = 0;
  virtual float Top() const = 0;
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  // Moves the image's top-left corner; its size stays.
  virtual void Move(float left, float top) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool on) = 0;
  // The item of the boat picture list imgBoat shown, counted from 1: picture k (1..6) of boat
  // b (1..6) is item (b - 1) * 6 + k. 0 while the control shows its own picture (the marks).
  virtual int Picture() const = 0;
  virtual void SetPicture(int item) = 0;
};

// The controls of the main window that a run moves and draws on. The window implements it; a run
// reaches it only through RaceScene(), so the simulation holds no window of its own.
class IRaceScene {
 public:
  virtual ~IRaceScene() = default;

  // The water (picPool) and the start clock face (picClock), which lies on the water.
  virtual IDrawSurface& picPool() = 0;
  virtual IDrawSurface& picClock() = 0;
  // Places picClock's top-left corner on the water.
  virtual void MoveClock(float left, float top) = 0;

  virtual ISceneLabel& lblStart() = 0;
  // index 0 (the first mark, right of the line) or 1; anything else throws the subscript failure.
  virtual ISceneImage& imgTurnMark(int index) = 0;
  // index 0..5 (boat number - 1); anything else throws the subscript failure.
  virtual ISceneImage& imgRaceBoat(int index) = 0;

  // The item data of the venue selector's (cboJyo) selected item: the venue code, 0 when no venue
  // is selected.
  virtual std::int16_t SelectedJyoCode() const = 0;
  // The race selector's (cboRaceNo) text, such as "12 R".
  virtual QString RaceNoText() const = 0;

  // Closes the main window: a run that saw the quit flag calls this on its way out.
  virtual void Unload() = 0;
};

// The installed scene. Until the window installs its own, a headless scene stands in: the
// window's layout (water 828 x 400, clock 88 x 99, label 233 x 15, marks 16 x 32, boats 33 x 33)
// with controls that keep their positions and surfaces that draw nothing.
IRaceScene& RaceScene();
IRaceScene* SetRaceScene(IRaceScene* scene);

}  // namespace tidewake
