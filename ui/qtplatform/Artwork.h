#pragma once

// The pictures of the race view, drawn with QPainter when the window starts: the boats in their
// colours and headings, the turn mark, the start clock's face and the window icon. No image files.

#include <QImage>

#include <vector>

namespace tidewake {

inline constexpr int kBoatPictureSize = 33;
inline constexpr int kBoatHeadings = 6;
inline constexpr int kTurnMarkWidth = 16;
inline constexpr int kTurnMarkHeight = 32;
inline constexpr int kClockFaceWidth = 88;
inline constexpr int kClockFaceHeight = 99;

// The heading of picture k (1..6) in degrees anticlockwise from heading right, as seen on the
// water: 1 right, 2 and 3 turning upwards to 4 left, 5 and 6 turning downwards back to 1.
double BoatHeadingDegrees(int pictureNo);

// The picture list imgBoat: 36 pictures of 33 x 33 pixels on a transparent background. Vector
// index (b - 1) * 6 + k - 1 is boat b (1..6) in heading k (1..6), in the boat's colours.
std::vector<QImage> BoatPictureList();

// One boat b (1..6) in heading k (1..6), on a transparent background of the given size.
QImage BoatPicture(int boat, int pictureNo, int size = kBoatPictureSize);

// The turn-mark buoy standing on the water, 16 x 32, transparent around it.
QImage TurnMarkPicture();

// The start clock's face, 88 x 99 and opaque: a dark dial with twelve marks round the point
// (44, 49.5) where the hand turns, the mark at the top (the start) in red.
QImage ClockFacePicture();

// The window icon at `size` x `size` pixels: a racing boat on the water.
QImage WindowIconPicture(int size);

}  // namespace tidewake
