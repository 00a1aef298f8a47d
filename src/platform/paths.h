#pragma once
// Path rules of the program on a '/' file system.

#include <map>
#include <string>
#include <vector>

namespace pelt {

// Everything before the last '/'; "/" for a file in the root; "" without '/'.
std::string folderOf(const std::string& path);

// The last path component.
std::string fileNameOf(const std::string& path);

// True when the file name (not the folders above it) holds no '.'.
bool lacksExtension(const std::string& path);

// Names stored inside files may use '\'; the file system wants '/'.
std::string withForwardSlashes(std::string path);

// ASCII letters in lower case, for names matched in any case.
std::string lowerCased(std::string text);

// Joins a folder and a relative name with one '/'.
std::string joinPath(const std::string& folder, const std::string& name);

// `path` is below `base` when it starts with base + "/"; returns the rest or "".
bool isBelowFolder(const std::string& path, const std::string& base, std::string* relative);

// A name read from a file stays inside the folder it is relative to: not
// absolute and no ".." component ('\\' counts as '/').
bool staysBelow(const std::string& relative);

// Folder contents by lower-cased name, read once per folder: one load may
// look up thousands of names in the same folders.
class FolderListings {
 public:
  // The entry spelled like `name` in any case, or "" when there is none.
  std::string find(const std::string& folder, const std::string& name);

 private:
  std::map<std::string, std::map<std::string, std::string>> folders_;
};

// /proc, /sys, /dev or a folder below them: kernel files that block or never
// end when read, never a place for the program's files.
bool isSystemFolder(const std::string& path);

// Finds `relative` below `base`, first as spelled, then matching each
// component case-insensitively. Returns the existing path, or base/relative;
// "" for a name that would leave `base` (see staysBelow).
std::string resolveBelow(const std::string& base, const std::string& relative,
                         FolderListings* listings = nullptr);

// The program's own data: share/pelt beside the running program (a build
// folder) or beside the folder holding it (an installation); "" for none.
std::string programDataFolder();

// Files of a folder whose extension equals `extension` in any case
// (".pcx"), sorted by name.
std::vector<std::string> listFilesWithExtension(const std::string& folder,
                                                const std::string& extension);

}  // namespace pelt
