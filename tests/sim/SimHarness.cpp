#include "tests/sim/SimHarness.h"

#include "platform/RuntimeError.h"

namespace tidewake::test {
namespace {
QString Num(float v) { return QString::number(v, 'g', 9); }
}  // namespace

void RecordingLabel::SetCaption(const QString& text) {
  caption_ = text;
  captions << text;
  scene_.Record(QStringLiteral("lblStart.Caption ") + text);
}

void RecordingLabel::SetForeColor(Colour c) {
  fore_ = c;
  scene_.Record(QStringLiteral("lblStart.ForeColor #") +
                QStringLiteral("%1").arg(c, 6, 16, QLatin1Char('0')).toUpper());
}

void RecordingLabel::Move(float left, float top) {
  left_ = left;
  top_ = top;
  scene_.Record(QStringLiteral("lblStart.Move(%1,%2)").arg(Num(left), Num(top)));
}

void RecordingLabel::SetVisible(bool on) {
  visible_ = on;
  scene_.Record(on ? QStringLiteral("lblStart.Show") : QStringLiteral("lblStart.Hide"));
}

void RecordingImage::Move(float left, float top) {
  left_ = left;
  top_ = top;
  if (scene_.recording) scene_.Record(name_ + QStringLiteral(".Move(%1,%2)").arg(Num(left), Num(top)));
}

void RecordingImage::SetVisible(bool on) {
  visible_ = on;
  scene_.Record(name_ + (on ? QStringLiteral(".Show") : QStringLiteral(".Hide")));
}

void RecordingImage::SetPicture(int item) {
  picture_ = item;
  if (scene_.recording) scene_.Record(name_ + QStringLiteral(".Picture %1").arg(item));
}

RecordingScene::RecordingScene()
    : marks{RecordingImage(*this, QStringLiteral("imgTurnMark(0)"), 16, 32),
            RecordingImage(*this, QStringLiteral("imgTurnMark(1)"), 16, 32)},
      boats{RecordingImage(*this, QStringLiteral("imgRaceBoat(0)"), 33, 33),
            RecordingImage(*this, QStringLiteral("imgRaceBoat(1)"), 33, 33),
            RecordingImage(*this, QStringLiteral("imgRaceBoat(2)"), 33, 33),
            RecordingImage(*this, QStringLiteral("imgRaceBoat(3)"), 33, 33),
            RecordingImage(*this, QStringLiteral("imgRaceBoat(4)"), 33, 33),
            RecordingImage(*this, QStringLiteral("imgRaceBoat(5)"), 33, 33)} {
  previous_ = SetRaceScene(this);
}

RecordingScene::~RecordingScene() { SetRaceScene(previous_); }

void RecordingScene::MoveClock(float left, float top) {
  clockLeft = left;
  clockTop = top;
  Record(QStringLiteral("picClock.Move(%1,%2)").arg(Num(left), Num(top)));
}

ISceneImage& RecordingScene::imgTurnMark(int index) {
  if (marksFail) throw RuntimeError(ErrNo::SubscriptOutOfRange, QStringLiteral("imgTurnMark を読み込めません"));
  CheckIndex(QStringLiteral("imgTurnMark"), index, 0, 1);
  return marks[static_cast<std::size_t>(index)];
}

ISceneImage& RecordingScene::imgRaceBoat(int index) {
  CheckIndex(QStringLiteral("imgRaceBoat"), index, 0, 5);
  return boats[static_cast<std::size_t>(index)];
}

void RecordingScene::Unload() {
  ++unloads;
  Record(QStringLiteral("Unload"));
}

void EntrantDataSet(const std::array<CardEntry, 6>& card) {
  for (std::size_t i = 0; i < card.size(); ++i) {
    EntrantType& e = gtypEntrant[i];
    e.Weight = card[i].weight < 50 ? 50 : card[i].weight;
    e.Syoritu = card[i].syoritu;
    e.Rentairitu2 = card[i].rentairitu2;
    e.MotorRentairitu2 = card[i].motorRentairitu2;
    e.BoatRentairitu2 = card[i].boatRentairitu2;
    e.Course = card[i].course;
    e.Name = card[i].name;
  }
}

std::array<CardEntry, 6> PlainCard() {
  const char16_t* names[] = {u"選手一", u"選手二", u"選手三", u"選手四", u"選手五", u"選手六"};
  std::array<CardEntry, 6> card;
  for (std::size_t i = 0; i < card.size(); ++i) {
    card[i].course = static_cast<std::int16_t>(i + 1);
    card[i].name = QString::fromUtf16(names[i]);
  }
  return card;
}

RunHarness::RunHarness() {
  gblnQuit = false;
  gblnRunning = false;
  clock.onEvents = [this] {
    const int pump = clock.pumps();
    if (keepSnapshots) snaps.push_back({pump, gintFrame, gsngClock, gintGoal, gtypEntrant});
    if (atPump) atPump(pump);
  };
}

}  // namespace tidewake::test
