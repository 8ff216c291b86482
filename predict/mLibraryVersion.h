#pragma once

#include <QString>

namespace tidewake {

// The name and version of the linear-algebra library the win model is fitted with ("Eigen
// 3.4.0"), for the program's about box.
QString EigenLibraryVersion();

}  // namespace tidewake
