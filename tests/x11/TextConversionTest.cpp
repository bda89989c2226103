// Text crossing the X clipboard and the editor's files: code page 1256 with CR breaks inside,
// UTF-8 with LF outside.
#include <gtest/gtest.h>


#include "TextFile.h"
#include "platform/x11/ClipboardText.h"

TEST(ClipboardText, CopiedTextLeavesAsUtf8WithLineFeeds) {
  // "Hi", a break, and the Arabic "salam" in code page 1256.
  EXPECT_EQ(Utf8ForOtherPrograms("Hi\r\xD3\xE1\xC7\xE3"), "Hi\n\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85");
  EXPECT_EQ(Latin1ForOtherPrograms("caf\xE9\r\xC7"), "caf\xE9\n?");
}

TEST(ClipboardText, PastedBreaksBecomeOneCrEach) {
  EXPECT_EQ(ControlTextFromUtf8("a\r\nb\nc\rd"), "a\rb\rc\rd");
  // CR LF at the very end, and two breaks in a row.
  EXPECT_EQ(ControlTextFromUtf8("a\r\n\r\n"), "a\r\r");
  EXPECT_EQ(ControlTextFromUtf8("\xD8\xB3 x"), "\xD3 x");
  // Text with a character the code page has no place for is not pasted in part; digits it can
  // say by meaning are.
  EXPECT_EQ(ControlTextFromUtf8("\xD0\x96!"), std::nullopt);
  EXPECT_EQ(ControlTextFromUtf8("\xD9\xA1!"), "1!");
}

TEST(ClipboardText, ControlTextSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0x20; b < 0x100; ++b) all.push_back(static_cast<char>(b));
  all += "\rend";
  EXPECT_EQ(ControlTextFromUtf8(Utf8ForOtherPrograms(all)), all);
}

TEST(TextFile, ReadsUtf8FilesWithAnyLineEnds) {
  LoadedText loaded = ControlTextFromFile("\xEF\xBB\xBFone\r\ntwo\n\xD8\xB3\n");
  EXPECT_EQ(loaded.text, "one\rtwo\r\xD3\r");
  EXPECT_EQ(loaded.replaced, 0u);
  EXPECT_EQ(ControlTextFromFile("\xD0\x96?").replaced, 1u);
  EXPECT_EQ(FileTextFromControl("one\r\xD3\r"), "one\n\xD8\xB3\n");
}

TEST(TextFile, AFileThatCannotBeReadIsReported) {
  std::string bytes, error;
  EXPECT_FALSE(ReadWholeFile("/nonexistent-dir/notes.txt", bytes, error));
  EXPECT_NE(error.find("/nonexistent-dir/notes.txt"), std::string::npos);
}
