#pragma once

#include <cstdint>

namespace tidewake {

// This program's process number, as the system shows it.
std::int64_t ThisProcessId();

// Whether a process with this number is still running (or cannot be told apart from one that is,
// e.g. another user's): a mark left by a process that is gone can then be treated as abandoned.
bool ProcessAlive(std::int64_t pid);

}  // namespace tidewake
