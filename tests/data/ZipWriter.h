#pragma once

// Archives of a test's own making. libarchive cannot write LHA, so they are ZIP, which the
// program reads the same way.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tidewake::test {

inline void WriteZip(const QString& path, const std::vector<std::pair<QByteArray, QByteArray>>& members) {
  archive* a = archive_write_new();
  ASSERT_NE(a, nullptr);
  ASSERT_EQ(archive_write_set_format_zip(a), ARCHIVE_OK);
  // Names are given in UTF-8 and marked so in the archive, so that a Japanese name reads back the
  // same on every system, whatever its locale.
  ASSERT_EQ(archive_write_set_options(a, "zip:compression-level=1,zip:hdrcharset=UTF-8"), ARCHIVE_OK);
  // Written to memory and saved through Qt, which opens a path in Japanese on every system.
  QByteArray zip;
  const auto append = [](archive*, void* out, const void* data, size_t n) -> la_ssize_t {
    static_cast<QByteArray*>(out)->append(static_cast<const char*>(data), static_cast<qsizetype>(n));
    return static_cast<la_ssize_t>(n);
  };
  ASSERT_EQ(archive_write_set_bytes_in_last_block(a, 1), ARCHIVE_OK);
  ASSERT_EQ(archive_write_open(a, &zip, nullptr, append, nullptr), ARCHIVE_OK);
  for (const auto& [name, bytes] : members) {
    archive_entry* e = archive_entry_new();
#ifdef _WIN32
    // On Windows libarchive's narrow names are in the ANSI code page, where a Japanese name has no
    // form outside a Japanese system: given as UTF-8 it is left without one, and the ZIP writer
    // then reads a null name. Given as wide characters, it is written out as UTF-8 whole.
    archive_entry_copy_pathname_w(e, QString::fromUtf8(name).toStdWString().c_str());
#else
    archive_entry_update_pathname_utf8(e, name.constData());
#endif
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, 0644);
    archive_entry_set_size(e, bytes.size());
    ASSERT_EQ(archive_write_header(a, e), ARCHIVE_OK) << archive_error_string(a);
    ASSERT_EQ(archive_write_data(a, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
    archive_entry_free(e);
  }
  ASSERT_EQ(archive_write_close(a), ARCHIVE_OK);
  archive_write_free(a);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  ASSERT_EQ(file.write(zip), zip.size());
}

}  // namespace tidewake::test
