#include "ui/RaceCard.h"

#include "session/CardColumn.h"
#include "sim/mMain.h"

namespace tidewake {

bool RaceCardSetUp(cGrid& grid, IDrawSurface& picture, bool paint) {
  const bool bound = grid.Init(&picture, kCardColumns, 7, true, false);
  grid.SetRefreshFlg(false);
  picture.SetFontSize(11);
  grid.SetAllTextLine(1);
  grid.SetFormatString(CardFormatString());
  grid.SetRowTextLine(0, 2);
  for (std::int16_t c = 0; c < kCardColumns; ++c) {
    const QString second = CardHeaderSecondLine(static_cast<CardColumn>(c));
    if (!second.isEmpty()) grid.SetCellValue(0, c, grid.CellValue(0, c) + QStringLiteral("\r\n") + second);
  }
  grid.SetRowTextAlign(0, 2);
  for (std::int16_t boat = 1; boat <= 6; ++boat) {
    grid.SetCellBackColor(boat, Col(CardColumn::Waku), *BoatColor(boat, true));
    grid.SetCellForeColor(boat, Col(CardColumn::Waku), *BoatColor(boat, false));
    grid.SetCellValue(boat, Col(CardColumn::Waku), QString::number(boat));
  }
  if (paint) grid.Refresh(false);
  return bound;
}

}  // namespace tidewake
