#pragma once
// A Platform for tests: answers come from queues, everything the core asks
// for is recorded, settings live in memory.

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace pelt::test {

struct RecordedMessage {
  std::string text;
  MessageButtons buttons;
  bool warning = false;
};

struct RecordedRefresh {
  int level;
  int mask;
  bool posted;
  friend bool operator==(const RecordedRefresh&, const RecordedRefresh&) = default;
};

class ScriptedPlatform : public Platform {
 public:
  // Queued answers; an empty queue answers OK / No / Cancel / cancelled.
  std::deque<MessageAnswer> messageAnswers;
  std::deque<std::optional<FileDialogResult>> fileAnswers;
  std::deque<std::optional<std::string>> folderAnswers;
  std::deque<std::optional<PreferencesValues>> preferencesAnswers;
  std::deque<std::optional<ResizeSkinsValues>> resizeAnswers;
  std::deque<std::optional<OffsetCompanionValues>> offsetAnswers;
  std::deque<std::optional<SnapshotValues>> snapshotAnswers;
  std::deque<std::optional<MapFromViewValues>> mapFromViewAnswers;
  std::deque<std::optional<std::string>> gameModelAnswers;  // the name chosen
  std::deque<std::optional<ReduceColoursValues>> reduceAnswers;
  std::vector<int> reduceColourCounts;  // what each "Reduce to the palette" showed

  // What the core did.
  std::vector<RecordedMessage> messages;
  std::vector<FileDialogRequest> fileRequests;
  std::vector<std::string> folderTitles;
  std::vector<OffsetCompanionValues> offsetRequests;  // values the dialog was opened with
  std::vector<RecordedRefresh> refreshes;
  std::vector<ViewId> repaints;
  std::vector<int> barAdjusts;
  std::string statusText;  // the status line's last note
  int listRefills = 0, pointerHidden = 0;

  // Settings: section -> key -> value (ints stored as text).
  std::map<std::string, std::map<std::string, std::string>> settings;
  bool ctrlHeld = false;
  std::int64_t clock = 0;
  UtcDate date{};

  std::vector<std::string> messageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
  }
  void answerFile(const std::string& path, int filterIndex = 1) {
    fileAnswers.push_back(FileDialogResult{path, filterIndex});
  }

  MessageAnswer messageBox(const std::string& text, MessageButtons buttons) override {
    messages.push_back({text, buttons});
    if (std::optional<MessageAnswer> queued = take(messageAnswers)) return *queued;
    return buttons == MessageButtons::YesNo               ? MessageAnswer::No
           : buttons == MessageButtons::YesNoCancel       ? MessageAnswer::Cancel
           : buttons == MessageButtons::SaveDiscardCancel ? MessageAnswer::Cancel
                                                          : MessageAnswer::Ok;
  }
  void warningBox(const std::string& text) override {
    messages.push_back({text, MessageButtons::Ok, true});
  }
  std::optional<FileDialogResult> fileDialog(const FileDialogRequest& request) override {
    fileRequests.push_back(request);
    return take(fileAnswers).value_or(std::nullopt);
  }
  std::optional<std::string> browseFolder(const std::string& title) override {
    folderTitles.push_back(title);
    return take(folderAnswers).value_or(std::nullopt);
  }
  bool resizeSkinsDialog(ResizeSkinsValues& v) override { return answer(resizeAnswers, v); }
  bool offsetCompanionDialog(OffsetCompanionValues& v) override {
    offsetRequests.push_back(v);
    return answer(offsetAnswers, v);
  }
  bool preferencesDialog(PreferencesValues& v) override { return answer(preferencesAnswers, v); }
  bool snapshotsDialog(SnapshotValues& v) override { return answer(snapshotAnswers, v); }
  bool mapFromViewDialog(MapFromViewValues& v) override { return answer(mapFromViewAnswers, v); }
  bool reduceColoursDialog(ReduceColoursValues& v) override {
    reduceColourCounts.push_back(v.colours);
    return answer(reduceAnswers, v);
  }
  void aboutDialog(const AboutValues& values) override { aboutShown = values; }
  bool openFromGameDialog(OpenFromGameValues& values) override {
    gameModelsOffered = values.models;
    const std::optional<std::string> chosen = take(gameModelAnswers).value_or(std::nullopt);
    if (chosen) values.chosen = *chosen;
    return chosen.has_value();
  }

  int readInt(const std::string& section, const std::string& key, int fallback) override {
    const std::string text = readString(section, key, "");
    return text.empty() ? fallback : std::stoi(text);
  }
  std::string readString(const std::string& section, const std::string& key,
                         const std::string& fallback) override {
    const auto& keys = settings[section];
    return keys.contains(key) ? keys.at(key) : fallback;
  }
  void writeInt(const std::string& section, const std::string& key, int value) override {
    settings[section][key] = std::to_string(value);
  }
  void writeString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    settings[section][key] = value;
  }

  void capturePointer(ViewId) override {}
  void releasePointer() override {}
  void hidePointer() override { ++pointerHidden; }
  void showPointer() override { --pointerHidden; }
  void setPointerPosition(int, int) override {}

  void sendRefresh(int level, int mask) override { refreshes.push_back({level, mask, false}); }
  void postRefresh(int level, int mask) override { refreshes.push_back({level, mask, true}); }
  void sendBarAdjust(int p) override { barAdjusts.push_back(p); }
  void repaint(ViewId view) override { repaints.push_back(view); }
  void refillLists() override { ++listRefills; }

  std::int64_t nowMilliseconds() override { return clock; }
  UtcDate todayUtc() override { return date; }
  void sleepMilliseconds(int ms) override { clock += ms; }
  bool takePendingInput() override { return ++inputPolls == inputAtPoll; }
  void playLoopingSound(int clip) override { soundsPlayed.push_back(clip); }
  void stopSound() override {}
  bool isCtrlHeld() override { return ctrlHeld; }
  void showStatusText(const std::string& text) override { statusText = text; }

  // The intro: a window only when a test asks for one; input arrives at the
  // given poll (1-based; 0 never).
  bool introWindowAvailable = false;
  int inputPolls = 0, inputAtPoll = 0;
  std::vector<int> soundsPlayed;
  bool openIntroWindow(int, int) override { return introWindowAvailable; }

  std::optional<AboutValues> aboutShown;
  std::vector<GameModelRow> gameModelsOffered;

  int playbackTimerMs = 0;  // 0 while stopped
  void startPlaybackTimer(int ms) override { playbackTimerMs = ms; }
  void stopPlaybackTimer() override { playbackTimerMs = 0; }
  // Groups of commands in the Keys and Mouse window last shown.
  size_t keysAndMouseGroups = 0;
  void keysAndMouseWindow(const KeysAndMouseValues& v) override {
    keysAndMouseGroups = v.commands.size();
  }
  std::string programFolderPath;
  std::vector<std::string> documentsOpened;
  std::string programFolder() override { return programFolderPath; }
  bool openDocument(const std::string& path) override {
    documentsOpened.push_back(path);
    return true;
  }

 private:
  // The queue's front, or nullopt when it is empty.
  template <typename T>
  static std::optional<T> take(std::deque<T>& queue) {
    if (queue.empty()) return std::nullopt;
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
  }
  template <typename T>
  static bool answer(std::deque<std::optional<T>>& queue, T& values) {
    const std::optional<T> given = take(queue).value_or(std::nullopt);
    values = given.value_or(values);
    return given.has_value();
  }
};

}  // namespace pelt::test
