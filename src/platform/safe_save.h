#pragma once
// Saving a file so that neither a failure nor a killed process loses both
// the old contents and the new ones.
//
// A file is normally written whole under a temporary name beside it and
// renamed over the old one. A file with other hard links, or one in a folder
// that takes no new files, is rewritten in place instead: the new contents
// are first kept complete as ".NAME.pelt-save" (beside it, or in the
// temporary folder when its own folder refuses), the space they need is
// reserved before a byte of the old file changes (a disk that cannot hold
// them refuses with the file untouched), and the kept copy goes away only
// once the rewrite has finished; a failed one names it. The next save of the
// same file removes what an interrupted or failed one left behind.

#include <sys/types.h>

#include <string>

#include "platform/file_io.h"

namespace pelt {

class Platform;

// The system calls a save makes; tests replace them to fail any one step.
// Each returns what the system call returns and leaves errno as it does;
// reserve returns an errno value like posix_fallocate.
class SaveSystem {
 public:
  virtual ~SaveSystem() = default;
  virtual int open(const std::string& path, int flags, mode_t mode);
  virtual ssize_t pwrite(int fd, const void* data, size_t size, off_t offset);
  virtual int reserve(int fd, off_t length);
  virtual int ftruncate(int fd, off_t length);
  virtual int fsync(int fd);
  virtual int rename(const std::string& from, const std::string& to);
};

struct SaveResult {
  int error = 0;         // errno of the step that failed, 0 on success
  std::string keptCopy;  // holds the complete new contents after a failed rewrite in place
  bool ok() const { return error == 0; }
};

SaveResult saveFile(const std::string& path, const Bytes& bytes, SaveSystem& system);
SaveResult saveFile(const std::string& path, const Bytes& bytes);

// Where the complete new contents of `target` wait while it is rewritten in
// place: beside it, or in the temporary folder (`besideIt` false).
std::string keptCopyPath(const std::string& target, bool besideIt = true);

// "Error Saving: <errno>", then the path with the system's words for the
// cause, then where the kept copy is, if any.
std::string saveErrorMessage(const std::string& path, const SaveResult& result);

// Saves, or shows saveErrorMessage as a warning; true when saved.
bool saveFileOrWarn(Platform& platform, const std::string& path, const Bytes& bytes);

}  // namespace pelt
