#include "platform/mMyFunc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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

// The per-user data folder. Without an application object Qt knows no application name, and the
// folder would be the shared data folder itself: the program's own name stands in.
QString UserDataFolder() {
  if (!QCoreApplication::applicationName().isEmpty()) {
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  }
  const QString shared = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return shared.isEmpty() ? QString() : JoinPath(shared, ProgramName());
}
}  // namespace

QString AppId() { return QStringLiteral(TIDEWAKE_APP_ID); }

QString ProgramName() { return QStringLiteral("tidewake"); }

void SetProgramName() { QCoreApplication::setApplicationName(ProgramName()); }

QString JoinPath(const QString& folder, const QString& name) {
  if (folder.endsWith(u'/') || folder.endsWith(u'\\')) return folder + name;
  return folder + u'/' + name;
}

QString StoreFolderFor(const QString& executableFolder, bool keepsFilesThere, const QString& userFolder) {
  // Without a per-user folder (no home) the program's folder is all there is; writing there then
  // fails with a message naming it.
  return keepsFilesThere || userFolder.isEmpty() ? executableFolder : userFolder;
}

bool KeepsFilesInFolder(const QString& executableFolder) {
  const QFileInfo folder(executableFolder);
  if (!folder.isDir() || !folder.isWritable()) return false;
  const QDir dir(executableFolder);
  const QString entry = QStringLiteral("../share/applications/%1.desktop").arg(AppId());
  // A Windows folder, zip or installer alike, carries Qt's platform plugins beside the program;
  // a build tree finds them in Qt's own folder.
  return !QFileInfo::exists(dir.filePath(entry)) && !QFileInfo(dir.filePath(QStringLiteral("platforms"))).isDir();
}

QString StoreFolder(const QString& executableFolder) {
  const bool keeps = KeepsFilesInFolder(executableFolder);
  const QString folder = StoreFolderFor(executableFolder, keeps, keeps ? QString() : UserDataFolder());
  if (folder != executableFolder) QDir().mkpath(folder);
  return folder;
}

QString AppFolder() { return gFolder.isEmpty() ? StoreFolder(ExecutableFolder()) : gFolder; }

void SetAppFolder(const QString& folder) { gFolder = folder; }

QString AppFilePath(const QString& name) { return JoinPath(AppFolder(), name); }

QString DialogStartFolderFor(const QString& executableFolder) {
  if (KeepsFilesInFolder(executableFolder)) return executableFolder;
  const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  if (!downloads.isEmpty() && QFileInfo(downloads).isDir()) return downloads;
  return QDir::homePath();
}

QString DialogStartFolder() { return gFolder.isEmpty() ? DialogStartFolderFor(ExecutableFolder()) : gFolder; }

}  // namespace tidewake
