#include "cli/console_platform.h"

#include <chrono>
#include <ctime>
#include <iostream>
#include <thread>

namespace pelt {

MessageAnswer ConsolePlatform::messageBox(const std::string& text, MessageButtons buttons) {
  if (echoMessages_) std::cerr << text << "\n";
  lastMessage = text;
  switch (buttons) {
    case MessageButtons::Ok: return MessageAnswer::Ok;
    case MessageButtons::YesNo: return MessageAnswer::No;
    case MessageButtons::YesNoCancel:
    case MessageButtons::SaveDiscardCancel: return MessageAnswer::Cancel;
  }
  return MessageAnswer::Ok;
}

int ConsolePlatform::readInt(const std::string& section, const std::string& key, int fallback) {
  auto it = settings_.find(section + "/" + key);
  return it == settings_.end() ? fallback : std::stoi(it->second);
}

std::string ConsolePlatform::readString(const std::string& section, const std::string& key,
                                        const std::string& fallback) {
  auto it = settings_.find(section + "/" + key);
  return it == settings_.end() ? fallback : it->second;
}

void ConsolePlatform::writeInt(const std::string& section, const std::string& key, int value) {
  settings_[section + "/" + key] = std::to_string(value);
}

void ConsolePlatform::writeString(const std::string& section, const std::string& key,
                                  const std::string& value) {
  settings_[section + "/" + key] = value;
}

std::int64_t ConsolePlatform::nowMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

UtcDate ConsolePlatform::todayUtc() {
  std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  return {utc.tm_mon + 1, utc.tm_mday};
}

void ConsolePlatform::sleepMilliseconds(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace pelt
