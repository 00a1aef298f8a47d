#pragma once
// The console program's platform: messages go to stderr (unless told to keep
// quiet, as the fuzz targets do), questions are answered No/Cancel, dialogs
// are cancelled, settings live in memory.

#include <map>
#include <string>

#include "platform/platform.h"

namespace pelt {

class ConsolePlatform : public Platform {
 public:
  explicit ConsolePlatform(bool echoMessages = true) : echoMessages_(echoMessages) {}

  std::string lastMessage;

  MessageAnswer messageBox(const std::string& text, MessageButtons buttons) override;
  std::optional<FileDialogResult> fileDialog(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> browseFolder(const std::string&) override { return std::nullopt; }
  bool resizeSkinsDialog(ResizeSkinsValues&) override { return false; }
  bool offsetCompanionDialog(OffsetCompanionValues&) override { return false; }
  bool preferencesDialog(PreferencesValues&) override { return false; }
  bool snapshotsDialog(SnapshotValues&) override { return false; }
  bool mapFromViewDialog(MapFromViewValues&) override { return false; }
  void aboutDialog(const AboutValues&) override {}
  bool openFromGameDialog(OpenFromGameValues&) override { return false; }

  int readInt(const std::string& section, const std::string& key, int fallback) override;
  std::string readString(const std::string& section, const std::string& key,
                         const std::string& fallback) override;
  void writeInt(const std::string& section, const std::string& key, int value) override;
  void writeString(const std::string& section, const std::string& key,
                   const std::string& value) override;

  void capturePointer(ViewId) override {}
  void releasePointer() override {}
  void hidePointer() override {}
  void showPointer() override {}
  void setPointerPosition(int, int) override {}
  void sendRefresh(int, int) override {}
  void postRefresh(int, int) override {}
  void sendBarAdjust(int) override {}
  void repaint(ViewId) override {}
  void refillLists() override {}

  std::int64_t nowMilliseconds() override;
  UtcDate todayUtc() override;
  void sleepMilliseconds(int ms) override;
  bool takePendingInput() override { return false; }
  void playLoopingSound(int) override {}
  void stopSound() override {}
  bool isCtrlHeld() override { return false; }

 private:
  bool echoMessages_;
  std::map<std::string, std::string> settings_;
};

}  // namespace pelt
