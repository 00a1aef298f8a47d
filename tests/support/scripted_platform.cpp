#include "support/scripted_platform.h"

namespace pelt::test {

namespace {
template <typename T>
bool takeDialog(std::deque<std::optional<T>>& queue, T& values) {
  if (queue.empty()) return false;
  std::optional<T> answer = queue.front();
  queue.pop_front();
  if (!answer) return false;
  values = *answer;
  return true;
}
}  // namespace

std::vector<std::string> ScriptedPlatform::messageTexts() const {
  std::vector<std::string> texts;
  for (const auto& m : messages) texts.push_back(m.text);
  return texts;
}

MessageAnswer ScriptedPlatform::messageBox(const std::string& text, MessageButtons buttons) {
  messages.push_back({text, buttons});
  if (!messageAnswers.empty()) {
    MessageAnswer answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  }
  switch (buttons) {
    case MessageButtons::Ok: return MessageAnswer::Ok;
    case MessageButtons::YesNo: return MessageAnswer::No;
    case MessageButtons::YesNoCancel: return MessageAnswer::Cancel;
  }
  return MessageAnswer::Ok;
}

std::optional<FileDialogResult> ScriptedPlatform::fileDialog(const FileDialogRequest& request) {
  fileRequests.push_back(request);
  if (fileAnswers.empty()) return std::nullopt;
  auto answer = fileAnswers.front();
  fileAnswers.pop_front();
  return answer;
}

std::optional<std::string> ScriptedPlatform::browseFolder(const std::string& title) {
  folderTitles.push_back(title);
  if (folderAnswers.empty()) return std::nullopt;
  auto answer = folderAnswers.front();
  folderAnswers.pop_front();
  return answer;
}

bool ScriptedPlatform::resizeSkinsDialog(ResizeSkinsValues& v) { return takeDialog(resizeAnswers, v); }
bool ScriptedPlatform::offsetCompanionDialog(OffsetCompanionValues& v) {
  offsetRequests.push_back(v);
  return takeDialog(offsetAnswers, v);
}
bool ScriptedPlatform::preferencesDialog(PreferencesValues& v) { return takeDialog(preferencesAnswers, v); }
bool ScriptedPlatform::snapshotsDialog(SnapshotValues& v) { return takeDialog(snapshotAnswers, v); }
bool ScriptedPlatform::mapFromViewDialog(MapFromViewValues& v) { return takeDialog(mapFromViewAnswers, v); }

int ScriptedPlatform::readInt(const std::string& section, const std::string& key, int fallback) {
  auto s = settings.find(section);
  if (s == settings.end()) return fallback;
  auto k = s->second.find(key);
  return k == s->second.end() ? fallback : std::stoi(k->second);
}

std::string ScriptedPlatform::readString(const std::string& section, const std::string& key,
                                         const std::string& fallback) {
  auto s = settings.find(section);
  if (s == settings.end()) return fallback;
  auto k = s->second.find(key);
  return k == s->second.end() ? fallback : k->second;
}

void ScriptedPlatform::writeInt(const std::string& section, const std::string& key, int value) {
  settings[section][key] = std::to_string(value);
}

void ScriptedPlatform::writeString(const std::string& section, const std::string& key,
                                   const std::string& value) {
  settings[section][key] = value;
}

}  // namespace pelt::test
