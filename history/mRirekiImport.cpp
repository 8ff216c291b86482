#include "history/mRirekiImport.h"

#include "data/mDayFile.h"
#include "platform/RuntimeError.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace tidewake {

namespace {

// An import's transaction holds this many files at most, and is committed after this long.
constexpr std::size_t kBatchFiles = 32;
constexpr qint64 kBatchMs = 500;

const QRegularExpression& DayFileName() {
  static const QRegularExpression re(QStringLiteral("^([bk])(\\d{6})?.*\\.(lzh|txt)$"),
                                     QRegularExpression::CaseInsensitiveOption);
  return re;
}

// The day a file's name gives (b220701.lzh: 2022-07-01); invalid when it gives none.
QDate NameDate(const QString& path) {
  const auto m = DayFileName().match(QFileInfo(path).fileName());
  if (!m.hasMatch() || m.captured(2).isEmpty()) return {};
  const QString d = m.captured(2);
  return QDate(2000 + d.left(2).toInt(), d.mid(2, 2).toInt(), d.mid(4, 2).toInt());
}

QDate ContentDate(const QString& raceDate) {
  return QDate::fromString(raceDate.trimmed(), QStringLiteral("yyyy/MM/dd"));
}

QDate DayOf(QDate fromContent, const QString& name, const QString& what) {
  if (fromContent.isValid()) return fromContent;
  const QDate fromName = NameDate(name);
  if (fromName.isValid()) return fromName;
  throw RuntimeError(ErrNo::DateOutOfRange,
                     QStringLiteral("%1の日付がわかりません（中にも名前にも日付がありません）: %2").arg(what, name));
}

// A day's file read and understood, ready to be recorded.
struct ParsedDay {
  ArchiveKind kind = ArchiveKind::Programme;
  QDate date;
  QString hash;  // of the file's bytes
  std::vector<cBangumiFile::Card> cards;
  std::vector<cKekkaFile::Venue> venues;
};

ParsedDay Parse(const ArchiveMember& member, ArchiveKind kind, const QString& hash) {
  ParsedDay day{kind, {}, hash, {}, {}};
  QDate date;
  if (kind == ArchiveKind::Programme) {
    day.cards = cBangumiFile::ReadDay(member.bytes);
    if (day.cards.empty()) {
      throw RuntimeError(
          ErrNo::NotATextFile,
          QStringLiteral("番組ファイルではありません（競艇場のブロックがありません）: %1").arg(member.name));
    }
    for (const auto& c : day.cards) {
      if ((date = ContentDate(c.RaceDate)).isValid()) break;
    }
    day.date = DayOf(date, member.name, QStringLiteral("番組ファイル"));
    return day;
  }
  if (kind == ArchiveKind::Results) {
    cKekkaFile::ReadAll(member.bytes, [&](cKekkaFile::Venue&& v) { day.venues.push_back(std::move(v)); });
    if (day.venues.empty()) {
      throw RuntimeError(
          ErrNo::NotATextFile,
          QStringLiteral("成績ファイルではありません（競艇場のブロックがありません）: %1").arg(member.name));
    }
    for (const auto& v : day.venues) {
      if ((date = ContentDate(v.RaceDate)).isValid()) break;
    }
    day.date = DayOf(date, member.name, QStringLiteral("成績ファイル"));
    return day;
  }
  throw RuntimeError(ErrNo::NotATextFile,
                     QStringLiteral("番組ファイルでも成績ファイルでもありません: %1").arg(member.name));
}

RecordOutcome Record(cRirekiDb& db, const ParsedDay& day) {
  return day.kind == ArchiveKind::Programme ? db.RecordProgrammeHashed(day.date, day.cards, day.hash)
                                            : db.RecordResultsHashed(day.date, day.venues, day.hash);
}

ArchiveKind KindOfName(const QString& path) {
  return QFileInfo(path).fileName().front().toLower() == u'b' ? ArchiveKind::Programme : ArchiveKind::Results;
}

// A day's file read once, its kind told by its content (a results text named b*.txt is still
// results): a programme or results, or refused.
std::pair<ArchiveMember, ArchiveKind> ReadDayFile(const QString& path, ArchiveKind named) {
  // A name whose bytes are not UTF-8 reaches us with stand-in characters, and no file has that name.
  if (path.contains(QChar::ReplacementCharacter) && !QFileInfo::exists(path)) {
    throw RuntimeError(ErrNo::PathFileAccess,
                       QStringLiteral("ファイル名の文字が UTF-8 ではないため開けません: %1").arg(path));
  }
  DayFile f = DayFileOpen(path, named);
  switch (f.kind) {
    case DayFileKind::Programme:
      return {ArchiveMember{f.name, f.bytes}, ArchiveKind::Programme};
    case DayFileKind::Results:
      return {ArchiveMember{f.name, f.bytes}, ArchiveKind::Results};
    case DayFileKind::Empty:
      throw RuntimeError(ErrNo::NotATextFile, QStringLiteral("ファイルが空です: %1").arg(f.name));
    default:
      throw RuntimeError(ErrNo::NotATextFile,
                         QStringLiteral("番組ファイルでも成績ファイルでもありません: %1").arg(f.name));
  }
}

// One file as the reading thread leaves it: parsed, known already, or refused with why.
struct ReadAhead {
  std::optional<ParsedDay> day;
  bool known = false;
  QString refusal;
};

// Reads and parses the files in order on a thread of its own, a few ahead of the writer: the
// database is written on the caller's thread (its connection lives there) while the next days
// are unpacked and read.
class Reader {
 public:
  Reader(const QStringList& files, QSet<QString> known) : files_(files), known_(std::move(known)) {
    thread_ = std::thread([this] { Run(); });
  }
  ~Reader() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  // Whether Next() would return at once.
  bool Ready() {
    std::lock_guard lock(mutex_);
    return !ready_.empty();
  }

