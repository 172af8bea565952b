#include "relay/relay_text.h"

#include <gtest/gtest.h>

#include <string>

using relay::CommandOfLine;

namespace {
bool NoLeadBytes(unsigned char) { return false; }
bool HighBytesLead(unsigned char c) { return c >= 0x81 && c <= 0x9F; }  // like code page 932
}  // namespace

TEST(CommandOfLine, SkipsTheProgramNameAndTheBlanksAfterIt) {
  EXPECT_STREQ(CommandOfLine("Velcast.exe /OPEN 12", NoLeadBytes), "/OPEN 12");
  EXPECT_STREQ(CommandOfLine("Velcast.exe \t  \"a b\" c ", NoLeadBytes), "\"a b\" c ");
  EXPECT_STREQ(CommandOfLine("\"C:\\Program Files\\x\\Velcast.exe\" go", NoLeadBytes), "go");
  // Quotes toggle anywhere in the name and stay part of it.
  EXPECT_STREQ(CommandOfLine("C:\\a\" \"b\\Velcast.exe  cmd", NoLeadBytes), "cmd");
  // Any character 1..32 ends the name.
  EXPECT_STREQ(CommandOfLine("Velcast.exe\x01" "cmd", NoLeadBytes), "cmd");
}

TEST(CommandOfLine, ALineThatEndsInTheNameGivesAnEmptyCommand) {
  EXPECT_STREQ(CommandOfLine("Velcast.exe", NoLeadBytes), "");
  EXPECT_STREQ(CommandOfLine("\"Velcast.exe   ", NoLeadBytes), "");
  EXPECT_STREQ(CommandOfLine("Velcast.exe    ", NoLeadBytes), "");
  EXPECT_STREQ(CommandOfLine("", NoLeadBytes), "");
}

TEST(CommandOfLine, ALeadByteTakesItsTrailByteWithIt) {
  // 0x81 0x22: the trail byte is a quote code but belongs to the double-byte character.
  EXPECT_STREQ(CommandOfLine("a\x81\x22 b", HighBytesLead), "b");
  EXPECT_STREQ(CommandOfLine("a\x81\x22 b", NoLeadBytes), "");  // read as an opening quote
  // A lead byte at the very end does not step over the terminator.
  EXPECT_STREQ(CommandOfLine("a\x81", HighBytesLead), "");
}

TEST(CopyCommand, RefusesWhatDoesNotFitInsteadOfCutting) {
  char buf[8];
  EXPECT_TRUE(relay::CopyCommand("1234567", buf, sizeof buf));
  EXPECT_STREQ(buf, "1234567");
  EXPECT_FALSE(relay::CopyCommand("12345678", buf, sizeof buf));
  EXPECT_STREQ(buf, "");
  EXPECT_TRUE(relay::CopyCommand("", buf, sizeof buf));
  EXPECT_FALSE(relay::CopyCommand("x", buf, 0));

  const std::string longest(relay::kLauncherCommandSize - 1, 'A');
  char launcher[relay::kLauncherCommandSize];
  EXPECT_TRUE(relay::CopyCommand(longest.c_str(), launcher, sizeof launcher));
  EXPECT_FALSE(relay::CopyCommand((longest + "A").c_str(), launcher, sizeof launcher));
}

TEST(BuildLaunchLine, PathBlankCommand) {
  char out[relay::kCommandLineSize];
  ASSERT_TRUE(relay::BuildLaunchLine("\"C:\\a b\\qz32.exe\"", "/OPEN", out, sizeof out));
  EXPECT_STREQ(out, "\"C:\\a b\\qz32.exe\" /OPEN");
  ASSERT_TRUE(relay::BuildLaunchLine("C:\\ab\\qz32.exe", "", out, sizeof out));
  EXPECT_STREQ(out, "C:\\ab\\qz32.exe ");  // an empty command keeps the trailing blank

  char small[10];
  EXPECT_TRUE(relay::BuildLaunchLine("abcd", "efgh", small, sizeof small));
  EXPECT_FALSE(relay::BuildLaunchLine("abcd", "efghi", small, sizeof small));
  EXPECT_STREQ(small, "");
}
