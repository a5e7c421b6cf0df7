// The five table layouts: PERSON, FAMILY, EVENT, SOURCE and MULTIMEDIA. Column names are spelled
// exactly as scripts see them ("FamilyReleation"; "SourID" in PERSON and SOURCE, "SourId" in
// EVENT); column indexes are the constants below, used by every reader of the tables.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace voziroz {

// What a column holds: integers (identifiers and codes) or text.
enum class ColumnKind : std::uint8_t { Integer, Text };

struct TableLayout {
  std::string_view Name;
  std::span<const std::string_view> ColNames;
  std::int32_t KeyCol;
  std::int32_t GrowthStep;  // rows added when the reserved rows run out
  std::span<const ColumnKind> ColKinds;
};

namespace layout_kinds {
inline constexpr ColumnKind I = ColumnKind::Integer, T = ColumnKind::Text;
}  // namespace layout_kinds

namespace person {
enum : std::int32_t {
  kIndiID,
  kSex,
  kAFN,
  kFullname,
  kSurname,
  kGivenName,
  kNote,
  kUpdated,
  kSourID
};
inline constexpr std::array<std::string_view, 9> kColNames = {
    "IndiID", "Sex", "AFN", "Fullname", "Surname", "GivenName", "Note", "Updated", "SourID"};
inline constexpr std::array<ColumnKind, 9> kColKinds = {
    layout_kinds::I, layout_kinds::T, layout_kinds::T, layout_kinds::T, layout_kinds::T,
    layout_kinds::T, layout_kinds::T, layout_kinds::T, layout_kinds::I};
}  // namespace person

namespace family {
enum : std::int32_t { kFamilyID, kFamilyReleation, kIndiID };
inline constexpr std::array<std::string_view, 3> kColNames = {"FamilyID", "FamilyReleation",
                                                              "IndiID"};
// FamilyReleation codes of the member's role.
inline constexpr std::uint8_t kHusband = 0, kWife = 1, kChild = 3;
// Family identifiers are the xref digits plus this, apart from person identifiers.
inline constexpr std::int32_t kIdOffset = 500000;
inline constexpr std::array<ColumnKind, 3> kColKinds = {layout_kinds::I, layout_kinds::I,
                                                        layout_kinds::I};
}  // namespace family

namespace event {
enum : std::int32_t {
  kFamRefID,
  kMainRefID,
  kInfo,
  kSourId,
  kEventcode,
  kNote,
  kDate,
  kLocation,
  kIsoDate
};
inline constexpr std::array<std::string_view, 9> kColNames = {
    "FamRefID", "MainRefID", "Info", "SourId", "Eventcode", "Note", "Date", "Location", "IsoDate"};
inline constexpr std::array<ColumnKind, 9> kColKinds = {
    layout_kinds::I, layout_kinds::I, layout_kinds::T, layout_kinds::I, layout_kinds::T,
    layout_kinds::T, layout_kinds::T, layout_kinds::T, layout_kinds::T};
}  // namespace event

namespace source {
enum : std::int32_t { kSourID, kTitle, kAuthor, kPublication, kText, kNote, kCallNumber };
inline constexpr std::array<std::string_view, 7> kColNames = {
    "SourID", "Title", "Author", "Publication", "Text", "Note", "CallNumber"};
inline constexpr std::array<ColumnKind, 7> kColKinds = {
    layout_kinds::I, layout_kinds::T, layout_kinds::T, layout_kinds::T,
    layout_kinds::T, layout_kinds::T, layout_kinds::T};
}  // namespace source

namespace multimedia {
enum : std::int32_t { kMainRefID, kFormat, kTitle, kFilename, kNote, kRefTo };
inline constexpr std::array<std::string_view, 6> kColNames = {"MainRefID", "Format", "Title",
                                                              "Filename",  "Note",   "RefTo"};
inline constexpr std::array<ColumnKind, 6> kColKinds = {layout_kinds::I, layout_kinds::T,
                                                        layout_kinds::T, layout_kinds::T,
                                                        layout_kinds::T, layout_kinds::T};
}  // namespace multimedia

inline constexpr TableLayout kPersonLayout{"PERSON", person::kColNames, person::kIndiID, 200,
                                           person::kColKinds};
inline constexpr TableLayout kFamilyLayout{"FAMILY", family::kColNames, family::kFamilyID, 50,
                                           family::kColKinds};
inline constexpr TableLayout kEventLayout{"EVENT", event::kColNames, event::kMainRefID, 100,
                                          event::kColKinds};
inline constexpr TableLayout kSourceLayout{"SOURCE", source::kColNames, source::kSourID, 10,
                                           source::kColKinds};
inline constexpr TableLayout kMultimediaLayout{"MULTIMEDIA", multimedia::kColNames,
                                               multimedia::kMainRefID, 10, multimedia::kColKinds};

// The five layouts in their listing order.
inline constexpr std::array<const TableLayout*, 5> kTableLayouts = {
    &kPersonLayout, &kFamilyLayout, &kEventLayout, &kSourceLayout, &kMultimediaLayout};

}  // namespace voziroz