  ReadAhead Next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !ready_.empty(); });
    ReadAhead r = std::move(ready_.front());
    ready_.pop_front();
    changed_.notify_all();
    return r;
  }

 private:
  static constexpr std::size_t kAhead = 4;

  void Run() {
    for (const QString& file : files_) {
      ReadAhead r;
      try {
        const auto [member, kind] = ReadDayFile(file, KindOfName(file));
        // Bytes recorded before are not read again: importing a folder twice costs only the unpacking.
        const QString hash = cRirekiDb::FileHash(member.bytes);
        if (known_.contains(hash)) {
          r.known = true;
        } else {
          r.day = Parse(member, kind, hash);
        }
      } catch (const RuntimeError& e) {
        r.refusal = e.description();
      } catch (const std::bad_alloc&) {
        r.refusal = QStringLiteral("メモリが足りません");
      }
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return stop_ || ready_.size() < kAhead; });
      if (stop_) return;
      ready_.push_back(std::move(r));
      changed_.notify_all();
    }
  }

  const QStringList files_;
  const QSet<QString> known_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<ReadAhead> ready_;
  bool stop_ = false;
  std::thread thread_;
};

#ifdef Q_OS_WIN
void FolderFiles(const QString& folder, const std::function<void(const QString&)>& take) {
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) take(it.next());
}
#else
// Every file in the folder and its sub-folders (a link to a folder is not followed, as Qt's own
// walk does), by the bytes of the names: Qt's walk passes over a name that is not UTF-8 without a
// word, and such a file must be named and refused. Its name then holds stand-in characters.
void FolderFiles(const QString& folder, const std::function<void(const QString&)>& take, int depth = 0) {
  if (depth > 64) return;
  const QByteArray root = QFile::encodeName(folder);
  DIR* dir = opendir(root.constData());
  if (!dir) return;
  while (const dirent* e = readdir(dir)) {
    const QByteArray name(e->d_name);
    if (name == "." || name == "..") continue;
    const QByteArray path = root + '/' + name;
    struct stat st {};
    if (lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
      FolderFiles(QFile::decodeName(path), take, depth + 1);
    } else if (S_ISLNK(st.st_mode) && stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
      continue;
    } else {
      take(QFile::decodeName(path));
    }
  }
  closedir(dir);
}
#endif

}  // namespace

