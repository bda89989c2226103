// Text crossing the X clipboard and the editor's files: code page 1256 with CR breaks inside,
// UTF-8 with LF outside.
#include <gtest/gtest.h>


#include "TextFile.h"
#include "platform/x11/ClipboardText.h"

namespace kestrix {

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

TEST(TextFile, AFileIsWrittenBackOnlyWhenEveryByteWouldComeBack) {
  struct Row {
    const char* bytes;
    const char* readOnlyBecause;  // empty: editable
  };
  const Row rows[] = {
      {"one\ntwo \xD8\xB3\n", ""},
      {"one\r\ntwo\r\n", ""},
      {"no end", ""},
      {"\xEF\xBB\xBFone\n", "it begins with a byte order mark, which would not be written back"},
      {"a\nb \xDB\x8C\n", "U+06CC on line 2 has no place in the Arabic code page (1256)"},
      {"\xD9\xA3\n", "U+0663 on line 1 would be written back as 3"},
      {"a\n\xFF\xFE\n", "the byte 0xFF on line 2 is not UTF-8"},
      {"ok \xC1\x81\n", "the byte 0xC1 on line 1 is not UTF-8"},
      {"a\tb\n", "a tab on line 1, which the control does not hold"},
      {"a\x0C\n", "the control character U+000C on line 1, which the control does not hold"},
      {"a\r\nb\nc\n", "the line ends are mixed (line 2 ends unlike line 1)"},
      {"a\rb\n", "a CR alone ends line 1, which would be written back as LF"},
  };
  for (const Row& row : rows) {
    FileForEditing file = ReadForEditing(row.bytes);
    EXPECT_EQ(file.readOnlyBecause.value_or(""), row.readOnlyBecause) << row.bytes;
    if (!file.readOnlyBecause) {
      EXPECT_EQ(FileBytesFromControl(file.text, file.lineEnd), row.bytes);
    }
  }
  FileForEditing crlf = ReadForEditing("one\r\n\xD8\xB3\r\n");
  EXPECT_EQ(crlf.text, "one\r\xD3\r");
  EXPECT_EQ(FileBytesFromControl("one\rtwo\r", crlf.lineEnd), "one\r\ntwo\r\n");
}

TEST(TextFile, AFileThatCannotBeReadIsReported) {
  std::string bytes, error;
  EXPECT_FALSE(ReadWholeFile("/nonexistent-dir/notes.txt", bytes, error));
  EXPECT_NE(error.find("/nonexistent-dir/notes.txt"), std::string::npos);
}

}  // namespace kestrix
