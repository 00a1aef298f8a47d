#pragma once
// A platform for fuzz targets: no dialogs, questions answered No, settings
// in memory.

#include <map>
#include <string>

#include "platform/platform.h"

namespace pelt::fuzz {

class QuietPlatform : public Platform {
 public:
  std::map<std::string, std::string> settings;

  MessageAnswer messageBox(const std::string&, MessageButtons buttons) override {
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
  }
  std::optional<FileDialogResult> fileDialog(const FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> browseFolder(const std::string&) override { return std::nullopt; }
  bool resizeSkinsDialog(ResizeSkinsValues&) override { return false; }
  bool offsetCompanionDialog(OffsetCompanionValues&) override { return false; }
  bool preferencesDialog(PreferencesValues&) override { return false; }
  bool snapshotsDialog(SnapshotValues&) override { return false; }
  bool mapFromViewDialog(MapFromViewValues&) override { return false; }
  void aboutDialog(const AboutValues&) override {}
  int readInt(const std::string& section, const std::string& key, int fallback) override {
    auto it = settings.find(section + "/" + key);
    return it == settings.end() ? fallback : std::atoi(it->second.c_str());
  }
  std::string readString(const std::string& section, const std::string& key,
                         const std::string& fallback) override {
    auto it = settings.find(section + "/" + key);
    return it == settings.end() ? fallback : it->second;
  }
  void writeInt(const std::string& section, const std::string& key, int value) override {
    settings[section + "/" + key] = std::to_string(value);
  }
  void writeString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    settings[section + "/" + key] = value;
  }
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
  std::int64_t nowMilliseconds() override { return 0; }
  UtcDate todayUtc() override { return {}; }
  void sleepMilliseconds(int) override {}
  bool takePendingInput() override { return false; }
  void playLoopingSound(int) override {}
  void stopSound() override {}
  bool isCtrlHeld() override { return false; }
};

}  // namespace pelt::fuzz