RecordOutcome RecordDayResults(cRirekiDb& db, const ArchiveMember& member,
                               const std::vector<cKekkaFile::Venue>& venues) {
  QDate date;
  for (const auto& v : venues) {
    if ((date = ContentDate(v.RaceDate)).isValid()) break;
  }
  return db.RecordResultsHashed(DayOf(date, member.name, QStringLiteral("成績ファイル")), venues,
                                cRirekiDb::FileHash(member.bytes));
}

RecordOutcome RecordDayMember(cRirekiDb& db, const ArchiveMember& member, ArchiveKind kind) {
  // The same bytes recorded before are known by their hash, before any reading.
  if (db.HasFile(member.bytes)) return RecordOutcome::AlreadyThere;
  return Record(db, Parse(member, kind, cRirekiDb::FileHash(member.bytes)));
}

QStringList ImportFiles(const QStringList& paths) {
  QStringList files;
  for (const QString& p : paths) {
    if (QFileInfo(p).isDir()) {
      // Readable or not: a file that cannot be read is refused with why, never passed over.
      FolderFiles(QFileInfo(p).absoluteFilePath(), [&](const QString& file) {
        if (DayFileName().match(QFileInfo(file).fileName()).hasMatch()) files << file;
      });
    } else {
      files << QFileInfo(p).absoluteFilePath();
    }
  }
  // Day order, the programme before the results of the same day.
  auto key = [](const QString& f) {
    const QString name = QFileInfo(f).fileName().toLower();
    return name.mid(1) + name.left(1) + f;
  };
  std::sort(files.begin(), files.end(), [&](const QString& a, const QString& b) { return key(a) < key(b); });
  files.removeDuplicates();
  return files;
}

ImportSummary ImportPaths(cRirekiDb& db, const QStringList& paths, const ImportProgress& progress,
                          const std::atomic<bool>* cancel) {
  return ImportFileList(db, ImportFiles(paths), progress, cancel);
}

