// The Qt open-file dialog: the program's filters as Qt name filters that match names in either
// case, and the dialog itself, answered from its own event loop.

#include "tests/ui/DialogDriver.h"
#include "ui/qtplatform/QtFileDialog.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tidewake;
using tidewake::test::DialogDriver;

namespace {

// A filter as the program writes it: the fields each ended by a NUL.
QString Filter(std::initializer_list<QString> fields) {
  QString f;
  for (const QString& s : fields) f += s + QChar(u'\0');
  return f;
}

// The patterns of a name filter, read the way QFileDialog reads them: the blank-separated words
// in the last parentheses.
QStringList PatternsOf(const QString& nameFilter) {
  const qsizetype open = nameFilter.lastIndexOf(u'(');
  if (open < 0 || !nameFilter.endsWith(u')')) return {};
  return nameFilter.mid(open + 1, nameFilter.size() - open - 2).split(u' ', Qt::SkipEmptyParts);
}

TEST(QtFileDialog, PatternsBecomeWildcardsOfEitherCase) {
  const struct {
    QString pattern;
    QString wildcard;
  } cases[] = {
      {QStringLiteral("B*.txt"), QStringLiteral("[Bb]*.[Tt][Xx][Tt]")},
      {QStringLiteral("F*.TXT"), QStringLiteral("[Ff]*.[Tt][Xx][Tt]")},
      {QStringLiteral("*.*"), QStringLiteral("*")},
      {QStringLiteral(" *.lzh "), QStringLiteral("*.[Ll][Zz][Hh]")},
      {QStringLiteral("b2401??.txt"), QStringLiteral("[Bb]2401??.[Tt][Xx][Tt]")},
      {QStringLiteral("a[1].txt"), QStringLiteral("[Aa][[]1[]].[Tt][Xx][Tt]")},
      {QStringLiteral("my file.txt"), QStringLiteral("[Mm][Yy]?[Ff][Ii][Ll][Ee].[Tt][Xx][Tt]")},
      {QStringLiteral("番組*.txt"), QStringLiteral("??*.[Tt][Xx][Tt]")},
      {QStringLiteral("x(1).dat"), QStringLiteral("[Xx]?1?.[Dd][Aa][Tt]")},
      {QStringLiteral("*"), QStringLiteral("*")},
  };
  for (const auto& c : cases) EXPECT_EQ(CaseInsensitiveWildcard(c.pattern), c.wildcard) << c.pattern.toStdString();
}

TEST(QtFileDialog, FiltersBecomeNameFiltersThatShowTheDescriptionAsWritten) {
  const struct {
    QString filter;
    QStringList nameFilters;
  } cases[] = {
      {Filter({QStringLiteral("番組ファイル(B*.TXT)"), QStringLiteral("B*.txt")}),
       {QStringLiteral("番組ファイル(B*.TXT) ([Bb]*.[Tt][Xx][Tt])")}},
      {Filter({QStringLiteral("ファン手帳ファイル(F*.TXT)"), QStringLiteral("F*.txt")}),
       {QStringLiteral("ファン手帳ファイル(F*.TXT) ([Ff]*.[Tt][Xx][Tt])")}},
      // Several pairs; several patterns in a pair, the same one twice in two cases kept once.
      {Filter({QStringLiteral("テキスト"), QStringLiteral("*.txt;*.TXT; *.lzh"), QStringLiteral("すべて"),
               QStringLiteral("*.*")}),
       {QStringLiteral("テキスト (*.[Tt][Xx][Tt] *.[Ll][Zz][Hh])"), QStringLiteral("すべて (*)")}},
      // The last field without its NUL still counts; an incomplete last pair does not.
      {QStringLiteral("A") + QChar(u'\0') + QStringLiteral("a*"), {QStringLiteral("A ([Aa]*)")}},
      {Filter({QStringLiteral("A"), QStringLiteral("a*"), QStringLiteral("B")}), {QStringLiteral("A ([Aa]*)")}},
      // A pair without patterns offers nothing; without a description its patterns are shown.
      {Filter({QStringLiteral("空"), QString(), QStringLiteral("B"), QStringLiteral("b*")}),
       {QStringLiteral("B ([Bb]*)")}},
      {Filter({QString(), QStringLiteral("F*.txt")}), {QStringLiteral("F*.txt ([Ff]*.[Tt][Xx][Tt])")}},
      {QString(), {}},
      {Filter({QStringLiteral("only")}), {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QtNameFilters(c.filter), c.nameFilters) << QString(c.filter).replace(QChar(u'\0'), u'|').toStdString();
  }
}

TEST(QtFileDialog, TheWildcardsSelectTheRightNamesWhateverTheirCase) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QStringList names = {
      QStringLiteral("b240101.txt"),     QStringLiteral("B240102.TXT"),  QStringLiteral("B240103.Txt"),
      QStringLiteral("f240101.txt"),     QStringLiteral("F240102.TXT"),  QStringLiteral("xb240101.txt"),
      QStringLiteral("B240101.TXT.bak"), QStringLiteral("b240101.txtx"), QStringLiteral("a[1].txt"),
      QStringLiteral("a1.txt"),          QStringLiteral("README")};
  for (const QString& n : names) {
    QFile f(dir.filePath(n));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << n.toStdString();
  }
  const struct {
    QString filter;
    QStringList selected;
  } cases[] = {
      {Filter({QStringLiteral("番組ファイル(B*.TXT)"), QStringLiteral("B*.txt")}),
       {QStringLiteral("B240102.TXT"), QStringLiteral("B240103.Txt"), QStringLiteral("b240101.txt")}},
      {Filter({QStringLiteral("ファン手帳ファイル(F*.TXT)"), QStringLiteral("F*.txt")}),
       {QStringLiteral("F240102.TXT"), QStringLiteral("f240101.txt")}},
      {Filter({QStringLiteral("x"), QStringLiteral("A[1].TXT")}), {QStringLiteral("a[1].txt")}},
      {Filter({QStringLiteral("x"), QStringLiteral("b240101.txt;README")}),
       {QStringLiteral("README"), QStringLiteral("b240101.txt")}},
      {Filter({QStringLiteral("x"), QStringLiteral("*.*")}), names},
  };
  for (const auto& c : cases) {
    const QStringList filters = QtNameFilters(c.filter);
    ASSERT_EQ(filters.size(), 1);
    // Case-sensitive matching, as a native dialog does it: the patterns themselves must take
    // care of the case.
    QStringList got = QDir(dir.path()).entryList(PatternsOf(filters[0]), QDir::Files | QDir::CaseSensitive);
    got.sort();
    QStringList want = c.selected;
    want.sort();
    EXPECT_EQ(got, want) << filters[0].toStdString();
  }
}

// What the dialog showed, read from inside its event loop.
struct SeenDialog {
  QString title;
  QString directory;
  QStringList nameFilters;
  QStringList shownFilters;
  QStringList listed;
  QFileDialog::FileMode mode = QFileDialog::AnyFile;
  bool modal = false;
  QWidget* parent = nullptr;
};

SeenDialog Read(QFileDialog* d, const QString& folder) {
  SeenDialog seen;
  seen.title = d->windowTitle();
  seen.directory = d->directory().absolutePath();
  seen.nameFilters = d->nameFilters();
  seen.mode = d->fileMode();
  seen.modal = d->isModal();
  seen.parent = d->parentWidget();
  if (auto* combo = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
    for (int i = 0; i < combo->count(); ++i) seen.shownFilters << combo->itemText(i);
  }
  // The files listed: the dialog's model reads the folder in the background.
  if (auto* model = d->findChild<QFileSystemModel*>()) {
    QElapsedTimer wait;
    wait.start();
    const QModelIndex root = model->index(folder);
    while (wait.elapsed() < 5000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      if (model->rowCount(root) >= 2) break;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    for (int r = 0; r < model->rowCount(root); ++r) {
      const QModelIndex i = model->index(r, 0, root);
      if (!model->isDir(i)) seen.listed << model->fileName(i);
    }
    seen.listed.sort();
  }
  return seen;
}

TEST(QtFileDialog, TheDialogOffersTheProgrammeFilesAndReturnsTheOneChosen) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString folder = QDir(dir.path()).canonicalPath();
  for (const char* n : {"b240101.txt", "B240102.TXT", "f240101.txt", "other.dat"}) {
    QFile f(QDir(folder).filePath(QString::fromLatin1(n)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  QWidget window;
  QtFileDialog dialog;
  dialog.SetParentWidget(&window);
  const QString chosen = QDir(folder).filePath(QStringLiteral("b240101.txt"));
  SeenDialog seen;
  DialogDriver<QFileDialog> driver([&](QFileDialog* d) {
    seen = Read(d, folder);
    // The user types the name into the dialog's file name box and presses Open.
    auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!name) {
      ADD_FAILURE() << "no file name box";
      d->reject();
      return;
    }
    name->setText(QStringLiteral("b240101.txt"));
    static_cast<QDialog*>(d)->accept();  // what the Open button does
  });
  const QString path =
      dialog.GetOpenFileName(Filter({QStringLiteral("番組ファイル(B*.TXT)"), QStringLiteral("B*.txt")}), folder,
                             QStringLiteral("ファイルを開く"));
  ASSERT_TRUE(driver.acted());
  EXPECT_EQ(path, chosen);
  EXPECT_EQ(seen.title, QStringLiteral("ファイルを開く"));
  EXPECT_EQ(seen.directory, folder);
  EXPECT_EQ(seen.nameFilters, QStringList{QStringLiteral("番組ファイル(B*.TXT) ([Bb]*.[Tt][Xx][Tt])")});
  // The user reads the description alone, as written.
  EXPECT_EQ(seen.shownFilters, QStringList{QStringLiteral("番組ファイル(B*.TXT)")});
  EXPECT_EQ(seen.listed, (QStringList{QStringLiteral("B240102.TXT"), QStringLiteral("b240101.txt")}));
  EXPECT_EQ(seen.mode, QFileDialog::ExistingFile);
  EXPECT_TRUE(seen.modal);
  EXPECT_EQ(seen.parent, &window);
}

TEST(QtFileDialog, CancellingReturnsAnEmptyText) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QtFileDialog dialog;
  DialogDriver<QFileDialog> driver([](QFileDialog* d) { d->reject(); });
  const QString path =
      dialog.GetOpenFileName(Filter({QStringLiteral("ファン手帳ファイル(F*.TXT)"), QStringLiteral("F*.txt")}),
                             dir.path(), QStringLiteral("ファイルを開く"));
  ASSERT_TRUE(driver.acted());
  EXPECT_TRUE(path.isEmpty());
}

TEST(QtFileDialog, AWindowClosedUnderAnOpenDialogCancelsIt) {
  auto* window = new QWidget;
  QtFileDialog dialog;
  dialog.SetParentWidget(window);
  DialogDriver<QFileDialog> driver([&](QFileDialog*) { delete window; });
  EXPECT_TRUE(dialog.GetOpenFileName(QString(), QDir::tempPath(), QStringLiteral("t")).isEmpty());
  EXPECT_TRUE(driver.acted());
}

}  // namespace
