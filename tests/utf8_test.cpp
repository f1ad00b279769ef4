// The UTF-8 check against the JSON parser, which decides what an exchange file's strings may hold
// and what the answers' serializer writes unchanged: both must agree on every byte sequence.
#include "common/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/json.h"

namespace calcora {
namespace {

TEST(Utf8, AcceptsExactlyWhatTheJsonParserAccepts) {
  // An ASCII letter and every byte that is not ASCII, in pairs, in triples under the three-byte
  // forms, and with telling bytes after them elsewhere; each also after seven ASCII letters,
  // so that it falls in the first eight bytes checked at once.
  std::vector<unsigned char> bytes = {'A'};
  for (int b = 0x80; b <= 0xFF; ++b) bytes.push_back(static_cast<unsigned char>(b));
  std::vector<std::string> texts;
  for (unsigned char a : bytes) {
    texts.push_back({char(a)});
    for (unsigned char b : bytes) {
      texts.push_back({char(a), char(b)});
      if (a >= 0xE0 && a < 0xF0)
        for (unsigned char c : bytes) texts.push_back({char(a), char(b), char(c)});
      else
        for (unsigned char c : {0x41, 0x80, 0xBF, 0xC0}) texts.push_back({char(a), char(b), char(c)});
      if (a >= 0xF0)
        for (unsigned char c : {0x41, 0x80, 0xBF})
          for (unsigned char d : {0x41, 0x80, 0xBF, 0xC0}) texts.push_back({char(a), char(b), char(c), char(d)});
    }
  }
  int failures = 0;
  for (const auto& text : texts) {
    for (const std::string& checked : {text, "ABCDEFG" + text}) {
      const bool parser = Json::accept("\"" + checked + "\"");
      if (is_valid_utf8(checked) != parser && ++failures <= 10) {
        std::string hex;
        for (unsigned char c : checked) hex += " " + std::to_string(c);
        ADD_FAILURE() << "bytes" << hex << ": parser " << parser;
      }
    }
  }
  EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace calcora
