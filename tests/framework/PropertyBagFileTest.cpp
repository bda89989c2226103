// The property file: exact text of a small bag, round trips of every type and awkward value,
// every cut of a file, hostile lines, the size caps, and saving and loading real files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>

#include "framework/ole/PropertyBagFile.h"

namespace kestrix {

namespace {

namespace fs = std::filesystem;

std::string AllBytes() {
  std::string s;
  for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
  return s;
}

SavedFont OddFont() {
  SavedFont f;
  f.name = L"Odd \"face\" \\ {x} }\r\n\t\u0627\u0644\U0001F600";
  f.name += L'\0';
  f.name += static_cast<wchar_t>(std::numeric_limits<std::make_unsigned_t<wchar_t>>::max());
  f.size = std::numeric_limits<CY>::min();
  f.weight = -32768;
  f.charset = 178;
  f.italic = TRUE;
  f.strikethrough = TRUE;
  return f;
}

// Every type, the extremes of every number, and names that cannot be bare words.
PropertyBag RichBag() {
  PropertyBag bag;
  bag.Write("_Version", DWORD{0x00010000});
  bag.Write("FontAr", OddFont());
  SavedFont empty;
  empty.size = std::numeric_limits<CY>::max();
  bag.Write("FontEn", empty);
  bag.Write("WordWrap", false);
  bag.Write("Modified", true);
  bag.Write("Style", short{-32768});
  bag.Write("ScrollBars", short{32767});
  bag.Write("m_SelText", CString(AllBytes()));
  bag.Write("m_Text", CString(AllBytes() + "\r\n\r" + AllBytes()));
  bag.Write("Empty", CString());
  bag.Write("MaxLength", LONG{std::numeric_limits<LONG>::min()});
  bag.Write("ForeColor", LONG{std::numeric_limits<LONG>::max()});
  bag.Write("Dword", DWORD{0xFFFFFFFF});
  bag.Write("with space", short{1});
  bag.Write("end", short{2});
  bag.Write("}", short{3});
  bag.Write("#not a comment", short{4});
  bag.Write(std::string("nul\0\xFF\"", 6), short{5});
  return bag;
}

std::string Save(const PropertyBag& bag) {
  std::string text;
  std::string error;
  EXPECT_TRUE(SavePropertyBagToString(bag, text, &error)) << error;
  return text;
}

// Loads text; the bag and whether it loaded cleanly.
PropertyBag Load(std::string_view text, bool* clean = nullptr, std::string* error = nullptr,
                 const PropertyFileLimits& limits = {}) {
  PropertyBag bag;
  bool ok = LoadPropertyBagFromString(text, bag, error, limits);
  if (clean) *clean = ok;
  return bag;
}

bool Same(const PropertyBag& a, const PropertyBag& b) { return a.Entries() == b.Entries(); }

const char* kHeader = "kestrix-properties 1.0\n";

TEST(PropertyBagFile, WritesTheDocumentedText) {
  PropertyBag bag;
  bag.Write("_Version", DWORD{65536});
  SavedFont f;
  f.name = L"A\u0627\"";
  f.size = 120000;
  f.weight = 700;
  f.charset = 1;
  f.underline = TRUE;
  bag.Write("FontEn", f);
  bag.Write("ReadOnly", true);
  bag.Write("Style", short{-1});
  bag.Write("BackColor", LONG{16777215});
  bag.Write("m_Text", CString(std::string("a\"\\\r\n\t\0\x7F\xC8", 9)));
  bag.Write("odd name", short{0});
  EXPECT_EQ(Save(bag),
            "kestrix-properties 1.0\n"
            "_Version dword 65536\n"
            "FontEn font {\n"
            "  name \"A\\u{627}\\\"\"\n"
            "  size 120000\n"
            "  weight 700\n"
            "  charset 1\n"
            "  italic false\n"
            "  underline true\n"
            "  strikethrough false\n"
            "}\n"
            "ReadOnly bool true\n"
            "Style short -1\n"
            "BackColor long 16777215\n"
            "m_Text string \"a\\\"\\\\\\r\\n\\t\\x00\\x7F\\xC8\"\n"
            "\"odd name\" short 0\n"
            "end\n");
}

TEST(PropertyBagFile, RoundTripsEveryTypeAndEveryByte) {
  PropertyBag bag = RichBag();
  std::string text = Save(bag);
  for (char c : text) ASSERT_TRUE(c == '\n' || (c >= 0x20 && c <= 0x7E)) << int(c);
  bool clean = false;
  std::string error;
  EXPECT_TRUE(Same(Load(text, &clean, &error), bag));
  EXPECT_TRUE(clean) << error;
  // A host that turns the line ends into CR LF loses nothing.
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_TRUE(Same(Load(crlf), bag));
}

TEST(PropertyBagFile, SaveRefusesWhatCouldNotBeReadBack) {
  PropertyFileLimits limits;
  limits.maxStringChars = 4;
  limits.maxNameBytes = 3;
  limits.maxEntries = 2;
  limits.maxLineBytes = 40;
  auto refused = [&](const PropertyBag& bag) {
    std::string text = "unchanged";
    bool ok = SavePropertyBagToString(bag, text, nullptr, limits);
    return !ok && text == "unchanged";
  };
  PropertyBag bag;
  bag.Write("abc", CString("1234"));
  EXPECT_FALSE(refused(bag));  // exactly at the limits
  PropertyBag longString;
  longString.Write("a", CString("12345"));
  EXPECT_TRUE(refused(longString));
  PropertyBag longName;
  longName.Write("abcd", true);
  EXPECT_TRUE(refused(longName));
  PropertyBag noName;
  noName.Write("", true);
  EXPECT_TRUE(refused(noName));
  PropertyBag tooMany;
  for (const char* n : {"a", "b", "c"}) tooMany.Write(n, true);
  EXPECT_TRUE(refused(tooMany));
  PropertyBag wideLine;  // four characters, but each takes eleven bytes escaped
  SavedFont f;
  f.name = L"\U0010FFFF\U0010FFFF\U0010FFFF\U0010FFFF";
  wideLine.Write("f", f);
  EXPECT_TRUE(refused(wideLine));
}

// Cut anywhere, a file gives exactly the values whose lines it holds in full.
TEST(PropertyBagFile, EveryCutLoadsTheCompleteValuesBeforeIt) {
  PropertyBag bag = RichBag();
  std::string text = Save(bag);
  // Where value k ends: the file of the first k values, less its end line.
  std::vector<size_t> ends;
  PropertyBag firsts;
  for (const auto& [name, value] : bag.Entries()) {
    firsts.Write(name, value);
    ends.push_back(Save(firsts).size() - 4);
  }
  for (size_t n = 0; n <= text.size(); ++n) {
    bool clean = true;
    PropertyBag loaded = Load(std::string_view(text).substr(0, n), &clean);
    size_t expected = 0;
    while (expected < ends.size() && ends[expected] <= n) ++expected;
    ASSERT_EQ(loaded.Entries().size(), expected) << "cut at " << n;
    for (size_t k = 0; k < expected; ++k) ASSERT_EQ(loaded.Entries()[k], bag.Entries()[k]);
    EXPECT_EQ(clean, n == text.size()) << "cut at " << n;
  }
}

TEST(PropertyBagFile, HeaderDecidesWhetherAnythingIsRead) {
  const std::string body = "A bool true\nend\n";
  for (const char* header :
       {"", "kestrix-properties\n", "kestrix-properties 2.0\n", "kestrix-properties 1\n",
        "kestrix-properties x.0\n", "Kestrix-properties 1.0\n",
        "\xEF\xBB\xBFkestrix-properties 1.0\n", "kestrix-properties 1.0"}) {
    std::string error;
    bool clean = true;
    PropertyBag loaded = Load(header + body, &clean, &error);
    EXPECT_TRUE(loaded.Entries().empty()) << header;
    EXPECT_FALSE(clean);
    EXPECT_FALSE(error.empty());
  }
  // A later minor version is read; what it adds is skipped.
  bool clean = true;
  PropertyBag loaded = Load(
      "kestrix-properties 1.7\nA bool true\nB colour red\nF font {\n  name \"x\"\n  size 1\n"
      "  weight 2\n  charset 3\n  italic true\n  underline false\n  strikethrough true\n"
      "  outline true\n}\nend\n",
      &clean);
  ASSERT_EQ(loaded.Entries().size(), 2u);
  EXPECT_EQ(std::get<bool>(*loaded.Read("A")), true);
  const auto& font = std::get<SavedFont>(*loaded.Read("F"));
  EXPECT_EQ(font.name, L"x");
  EXPECT_EQ(font.charset, 3);
  EXPECT_EQ(font.strikethrough, TRUE);
  EXPECT_FALSE(clean);  // the colour was left out
}

// Each bad line is left out alone; the good line after it is still read.
TEST(PropertyBagFile, BadLinesAreLeftOutOneByOne) {
  const char* bad[] = {
      "X short 32768",
      "X short -32769",
      "X long 2147483648",
      "X long -2147483649",
      "X dword -1",
      "X dword 4294967296",
      "X long 99999999999999999999999999999999",
      "X long +5",
      "X long 0x10",
      "X long 1.5",
      "X long \"5\"",
      "X long",
      "X bool 1",
      "X bool TRUE",
      "X string abc",
      "X string \"abc",
      "X string \"a\\qb\"",
      "X string \"\\x4\"",
      "X string \"\\xG0\"",
      "X string \"\\u{}\"",
      "X string \"\\u{100}\"",
      "X string \"\\u{123456789}\"",
      "X string \"a\\\"",
      "X string \"tab\there\"",
      "X string \"\xC8\"",
      "X string \"a\"b",
      "X string \"a\" \"b\"",
      "X float 1.5",
      "X String \"a\"",
      "\"\" bool true",
      "X\xC8 bool true",
      "a\"b bool true",
      "X bool true extra",
      "X font",
      "X font (",
      "X \"bool\" true",
      "}",
      "X bool true\r\r",
  };
  for (const char* line : bad) {
    bool clean = true;
    std::string error;
    PropertyBag loaded = Load(std::string(kHeader) + line + "\nY bool true\nend\n", &clean, &error);
    ASSERT_EQ(loaded.Entries().size(), 1u) << line;
    EXPECT_NE(loaded.Read("Y"), nullptr) << line;
    EXPECT_FALSE(clean) << line;
    EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
  }
  // Blank lines, comments and indentation are no problem.
  bool clean = false;
  PropertyBag loaded =
      Load(std::string(kHeader) + "\n  # note\n\t X \t bool  true \nend\n", &clean);
  EXPECT_TRUE(clean);
  EXPECT_EQ(loaded.Entries().size(), 1u);
}

TEST(PropertyBagFile, RepeatedNamesKeepTheFirstGoodValue) {
  bool clean = true;
  PropertyBag loaded = Load(std::string(kHeader) +
                                "A short 1\nA short 2\nB short 99999\nB short 3\nA long 4\n"
                                "\"B\" short 5\nend\n",
                            &clean);
  ASSERT_EQ(loaded.Entries().size(), 2u);
  EXPECT_EQ(std::get<short>(*loaded.Read("A")), 1);
  EXPECT_EQ(std::get<short>(*loaded.Read("B")), 3);
  EXPECT_FALSE(clean);
}

TEST(PropertyBagFile, BrokenFontsAreLeftOutWhole) {
  const std::string fields =
      "  name \"F\"\n  size 10\n  weight 400\n  charset 1\n  italic false\n  underline false\n"
      "  strikethrough false\n";
  auto load = [&](const std::string& group) {
    return Load(std::string(kHeader) + group + "After bool true\nend\n");
  };
  // Complete, in any order: kept.
  PropertyBag good =
      load("F font {\n  strikethrough true\n" + fields.substr(0, fields.rfind("  strike")) + "}\n");
  ASSERT_NE(good.Read("F"), nullptr);
  EXPECT_EQ(std::get<SavedFont>(*good.Read("F")).strikethrough, TRUE);
  for (const std::string& group : {
           std::string("F font {\n}\n"),                                 // no fields
           "F font {\n" + fields.substr(fields.find("  size")) + "}\n",  // no name
           "F font {\n" + fields + "  size 11\n}\n",                     // repeated field
           "F font {\n" + fields + "  weight 40000\n}\n",                // bad and repeated
           "F font {\n  name F\n" + fields.substr(fields.find("  size")) + "}\n",  // bare name
           "F font {\n  name \"\\u{110000000}\"\n" + fields.substr(fields.find("  size")) + "}\n",
           "F font {\n" + fields,                                  // never closed
           "F font {\n" + fields + "G font {\n" + fields + "}\n",  // a group in a group
       }) {
    PropertyBag loaded = load(group);
    EXPECT_EQ(loaded.Read("F"), nullptr) << group;
    EXPECT_NE(loaded.Read("After"), nullptr) << group;  // the group never swallows what follows
  }
}

TEST(PropertyBagFile, CapsBoundEveryLength) {
  PropertyFileLimits limits;
  limits.maxStringChars = 8;
  limits.maxNameBytes = 4;
  limits.maxLineBytes = 64;
  limits.maxEntries = 3;
  auto load = [&](const std::string& body) {
    return Load(std::string(kHeader) + body + "end\n", nullptr, nullptr, limits);
  };
  EXPECT_NE(load("S string \"12345678\"\n").Read("S"), nullptr);
  EXPECT_EQ(load("S string \"123456789\"\n").Read("S"), nullptr);
  EXPECT_NE(load("S string \"\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\"\n").Read("S"), nullptr);
  EXPECT_NE(load("abcd bool true\n").Read("abcd"), nullptr);
  EXPECT_TRUE(load("abcde bool true\n").Entries().empty());
  EXPECT_TRUE(load("\"abc\\x00d\" bool true\n").Entries().empty());
  EXPECT_TRUE(load("L bool true" + std::string(60, ' ') + "\n").Entries().empty());
  PropertyBag many = load("A bool true\nB bool true\nC bool true\nD bool true\nA bool false\n");
  EXPECT_EQ(many.Entries().size(), 3u);
  EXPECT_EQ(many.Read("D"), nullptr);
  // A file longer than the cap is read as if cut there.
  limits.maxFileBytes = std::string(kHeader).size() + 24;
  std::string error;
  PropertyBag cut = Load(std::string(kHeader) + "A bool true\nB bool true\nC bool true\nend\n",
                         nullptr, &error, limits);
  EXPECT_EQ(cut.Entries().size(), 2u);
  EXPECT_NE(error.find("longer than"), std::string::npos);
}

TEST(PropertyBagFile, GarbageNeverBreaksTheReader) {
  std::mt19937 random(1256);
  const std::string good = Save(RichBag());
  const std::string alphabet =
      "\"\\{} \t\r\n#xu0123456789abcdefABCDEF-bool short long dword string font";
  PropertyFileLimits limits;
  limits.maxStringChars = 300;
  limits.maxLineBytes = 1200;
  limits.maxNameBytes = 16;
  limits.maxEntries = 8;
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    switch (round % 3) {
      case 0:  // any bytes after a good header
        text = kHeader;
        for (auto i = random() % 400; i > 0; --i) text += static_cast<char>(random());
        break;
      case 1:  // the format's own characters, shuffled
        text = kHeader;
        for (auto i = random() % 400; i > 0; --i) text += alphabet[random() % alphabet.size()];
        break;
      default:  // a good file with a few bytes changed
        text = good;
        for (auto i = 1 + random() % 4; i > 0; --i)
          text[random() % text.size()] = static_cast<char>(random());
        break;
    }
    PropertyBag loaded = Load(text, nullptr, nullptr, limits);
    ASSERT_LE(loaded.Entries().size(), limits.maxEntries);
    for (const auto& [name, value] : loaded.Entries()) {
      ASSERT_FALSE(name.empty());
      ASSERT_LE(name.size(), limits.maxNameBytes);
      if (const auto* s = std::get_if<CString>(&value)) {
        ASSERT_LE(s->size(), limits.maxStringChars);
      }
    }
  }
}

class PropertyBagFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("kestrix-bagfile-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Path(const char* name) const { return (dir / name).string(); }
  size_t FilesInDir() const {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
  }
  fs::path dir;
};

TEST_F(PropertyBagFileOnDisk, SavesAtomicallyAndLoadsBack) {
  std::string path = Path("form.kxp");
  PropertyBag bag = RichBag();
  std::string error;
  ASSERT_TRUE(SavePropertyBagFile(bag, path, &error)) << error;
  EXPECT_EQ(FilesInDir(), 1u);  // no temporary left behind
  ::chmod(path.c_str(), 0640);
  PropertyBag second;
  second.Write("A", true);
  ASSERT_TRUE(SavePropertyBagFile(second, path, &error)) << error;
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replaced file's permissions stay
  PropertyBag loaded;
  loaded.Write("stale", true);
  ASSERT_TRUE(LoadPropertyBagFile(path, loaded, &error)) << error;
  EXPECT_TRUE(Same(loaded, second));
  EXPECT_TRUE(error.empty());

  // A save that fails leaves the old file as it was.
  PropertyFileLimits tight;
  tight.maxStringChars = 1;
  EXPECT_FALSE(SavePropertyBagFile(bag, path, &error, tight));
  ASSERT_TRUE(LoadPropertyBagFile(path, loaded));
  EXPECT_TRUE(Same(loaded, second));
  EXPECT_FALSE(SavePropertyBagFile(bag, Path("missing/form.kxp"), &error));
  EXPECT_NE(error.find("missing/form.kxp"), std::string::npos);
  EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(PropertyBagFileOnDisk, LoadRefusesWhatIsNotAPlainFileWithoutWaiting) {
  PropertyBag loaded;
  std::string error;
  loaded.Write("stale", true);
  EXPECT_FALSE(LoadPropertyBagFile(Path("absent"), loaded, &error));
  EXPECT_TRUE(loaded.Entries().empty());
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(LoadPropertyBagFile(dir.string(), loaded, &error));
  // A pipe with no writer would block an open for reading; a device may never end.
  ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
  EXPECT_FALSE(LoadPropertyBagFile(Path("pipe"), loaded, &error));
  EXPECT_FALSE(LoadPropertyBagFile("/dev/zero", loaded, &error));
}

TEST_F(PropertyBagFileOnDisk, ReadsNoMoreThanTheCap) {
  std::string path = Path("big.kxp");
  {
    std::ofstream out(path, std::ios::binary);
    out << kHeader << "A bool true\n" << std::string(1 << 20, 'x');
  }
  PropertyFileLimits limits;
  limits.maxFileBytes = 4096;
  PropertyBag loaded;
  std::string error;
  EXPECT_FALSE(LoadPropertyBagFile(path, loaded, &error, limits));
  EXPECT_NE(loaded.Read("A"), nullptr);
  EXPECT_NE(error.find("longer than 4096"), std::string::npos);
}

}  // namespace

}  // namespace kestrix
