#pragma once
// Text from files as JSON strings.

#include <string>

namespace pelt {

// A quoted JSON string for any bytes: valid UTF-8 is kept, control
// characters are escaped, and every byte that is not part of a valid UTF-8
// sequence becomes \u00XX (the byte read as Latin-1), so the result always
// parses.
std::string jsonQuoted(const std::string& text);

}  // namespace pelt
