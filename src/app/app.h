#pragma once
// The application object: all document state, owned in one place and passed
// by reference. Tests create their own.

#include <string>
#include <vector>

#include "model/model.h"
#include "platform/file_io.h"

namespace pelt {

class Platform;

class App {
 public:
  explicit App(Platform& platform) : platform(platform) {}
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  Platform& platform;
  Model model;

  // Folders and the file last opened (settings "BaseDir", "LoadDir",
  // "SaveDir", "CurFile").
  std::string baseFolder;
  std::string loadFolder;
  std::string saveFolder;
  std::string currentFile;

  // Every byte of the MD2 file last read; the writer patches it.
  Bytes rawModelImage;
};

}  // namespace pelt
