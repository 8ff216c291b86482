#include "ui/qtplatform/Artwork.h"

#include "sim/mMain.h"
#include "ui/qtplatform/QtDrawSurface.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tidewake {
namespace {

const QColor kWater(0, 160, 192);

QColor BoatColour(int boat, bool hull) {
  const auto c = BoatColor(static_cast<std::int16_t>(boat), hull);
  return c ? ToQColor(*c) : (hull ? QColor(Qt::white) : QColor(Qt::black));
}

QImage Transparent(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

// A racing hydroplane seen from above, bow towards +x, drawn in a frame 30 units long centred on
// the origin (bow tip at 14.5, outboard motor to -15.5), so that it fits a circle of radius 16
// in any heading and the picture's corners stay clear.
void PaintBoat(QPainter& p, const QColor& hull, const QColor& trim) {
  p.save();
  // Wake: two pale streaks off the transom, the boat's trail on the water.
  QPen wake(QColor(255, 255, 255, 150), 1.2);
  wake.setCapStyle(Qt::RoundCap);
  p.setPen(wake);
  p.drawLine(QPointF(-13.5, -4.5), QPointF(-15.5, -6.0));
  p.drawLine(QPointF(-13.5, 4.5), QPointF(-15.5, 6.0));

  // Outboard motor on the transom's centre.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 40, 40));
  p.drawRoundedRect(QRectF(-15.5, -2.0, 3.5, 4.0), 1.0, 1.0);

  // Hull: a square transom, straight sides and a pointed bow, so the heading reads at a glance.
  QPainterPath hullPath;
  hullPath.moveTo(-13.0, -5.5);
  hullPath.lineTo(1.0, -6.0);
  hullPath.quadTo(10.5, -5.5, 14.5, 0.0);
  hullPath.quadTo(10.5, 5.5, 1.0, 6.0);
  hullPath.lineTo(-13.0, 5.5);
  hullPath.closeSubpath();
  p.setBrush(hull);
  QPen outline(trim, 1.2);
  outline.setJoinStyle(Qt::MiterJoin);
  p.setPen(outline);
  p.drawPath(hullPath);

  // Fore deck: the stripe along the keel line to the bow.
  QPen stripe(trim, 1.4);
  stripe.setCapStyle(Qt::FlatCap);
  p.setPen(stripe);
  p.drawLine(QPointF(3.0, 0.0), QPointF(12.0, 0.0));

  // Cockpit behind the fore deck, and the racer's helmet in it in the boat's colour.
  p.setPen(Qt::NoPen);
  p.setBrush(trim);
  p.drawRoundedRect(QRectF(-9.0, -3.5, 9.5, 7.0), 2.0, 2.0);
  p.setBrush(hull);
  p.setPen(QPen(trim, 0.8));
  p.drawEllipse(QPointF(-3.0, 0.0), 2.4, 2.4);
  p.restore();
}

}  // namespace

double BoatHeadingDegrees(int pictureNo) {
  switch (pictureNo) {
    case 2:
      return 30;
    case 3:
      return 90;
    case 4:
      return 180;
    case 5:
      return 210;
    case 6:
      return 270;
    default:
      return 0;
  }
}

QImage BoatPicture(int boat, int pictureNo, int size) {
  QImage image = Transparent(size, size);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.translate(size / 2.0, size / 2.0);
  p.scale(size / 33.0, size / 33.0);
  // Anticlockwise on the screen is a negative rotation, Y growing downwards.
  p.rotate(-BoatHeadingDegrees(pictureNo));
  PaintBoat(p, BoatColour(boat, true), BoatColour(boat, false));
  return image;
}

std::vector<QImage> BoatPictureList() {
  std::vector<QImage> list;
  list.reserve(6 * kBoatHeadings);
  for (int boat = 1; boat <= 6; ++boat) {
    for (int k = 1; k <= kBoatHeadings; ++k) list.push_back(BoatPicture(boat, k));
  }
  return list;
}

QImage TurnMarkPicture() {
  QImage image = Transparent(kTurnMarkWidth, kTurnMarkHeight);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  // Ripples round the foot: the buoy stands in the water, its foot 5 pixels below the course line.
  p.setPen(QPen(QColor(255, 255, 255, 170), 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QRectF(0.5, 26.5, 15.0, 4.0));
  // Flag on a short pole, so the mark reads from afar.
  p.setPen(QPen(QColor(60, 60, 60), 1.0));
  p.drawLine(QPointF(8.0, 1.0), QPointF(8.0, 9.0));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(230, 30, 30));
  p.drawPolygon(QPolygonF({QPointF(8.5, 1.0), QPointF(14.0, 3.0), QPointF(8.5, 5.0)}));
  // The orange body with its white bands, rounded at the top.
  QPainterPath body;
  body.moveTo(2.5, 28.5);
  body.lineTo(3.5, 13.0);
  body.quadTo(8.0, 6.5, 12.5, 13.0);
  body.lineTo(13.5, 28.5);
  body.quadTo(8.0, 30.5, 2.5, 28.5);
  QLinearGradient shade(2.0, 0.0, 14.0, 0.0);
  shade.setColorAt(0.0, QColor(255, 170, 60));
  shade.setColorAt(0.45, QColor(255, 120, 0));
  shade.setColorAt(1.0, QColor(190, 70, 0));
  p.setBrush(shade);
  p.setPen(QPen(QColor(120, 40, 0), 1.0));
  p.drawPath(body);
  p.setClipPath(body);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 230));
  p.drawRect(QRectF(0.0, 16.0, 16.0, 2.5));
  p.drawRect(QRectF(0.0, 22.0, 16.0, 2.5));
  return image;
}

