#include "platform/json_text.h"

#include <cstdint>
#include <cstdio>

namespace pelt {

namespace {

bool isContinuation(std::uint8_t b) { return (b & 0xC0) == 0x80; }

// Length of the valid UTF-8 sequence starting at text[i], or 0.
size_t utf8Length(const std::string& text, size_t i) {
  const auto at = [&](size_t k) { return static_cast<std::uint8_t>(text[k]); };
  const std::uint8_t lead = at(i);
  size_t length = 0;
  std::uint8_t low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF)
    length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4)
    length = 4;
  else
    return 0;
  // No overlong forms, no surrogates, nothing above U+10FFFF.
  if (lead == 0xE0) low = 0xA0;
  if (lead == 0xED) high = 0x9F;
  if (lead == 0xF0) low = 0x90;
  if (lead == 0xF4) high = 0x8F;
  if (i + length > text.size()) return 0;
  if (at(i + 1) < low || at(i + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k)
    if (!isContinuation(at(i + k))) return 0;
  return length;
}

void appendEscaped(std::string& out, std::uint8_t byte) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04x", byte);
  out += buffer;
}

}  // namespace

std::string jsonQuoted(const std::string& text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<std::uint8_t>(text[i]);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += static_cast<char>(byte);
      ++i;
    } else if (byte < 0x20) {
      appendEscaped(out, byte);
      ++i;
    } else if (byte < 0x80) {
      out += static_cast<char>(byte);
      ++i;
    } else if (size_t length = utf8Length(text, i)) {
      out.append(text, i, length);
      i += length;
    } else {
      appendEscaped(out, byte);
      ++i;
    }
  }
  return out + "\"";
}

}  // namespace pelt
