// Font collections (.ttc): several faces in one file, sharing tables. A face read on its own
// from a collection keeps table offsets that count from the collection's start, so it must be
// read as the whole collection together with its index there; the index is found by comparing
// the collection's faces with what the system reports of the face it selected.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kestrix::fontcollection {

// Whether bytes begin a collection ('ttcf').
bool IsCollection(std::string_view bytes);

// The bytes of one table of the selected face by its four-letter tag, or nothing when the face
// has no such table.
using TableReader = std::function<std::optional<std::string>(std::string_view tag)>;

// The index in collection of the face whose tables are table's: every table it lists has the
// selected face's length, and its naming table the same bytes (the faces of one collection
// differ at least in their names). Nothing when collection is not one or no face matches.
std::optional<int> FaceIndex(std::string_view collection, const TableReader& table);

}  // namespace kestrix::fontcollection
