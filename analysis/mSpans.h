#pragma once

#include "analysis/mPeriod.h"

#include <functional>
#include <vector>

namespace tidewake {
class cRirekiDb;
}

// Years of races read in parallel: the period cut in runs of days, each read on a thread of its
// own through a connection of its own (SQLite lets any number read the file at once).
namespace tidewake::mSpans {

// How many runs a read over every venue is cut into: the processor's threads, at most 4.
int Threads();

// The days of the period the history holds, cut in at most `count` runs of about as many days
// each, in date order; one run (the period itself) when it holds too few days to be worth it.
std::vector<mPeriod::Period> Cut(const cRirekiDb& db, const mPeriod::Period& period, int count);

// Runs `work` on each run: the first on the caller's thread and connection, the others each on
// a thread and a read-only connection of its own to the same file. Returns when all have ended;
// a failure on any (the first in run order) is thrown again here.
void Each(const cRirekiDb& db, const std::vector<mPeriod::Period>& runs,
          const std::function<void(const cRirekiDb& db, std::size_t run)>& work);

}  // namespace tidewake::mSpans
