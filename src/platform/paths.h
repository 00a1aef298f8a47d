#pragma once
// Path rules of the program on a '/' file system.

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

// Joins a folder and a relative name with one '/'.
std::string joinPath(const std::string& folder, const std::string& name);

// `path` is below `base` when it starts with base + "/"; returns the rest or "".
bool isBelowFolder(const std::string& path, const std::string& base, std::string* relative);

// /proc, /sys, /dev or a folder below them: kernel files that block or never
// end when read, never a place for the program's files.
bool isSystemFolder(const std::string& path);

// Finds `relative` below `base`, first as spelled, then matching each
// component case-insensitively. Returns the existing path, or base/relative.
std::string resolveBelow(const std::string& base, const std::string& relative);

// Files of a folder whose extension equals `extension` in any case
// (".pcx"), sorted by name.
std::vector<std::string> listFilesWithExtension(const std::string& folder,
                                                const std::string& extension);

}  // namespace pelt
