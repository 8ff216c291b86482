#include "ui/qtplatform/QtFileDialog.h"

#include <QFileDialog>

namespace tidewake {

namespace {

// Characters QFileDialog accepts inside the parentheses of a name filter; any other would make it
// take the whole filter for the description.
bool AllowedInNameFilter(char16_t c) {
  if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) return true;
  return QStringView(u"_.,*?+;#-@{}/!<>$%&=^~:|").contains(QChar(c));
}

}  // namespace

QString CaseInsensitiveWildcard(const QString& pattern) {
  const QString trimmed = pattern.trimmed();
  if (trimmed == QStringLiteral("*.*")) return QStringLiteral("*");
  QString out;
  out.reserve(trimmed.size() * 4);
  for (const QChar ch : trimmed) {
    const char16_t c = ch.unicode();
    if (c == u'[') {
      out += QStringLiteral("[[]");
    } else if (c == u']') {
      out += QStringLiteral("[]]");
    } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
      out += u'[';
      out += ch.toUpper();
      out += ch.toLower();
      out += u']';
    } else if (AllowedInNameFilter(c)) {
      out += ch;
    } else {
      // A blank would split the pattern list, and a character outside the set above (a kana, a
      // parenthesis) would break the filter: either matches as any one character.
      out += u'?';
    }
  }
  return out;
}

QStringList QtNameFilters(const QString& filter) {
  QStringList parts = filter.split(QChar(u'\0'));
  // Every field is ended by a NUL, so the text after the last one is not a field; a filter
  // missing its final NUL keeps its last field.
  if (filter.endsWith(QChar(u'\0'))) parts.removeLast();
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    QStringList wildcards;
    for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
      if (pattern.trimmed().isEmpty()) continue;
      const QString w = CaseInsensitiveWildcard(pattern);
      if (!wildcards.contains(w)) wildcards << w;
    }
    if (wildcards.isEmpty()) continue;
    const QString shown = description.isEmpty() ? parts[i + 1] : description;
    result << shown + QStringLiteral(" (") + wildcards.join(u' ') + u')';
  }
  return result;
}

QString QtFileDialog::GetOpenFileName(const QString& filter, const QString& initialFolder, const QString& title) {
  // On the heap, owned by the window: should the window go while the dialog is up, the dialog
  // goes with it and is not deleted twice.
  QPointer<QFileDialog> dialog = new QFileDialog(parent_.data(), title, initialFolder);
  // Qt's own dialog: the native ones cut a description at its first "(", and
  // "番組ファイル(B*.TXT)" must read as written.
  dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
  dialog->setFileMode(QFileDialog::ExistingFile);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setWindowModality(Qt::ApplicationModal);
  const QStringList filters = QtNameFilters(filter);
  if (!filters.isEmpty()) {
    dialog->setNameFilters(filters);
    dialog->selectNameFilter(filters.first());
  }
  const int accepted = dialog->exec();
  if (!dialog) return QString();
  const QStringList chosen = dialog->selectedFiles();
  delete dialog.data();
  if (accepted != QDialog::Accepted || chosen.isEmpty()) return QString();
  return chosen.first();
}

QString QtFileDialog::GetExistingDirectory(const QString& initialFolder, const QString& title) {
  QPointer<QFileDialog> dialog = new QFileDialog(parent_.data(), title, initialFolder);
  dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly);
  dialog->setFileMode(QFileDialog::Directory);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setWindowModality(Qt::ApplicationModal);
  const int accepted = dialog->exec();
  if (!dialog) return QString();
  const QStringList chosen = dialog->selectedFiles();
  delete dialog.data();
  if (accepted != QDialog::Accepted || chosen.isEmpty()) return QString();
  return chosen.first();
}

QString QtFileDialog::GetSaveFileName(const QString& filter, const QString& initialPath, const QString& title) {
  QPointer<QFileDialog> dialog = new QFileDialog(parent_.data(), title);
  dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setWindowModality(Qt::ApplicationModal);
  const QStringList filters = QtNameFilters(filter);
  if (!filters.isEmpty()) {
    dialog->setNameFilters(filters);
    dialog->selectNameFilter(filters.first());
  }
  dialog->selectFile(initialPath);
  const int accepted = dialog->exec();
  if (!dialog) return QString();
  const QStringList chosen = dialog->selectedFiles();
  delete dialog.data();
  if (accepted != QDialog::Accepted || chosen.isEmpty()) return QString();
  return chosen.first();
}

}  // namespace tidewake
