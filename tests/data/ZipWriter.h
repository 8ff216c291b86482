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
  ASSERT_EQ(archive_write_set_options(a, "zip:compression-level=1"), ARCHIVE_OK);
  ASSERT_EQ(archive_write_open_filename(a, QFile::encodeName(path).constData()), ARCHIVE_OK);
  for (const auto& [name, bytes] : members) {
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname(e, name.constData());
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, 0644);
    archive_entry_set_size(e, bytes.size());
    ASSERT_EQ(archive_write_header(a, e), ARCHIVE_OK) << archive_error_string(a);
    ASSERT_EQ(archive_write_data(a, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
    archive_entry_free(e);
  }
  ASSERT_EQ(archive_write_close(a), ARCHIVE_OK);
  archive_write_free(a);
}

}  // namespace tidewake::test
