#include "ui/qtplatform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tidewake {

QString QtTranslationsFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

bool InstallQtJapaneseTranslation() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return false;
  // The translator lives as long as the application; a second call finds it instead of adding
  // the same catalogue again.
  const QString name = QString::fromLatin1(kQtJapaneseCatalogue);
  if (app->findChild<QTranslator*>(name, Qt::FindDirectChildrenOnly)) return true;
  auto* translator = new QTranslator(app);
  translator->setObjectName(name);
  if (!translator->load(name, QtTranslationsFolder()) || !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return false;
  }
  return true;
}

}  // namespace tidewake
