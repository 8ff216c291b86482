#pragma once

// The race card's grid on its picture: the window's card, and the tests that draw one.

#include "grid/cGrid.h"
#include "platform/DrawSurface.h"

namespace tidewake {

// The race card's set-up on its picture, in the order its geometry depends on: Init (10 points,
// cells sharing the picture), batch, 11 points, one line a row, the headers, a two-line header
// row with the second lines, centred headers, the boat numbers in their colours, one paint (left
// to the caller that fills the card at once). False when the grid could not bind the picture (its
// LastErrText says why).
bool RaceCardSetUp(cGrid& grid, IDrawSurface& picture, bool paint = true);

}  // namespace tidewake
