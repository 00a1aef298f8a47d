#include "platform/json_text.h"

#include <gtest/gtest.h>

namespace pelt {
namespace {

// Names come from files: any bytes must give a string a JSON reader accepts.
TEST(JsonText, EveryByteStringGivesValidJson) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"models/a.pcx", "\"models/a.pcx\""},
      {"q\"b\\s", "\"q\\\"b\\\\s\""},
      {std::string("t\tn\n\x01", 5), "\"t\\u0009n\\u000a\\u0001\""},
      {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80",
       "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\""},
      {"\xff\xfe", "\"\\u00ff\\u00fe\""},
      {"a\xc3", "\"a\\u00c3\""},                                 // cut sequence
      {"\xc0\xaf", "\"\\u00c0\\u00af\""},                        // overlong '/'
      {"\xed\xa0\x80", "\"\\u00ed\\u00a0\\u0080\""},             // surrogate
      {"\xf4\x90\x80\x80", "\"\\u00f4\\u0090\\u0080\\u0080\""},  // above U+10FFFF
      {"\xe2\x82x", "\"\\u00e2\\u0082x\""},
  };
  for (const Case& c : cases) EXPECT_EQ(jsonQuoted(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace pelt
