#pragma once

#include "platform/DrawSurface.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tidewake {

// ---- Venue and boat tables ------------------------------------------------------------------

// The venue's name by its code 1..24 ("桐生" .. "大村"); any other code gives an empty text.
QString JyoNameGet(std::int16_t intJyoCode);

// The colour of boat 1..6 on the race card: the background when `blnBackColor`, else the text
// colour. Nothing for a boat outside 1..6.
std::optional<Colour> BoatColor(std::int16_t intWakuNo, bool blnBackColor);

// ---- Sorting --------------------------------------------------------------------------------

namespace detail {
// The sort counts with 16-bit counters: the last index must stay below 32767 so that the inner
// counter can step past it. Shows the sort's failure box and answers false when it would not.
bool SortCountersCover(std::size_t count);
}  // namespace detail

// Sorts ascending in place by numeric comparison; equal elements are never exchanged, so the
// order among them stays. An array too long for the sort's 16-bit counters is reported in a
// box titled "BubbleSortVariantArray" and left exactly as it was.
template <typename T>
void BubbleSortVariantArray(std::span<T> vntArray) {
  if (!detail::SortCountersCover(vntArray.size())) return;
  const std::int16_t lower = 0;
  const auto upper = static_cast<std::int16_t>(static_cast<std::int32_t>(vntArray.size()) - 1);
  for (std::int16_t i = lower; i <= upper - 1; ++i) {
    for (auto j = static_cast<std::int16_t>(i + 1); j <= upper; ++j) {
      if (vntArray[static_cast<std::size_t>(i)] > vntArray[static_cast<std::size_t>(j)]) {
        T temp = vntArray[static_cast<std::size_t>(i)];
        vntArray[static_cast<std::size_t>(i)] = vntArray[static_cast<std::size_t>(j)];
        vntArray[static_cast<std::size_t>(j)] = temp;
      }
    }
  }
}

}  // namespace tidewake
