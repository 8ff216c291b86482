#include "predict/mLibraryVersion.h"

#include <Eigen/Core>

namespace tidewake {

QString EigenLibraryVersion() {
  return QStringLiteral("Eigen %1.%2.%3").arg(EIGEN_WORLD_VERSION).arg(EIGEN_MAJOR_VERSION).arg(EIGEN_MINOR_VERSION);
}

}  // namespace tidewake
