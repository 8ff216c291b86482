#include "platform/mMyFunc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tidewake {
namespace {
QString gFolder;

QString ExecutableFolder() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  // Without an application object (a test or tool), /proc names the executable.
  const QFileInfo exe(QStringLiteral("/proc/self/exe"));
  if (exe.exists()) return QFileInfo(exe.symLinkTarget()).absolutePath();
  return QDir::currentPath();
}
}  // namespace

QString JoinPath(const QString& folder, const QString& name) {
  if (folder.endsWith(u'/') || folder.endsWith(u'\\')) return folder + name;
  return folder + u'/' + name;
}

QString AppFolder() { return gFolder.isEmpty() ? ExecutableFolder() : gFolder; }

void SetAppFolder(const QString& folder) { gFolder = folder; }

QString AppFilePath(const QString& name) { return JoinPath(AppFolder(), name); }

}  // namespace tidewake
