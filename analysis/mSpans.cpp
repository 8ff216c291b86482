#include "analysis/mSpans.h"

#include "history/cRirekiDb.h"

#include <algorithm>
#include <exception>
#include <thread>

namespace tidewake::mSpans {

namespace {

// Fewer days than this a run are read on one thread: opening connections would cost more.
constexpr std::size_t kDaysARun = 60;

}  // namespace

int Threads() { return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u)); }

std::vector<mPeriod::Period> Cut(const cRirekiDb& db, const mPeriod::Period& period, int count) {
  std::vector<QDate> days;
  for (const HeldDay& d : db.HeldDays()) {
    if (d.results && d.date >= period.From && d.date <= period.To) days.push_back(d.date);
  }
  std::sort(days.begin(), days.end());
  const std::size_t runs =
      std::clamp<std::size_t>(days.size() / kDaysARun, 1, static_cast<std::size_t>(std::max(count, 1)));
  if (runs == 1) return {period};
  std::vector<mPeriod::Period> out;
  for (std::size_t i = 0; i < runs; ++i) {
    const std::size_t first = days.size() * i / runs, last = days.size() * (i + 1) / runs - 1;
    out.push_back({i == 0 ? period.From : days[first], i + 1 == runs ? period.To : days[last]});
  }
  return out;
}

void Each(const cRirekiDb& db, const std::vector<mPeriod::Period>& runs,
          const std::function<void(const cRirekiDb& db, std::size_t run)>& work) {
  std::vector<std::exception_ptr> failures(runs.size());
  {
    std::vector<std::jthread> threads;
    for (std::size_t i = 1; i < runs.size(); ++i) {
      threads.emplace_back([&, i] {
        try {
          const cRirekiDb own(db.path(), RirekiAccess::ReadOnly);
          work(own, i);
        } catch (...) {
          failures[i] = std::current_exception();
        }
      });
    }
    if (!runs.empty()) {
      try {
        work(db, 0);
      } catch (...) {
        failures[0] = std::current_exception();
      }
    }
  }
  for (const std::exception_ptr& f : failures) {
    if (f) std::rethrow_exception(f);
  }
}

}  // namespace tidewake::mSpans