ImportSummary ImportFileList(cRirekiDb& db, const QStringList& files, const ImportProgress& progress,
                             const std::atomic<bool>* cancel) {
  ImportSummary s;
  // A program killed before the import ends leaves this mark: the file is checked when next opened.
  const cRirekiDb::ImportMark mark(db);
  // Per day: whether a file of it was added or replaced, and whether one was refused.
  struct DayState {
    bool added = false, refused = false;
  };
  std::map<QDate, DayState> days;
  // The files written in the open transaction: a few files share one, since a transaction per
  // file wrote the same index pages again for every file. They count as added once it is
  // committed; they are kept until then, to be recorded again one by one when it fails.
  struct Written {
    int file;  // index in `files`
    QDate day;
    RecordOutcome outcome;
    ParsedDay parsed;
  };
  std::vector<Written> batch;
  QElapsedTimer batchClock;
  const struct Guard {
    cRirekiDb& db;
    ~Guard() { db.RollbackBatch(); }
  } guard{db};
  // A file refused: named with why. False when the database failed rather than the file, which
  // ends the import at that file (every file after would fail the same way).
  auto refuse = [&](int index, QDate key, const RuntimeError& e) {
    if (ErrNo::IsHistoryFailure(e.number())) {
      s.stopped = e.description();
      s.files = index;
      s.filesLeft = static_cast<int>(files.size()) - index;
      return false;
    }
    days[key].refused = true;
    s.refused.push_back({files[index], e.description()});
    return true;
  };
  // A file recorded in a transaction of its own.
  auto alone = [&](int index, QDate key, const ParsedDay& parsed) {
    try {
      const RecordOutcome outcome = Record(db, parsed);
      days[key].added = days[key].added || outcome != RecordOutcome::AlreadyThere;
    } catch (const RuntimeError& e) {
      return refuse(index, key, e);
    }
    return true;
  };
  // After the batch's transaction failed (rolled back): its files again, one transaction each.
  auto again = [&] {
    std::vector<Written> undone = std::move(batch);
    batch.clear();
    for (Written& w : undone) {
      if (!alone(w.file, w.day, w.parsed)) return false;
    }
    return true;
  };
  auto commit = [&] {
    try {
      db.CommitBatch();
    } catch (const RuntimeError&) {
      return again();
    }
    for (const Written& w : batch) days[w.day].added = days[w.day].added || w.outcome != RecordOutcome::AlreadyThere;
    batch.clear();
    return true;
  };
  Reader reader(files, db.FileHashes());
  for (const QString& file : files) {
    if (cancel && cancel->load()) {
      s.cancelled = true;
      break;
    }
    const QDate nameDate = NameDate(file);
    if (progress) {
      progress(s.files, static_cast<int>(files.size()),
               nameDate.isValid() ? nameDate.toString(QStringLiteral("yyyy/MM/dd")) : QFileInfo(file).fileName());
    }
    const int index = s.files++;
    // The batch is kept short so that another program waiting to write is not kept long, and the
    // write lock is not held while a file is being read (a slow disk, a large archive).
    if (db.InBatch() && (batch.size() >= kBatchFiles || batchClock.elapsed() >= kBatchMs || !reader.Ready()) &&
        !commit()) {
      break;
    }
    ReadAhead r = reader.Next();
    const QDate key = r.day ? r.day->date : nameDate.isValid() ? nameDate : QDate(1, 1, 1);
    if (!r.refusal.isEmpty()) {
      refuse(index, key, RuntimeError(ErrNo::NotATextFile, r.refusal));
      continue;
    }
    if (r.known) {
      days.try_emplace(key);  // a day whose every file is known counts as there already
      continue;
    }
    try {
      if (!db.InBatch()) {
        db.BeginBatch();
        batchClock.start();
      }
    } catch (const RuntimeError& e) {
      if (!refuse(index, key, e)) break;
      continue;
    }
    try {
      const RecordOutcome outcome = Record(db, *r.day);
      batch.push_back({index, key, outcome, std::move(*r.day)});
    } catch (const RuntimeError& e) {
      if (db.InBatch()) {
        // Refused before anything was written: the batch is untouched.
        if (!refuse(index, key, e)) break;
        continue;
      }
      // The batch was rolled back: its files and this one are recorded alone, which ends the
      // import at the very file the database cannot take.
      if (!again() || !alone(index, key, *r.day)) break;
    }
  }
  // What the batch holds (also after a refusal that ended the import: the files before it stay).
  if (db.InBatch()) commit();
  // A day counts as there already only when every file of it was; one with a refused file and
  // nothing added is neither.
  for (const auto& [day, state] : days) {
    if (state.added) {
      ++s.daysAdded;
    } else if (!state.refused) {
      ++s.daysAlreadyThere;
    }
  }
  return s;
}

QString ImportRefusalsText(const ImportSummary& s) {
  QStringList lines;
  for (const ImportRefusal& r : s.refused) lines << r.file << QStringLiteral("  ") + r.reason;
  return lines.join(u'\n');
}

QString ImportSummaryText(const ImportSummary& s, bool withRefusals) {
  QString text =
      QStringLiteral("%1 日分を履歴に加えました。%2 日分はすでにありました。").arg(s.daysAdded).arg(s.daysAlreadyThere);
  if (s.cancelled) text += QStringLiteral("\n途中で取り込みをやめました（%1 ファイルまで）。").arg(s.files);
  if (!s.stopped.isEmpty()) {
    text +=
        QStringLiteral(
            "\n履歴データベースに書き込めないため、取り込みをやめました（残り %1 ファイルは取り込んでいません）。\n%2")
            .arg(s.filesLeft)
            .arg(s.stopped);
  }
  if (!s.refused.empty()) {
    text += QStringLiteral("\n取り込めなかったファイル（%1）").arg(s.refused.size());
    text += withRefusals ? QStringLiteral(":\n") + ImportRefusalsText(s) : QStringLiteral("。");
  }
  return text;
}

}  // namespace tidewake
