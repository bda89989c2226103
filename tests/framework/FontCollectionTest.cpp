// Finding the selected face in a font collection from what the system reports of its tables.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "framework/gdi/FontCollection.h"

namespace kestrix {

namespace {

using Tables = std::map<std::string, std::string>;

void Put32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>(v >> (24 - 8 * i));
}

// A collection of faces, each a set of tables; tables with equal contents are stored once and
// shared, as in real collections.
std::string Collection(const std::vector<Tables>& faces) {
  std::string out = "ttcf";
  out.append(8, '\0');
  Put32(out, 4, 0x00010000);
  Put32(out, 8, static_cast<uint32_t>(faces.size()));
  out.append(4 * faces.size(), '\0');
  std::vector<size_t> directories;
  for (size_t f = 0; f < faces.size(); ++f) {
    Put32(out, 12 + 4 * f, static_cast<uint32_t>(out.size()));
    directories.push_back(out.size());
    out.append(12 + 16 * faces[f].size(), '\0');
    out[directories.back() + 5] = static_cast<char>(faces[f].size());
  }
  std::map<std::string, size_t> stored;
  for (size_t f = 0; f < faces.size(); ++f) {
    size_t record = directories[f] + 12;
    for (const auto& [tag, bytes] : faces[f]) {
      auto [where, added] = stored.emplace(bytes, out.size());
      if (added) out += bytes;
      out.replace(record, 4, tag);
      Put32(out, record + 8, static_cast<uint32_t>(where->second));
      Put32(out, record + 12, static_cast<uint32_t>(bytes.size()));
      record += 16;
    }
  }
  return out;
}

fontcollection::TableReader ReaderOf(const Tables& face) {
  return [face](std::string_view tag) -> std::optional<std::string> {
    auto it = face.find(std::string(tag));
    if (it == face.end()) return std::nullopt;
    return it->second;
  };
}

const Tables kRegular{{"glyf", "shared outlines"}, {"head", "head-1"}, {"name", "Face Regular"}};
const Tables kBold{{"glyf", "shared outlines"}, {"head", "head-1"}, {"name", "Face Bold"}};
const Tables kOther{{"cmap", "x"}, {"glyf", "other outlines!"}, {"name", "Other Face"}};

TEST(FontCollection, TheSelectedFaceIsFoundByItsNameAmongFacesThatShareTables) {
  const std::string collection = Collection({kRegular, kBold, kOther});
  ASSERT_TRUE(fontcollection::IsCollection(collection));
  EXPECT_EQ(fontcollection::FaceIndex(collection, ReaderOf(kRegular)), 0);
  EXPECT_EQ(fontcollection::FaceIndex(collection, ReaderOf(kBold)), 1);
  EXPECT_EQ(fontcollection::FaceIndex(collection, ReaderOf(kOther)), 2);
}

TEST(FontCollection, AFaceWithTheSameNameButOtherTablesIsNotTheSelectedOne) {
  // Same names; the selected face's outlines are longer, or it lacks a table the face has.
  Tables longer = kBold;
  longer["glyf"] = "shared outlines, and more";
  const std::string collection = Collection({kRegular, kBold});
  EXPECT_EQ(fontcollection::FaceIndex(collection, ReaderOf(longer)), std::nullopt);
  Tables fewer = kBold;
  fewer.erase("head");
  EXPECT_EQ(fontcollection::FaceIndex(collection, ReaderOf(fewer)), std::nullopt);
}

TEST(FontCollection, APlainFontOrADamagedCollectionHasNoIndex) {
  EXPECT_FALSE(fontcollection::IsCollection(std::string("\0\1\0\0", 4) + "rest"));
  EXPECT_EQ(fontcollection::FaceIndex(std::string("\0\1\0\0", 4), ReaderOf(kRegular)),
            std::nullopt);
  // Cut short anywhere: in the header, in a directory, in a table.
  const std::string whole = Collection({kRegular, kBold});
  for (size_t size = 0; size < whole.size(); ++size) {
    const std::optional<int> index =
        fontcollection::FaceIndex(std::string_view(whole).substr(0, size), ReaderOf(kBold));
    EXPECT_EQ(index, std::nullopt) << size;
  }
  // A face's directory placed past the end.
  std::string stray = whole;
  Put32(stray, 16, static_cast<uint32_t>(whole.size() + 100));
  EXPECT_EQ(fontcollection::FaceIndex(stray, ReaderOf(kBold)), std::nullopt);
}

}  // namespace

}  // namespace kestrix
