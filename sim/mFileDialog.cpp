#include "sim/mFileDialog.h"

#include "platform/FileDialog.h"

#include <algorithm>

namespace tidewake {
namespace {

// The dialog hands back a buffer whose text ends at its first NUL.
QString UpToFirstNul(const QString& s) {
  const qsizetype nul = s.indexOf(QChar(u'\0'));
  return nul < 0 ? s : s.left(nul);
}

QString FileNamePart(const QString& path) {
  const qsizetype sep = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
  return sep < 0 ? path : path.mid(sep + 1);
}

}  // namespace

QString ShowOpenFileDialog(std::intptr_t, const QString& strFilter, const QString& strInitDir, std::int16_t intNameOnly,
                           const QString& strTitle, bool) {
  IFileDialog* dialog = FileDialog();
  if (!dialog) return QString();
  const QString path = UpToFirstNul(dialog->GetOpenFileName(strFilter, strInitDir, strTitle));
  if (path.isEmpty()) return QString();
  return intNameOnly == 1 ? FileNamePart(path) : path;
}

}  // namespace tidewake
