#include "ui/qtplatform/Translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTranslator>

#include "tests/common/QtPrinters.h"

#include <gtest/gtest.h>

using namespace tidewake;

namespace {
QString S(const char16_t* s) { return QString::fromUtf16(s); }
QString Tr(const char* context, const char* text) { return QCoreApplication::translate(context, text); }
}  // namespace

// The texts the message boxes and the file dialog take from Qt, looked up as Qt looks them up.
TEST(QtJapanese, StandardDialogsReadJapanese) {
  if (!QFileInfo::exists(QtTranslationsFolder() + QStringLiteral("/qtbase_ja.qm"))) {
    GTEST_SKIP() << "qtbase_ja.qm is not installed (Debian qt6-translations-l10n)";
  }
  ASSERT_TRUE(InstallQtJapaneseTranslation());
  ASSERT_TRUE(InstallQtJapaneseTranslation()) << "a second call finds the first";
  EXPECT_EQ(QCoreApplication::instance()->findChildren<QTranslator*>(QStringLiteral("qtbase_ja")).size(), 1);

  const struct {
    const char* context;
    const char* english;
    QString japanese;
  } texts[] = {
      // QMessageBox's and QDialogButtonBox's buttons.
      {"QPlatformTheme", "&Yes", S(u"はい")},
      {"QPlatformTheme", "&No", S(u"いいえ")},
      {"QPlatformTheme", "Cancel", S(u"キャンセル")},
      {"QPlatformTheme", "Open", S(u"開く")},
      // The file dialog's own.
      {"QFileDialog", "&Open", S(u"開く")},
  };
  for (const auto& t : texts) {
    const QString got = Tr(t.context, t.english);
    EXPECT_NE(got, QLatin1String(t.english)) << t.context << " " << t.english;
    EXPECT_TRUE(got.contains(t.japanese)) << t.context << " " << t.english << " -> " << got.toStdString();
  }
}
