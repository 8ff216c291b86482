#include "packaging/AppIcon.h"

#include <QDirIterator>

namespace tidewake {

QIcon AppIcon() {
  QIcon icon;
  // The resource holds <size>x<size>/<id>.png for each size the build rendered.
  QDirIterator it(QStringLiteral(":/tidewake/icons"), {QStringLiteral("*.png")}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) icon.addFile(it.next());
  return icon;
}

}  // namespace tidewake
