// The five table layouts: PERSON, FAMILY, EVENT, SOURCE and MULTIMEDIA. Column names are spelled
// exactly as scripts see them ("FamilyReleation"; "SourID" in PERSON and SOURCE, "SourId" in
// EVENT); column indexes are the constants below, used by every reader of the tables.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace voziroz {

struct TableLayout {
  std::string_view Name;
  std::span<const std::string_view> ColNames;
  std::int32_t KeyCol;
  std::int32_t GrowthStep;  // rows added when the reserved rows run out
};

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
}  // namespace person

namespace family {
enum : std::int32_t { kFamilyID, kFamilyReleation, kIndiID };
inline constexpr std::array<std::string_view, 3> kColNames = {"FamilyID", "FamilyReleation",
                                                              "IndiID"};
// FamilyReleation codes of the member's role.
inline constexpr std::uint8_t kHusband = 0, kWife = 1, kChild = 3;
// Family identifiers are the xref digits plus this, apart from person identifiers.
inline constexpr std::int32_t kIdOffset = 500000;
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
}  // namespace event

namespace source {
enum : std::int32_t { kSourID, kTitle, kAuthor, kPublication, kText, kNote, kCallNumber };
inline constexpr std::array<std::string_view, 7> kColNames = {
    "SourID", "Title", "Author", "Publication", "Text", "Note", "CallNumber"};
}  // namespace source

namespace multimedia {
enum : std::int32_t { kMainRefID, kFormat, kTitle, kFilename, kNote, kRefTo };
inline constexpr std::array<std::string_view, 6> kColNames = {"MainRefID", "Format", "Title",
                                                              "Filename",  "Note",   "RefTo"};
}  // namespace multimedia

inline constexpr TableLayout kPersonLayout{"PERSON", person::kColNames, person::kIndiID, 200};
inline constexpr TableLayout kFamilyLayout{"FAMILY", family::kColNames, family::kFamilyID, 50};
inline constexpr TableLayout kEventLayout{"EVENT", event::kColNames, event::kMainRefID, 100};
inline constexpr TableLayout kSourceLayout{"SOURCE", source::kColNames, source::kSourID, 10};
inline constexpr TableLayout kMultimediaLayout{"MULTIMEDIA", multimedia::kColNames,
                                               multimedia::kMainRefID, 10};

// The five layouts in their listing order.
inline constexpr std::array<const TableLayout*, 5> kTableLayouts = {
    &kPersonLayout, &kFamilyLayout, &kEventLayout, &kSourceLayout, &kMultimediaLayout};

}  // namespace voziroz