QImage ClockFacePicture() {
  QImage image(kClockFaceWidth, kClockFaceHeight, QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor(48, 52, 60));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QPointF centre(kClockFaceWidth / 2.0, kClockFaceHeight / 2.0);
  // The hand reaches 22 pixels across and 27.5 down (the face's half sizes less 22), so the face
  // is an ellipse of the same proportions, the marks just beyond the hand's tip.
  const double rx = centre.x() - 22;
  const double ry = centre.y() - 22;
  // Housing and dial.
  p.setPen(QPen(QColor(150, 155, 165), 2.0));
  p.setBrush(QColor(20, 22, 28));
  p.drawEllipse(centre, rx * 1.82, ry * 1.68);
  p.setPen(QPen(QColor(90, 95, 105), 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(centre, rx * 1.25, ry * 1.2);
  for (int mark = 0; mark < 12; ++mark) {
    const double a = mark * 30.0 * std::numbers::pi / 180.0;
    const double dx = std::sin(a);
    const double dy = -std::cos(a);
    const bool start = mark == 0;
    const double inner = start ? 1.22 : (mark % 3 == 0 ? 1.3 : 1.4);
    QPen pen(start ? QColor(255, 60, 40) : QColor(235, 235, 235), start ? 4.0 : (mark % 3 == 0 ? 2.5 : 2.0));
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(QPointF(centre.x() + dx * rx * inner, centre.y() + dy * ry * inner),
               QPointF(centre.x() + dx * rx * 1.62, centre.y() + dy * ry * 1.52));
  }
  // The hub the hand turns on.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(150, 155, 165));
  p.drawEllipse(centre, 2.5, 2.5);
  return image;
}

QImage WindowIconPicture(int size) {
  size = std::clamp(size, 1, 1024);
  QImage image = Transparent(size, size);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const double s = size / 33.0;
  p.scale(s, s);
  p.setPen(Qt::NoPen);
  p.setBrush(kWater);
  p.drawRoundedRect(QRectF(0.5, 0.5, 32.0, 32.0), 6.0, 6.0);
  p.setPen(QPen(QColor(255, 255, 255, 110), 1.0));
  p.drawLine(QPointF(4.0, 25.0), QPointF(12.0, 25.0));
  p.drawLine(QPointF(20.0, 8.0), QPointF(29.0, 8.0));
  p.translate(16.5, 16.5);
  p.rotate(-30);
  p.scale(1.05, 1.05);
  PaintBoat(p, BoatColour(3, true), BoatColour(3, false));
  return image;
}

}  // namespace tidewake
