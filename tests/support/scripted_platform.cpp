#include "support/scripted_platform.h"

namespace pelt::test {

std::vector<std::string> ScriptedPlatform::messageTexts() const {
  std::vector<std::string> texts;
  for (const auto& m : messages) texts.push_back(m.text);
  return texts;
}

MessageAnswer ScriptedPlatform::messageBox(const std::string& text, MessageButtons buttons) {
  messages.push_back({text, buttons});
  if (std::optional<MessageAnswer> queued = take(messageAnswers)) return *queued;
  return buttons == MessageButtons::YesNo         ? MessageAnswer::No
         : buttons == MessageButtons::YesNoCancel ? MessageAnswer::Cancel
                                                  : MessageAnswer::Ok;
}

int ScriptedPlatform::readInt(const std::string& section, const std::string& key, int fallback) {
  const std::string text = readString(section, key, "");
  return text.empty() ? fallback : std::stoi(text);
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
