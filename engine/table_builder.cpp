#include "engine/table_builder.h"

#include <algorithm>
#include <array>
#include <exception>
#include <optional>

#include "engine/blank_trim.h"
#include "engine/code_page_text.h"
#include "engine/date_key.h"
#include "engine/table_fill.h"
#include "engine/table_layouts.h"
#include "engine/tag_codes.h"

namespace voziroz {
namespace {

constexpr std::string_view kNoDateKey = "00000000";

struct LineRef {
  std::int32_t level;
  TagCode code;
  std::string_view value;
};

// No table can have more rows than there are lines, so a larger estimate reserves no more.
std::int32_t ReserveFor(std::int32_t estimate, const TLines& lines) {
  return std::min(estimate, std::max(lines.Count, std::int32_t{1}));
}

// The state of one pass over the lines: a fill per table, the current person, family and source,
// and the tag path (the code of the latest line at every level a line can carry).
class TableWalk {
 public:
  TableWalk(const TLines& lines, tSimpleTable& person, tSimpleTable& event, tSimpleTable& family,
            tSimpleTable& source, tSimpleTable& multimedia, CodePage page)
      : code_page_(page),
        person_(person, kPersonLayout, ReserveFor(lines.PersonEstimate, lines)),
        event_(event, kEventLayout, ReserveFor(lines.EventEstimate, lines)),
        family_(family, kFamilyLayout, ReserveFor(lines.FamilyEstimate, lines)),
        source_(source, kSourceLayout, ReserveFor(lines.SourceEstimate, lines)),
        multimedia_(multimedia, kMultimediaLayout, ReserveFor(lines.MultimediaEstimate, lines)) {}

  void Line(const LineRef& line);
  void Finish();

 private:
  // The tag path entry of a level; levels are 8-bit, so every one has its entry.
  TagCode& Path(std::int32_t level) { return path_[static_cast<std::uint8_t>(level)]; }

  void PersonLine(const LineRef& line);
  void StartPerson(std::string_view xref);
  void NameLine(const LineRef& line);
  void ChangeLine(const LineRef& line);
  void FamilyLinkLine(const LineRef& line);
  void FamilyLine(const LineRef& line);
  void SourceLine(const LineRef& line);
  void StartSource(std::string_view xref);
  void MakeEvent(std::optional<std::int32_t> family_ref, std::int32_t owner, TagCode code,
                 std::string_view info);
  void EventDetailLine(const LineRef& line, bool of_person);
  void MakeObject(std::int32_t owner, std::string_view ref_to);
  void ObjectDetailLine(const LineRef& line);

  const CodePage code_page_;
  TableFill person_, event_, family_, source_, multimedia_;
  std::array<TagCode, 256> path_{};
  std::int32_t person_id_ = -1;
  std::int32_t family_id_ = 0;
  std::int32_t source_id_ = -1;
  RecordIds ids_;
  bool skipping_person_ = false;  // the current INDI record came beyond kMaxPersonRows
};

void TableWalk::Line(const LineRef& line) {
  Path(line.level) = line.code;
  if (line.level == 0) skipping_person_ = false;
  switch (Path(0)) {
    case tag::INDI:
      if (line.level == 0) return StartPerson(line.value);
      if (!skipping_person_) PersonLine(line);
      return;
    case tag::FAM:
      return FamilyLine(line);
    case tag::SOUR:
      return SourceLine(line);
    default:
      return;
  }
}

void TableWalk::Finish() {
  person_.Finish();
  source_.Finish();
  family_.Finish();
  multimedia_.Finish();
  event_.Finish();
}

// Person rules --------------------------------------------------------------------------------

void TableWalk::StartPerson(std::string_view xref) {
  if (person_.Cursor() + 1 >= kMaxPersonRows) {
    skipping_person_ = true;
    return;
  }
  person_id_ = ids_.IdOf(xref);
  person_.NewRow();
  person_.Id(person::kIndiID, person_id_);
  person_.SharedText(person::kSex, "U");
  for (std::int32_t col : {person::kAFN, person::kFullname, person::kSurname, person::kGivenName,
                           person::kNote, person::kUpdated})
    person_.Text(col, {});
  person_.NoRef(person::kSourID);
}

void TableWalk::PersonLine(const LineRef& line) {
  const TagCode structure = Path(1);
  if (IsEventCode(structure)) {
    if (line.level == 1) return MakeEvent(std::nullopt, person_id_, line.code, line.value);
    return EventDetailLine(line, true);
  }
  switch (structure) {
    case tag::AFN:
      if (line.level == 1) person_.Text(person::kAFN, line.value);
      return;
    case tag::NAME:
      return NameLine(line);
    case tag::SEX:
      if (line.level == 1)
        person_.SharedText(person::kSex,
                           line.value.empty() ? "U" : FirstCharacters(line.value, 1, code_page_));
      return;
    case tag::CHAN:
      return ChangeLine(line);
    case tag::FAMS:
    case tag::FAMC:
      return FamilyLinkLine(line);
    case tag::OBJE:
      if (line.level == 1) return MakeObject(person_id_, "INDI");
      return ObjectDetailLine(line);
    case tag::SOUR:
      if (line.level == 1) person_.Id(person::kSourID, ids_.IdOf(line.value));
      return;
    case tag::NOTE:
      return person_.Text(person::kNote, line.value);
    default:
      return;
  }
}

// The first NAME gives the name parts; a later one only the full name. SURN and GIVN below a
// NAME override the parts.
void TableWalk::NameLine(const LineRef& line) {
  if (line.level == 1) {
    person_.Text(person::kFullname, line.value);
    if (person_.TextAt(person::kSurname).empty())
      person_.Text(person::kSurname, SurnameOf(line.value));
    if (person_.TextAt(person::kGivenName).empty())
      person_.Text(person::kGivenName, GivenNameOf(line.value));
  } else if (line.code == tag::SURN) {
    person_.Text(person::kSurname, line.value);
  } else if (line.code == tag::GIVN) {
    person_.Text(person::kGivenName, line.value);
  }
}

// CHAN: 2 DATE sets Updated; a TIME below that DATE adds a blank and the time.
void TableWalk::ChangeLine(const LineRef& line) {
  if (Path(2) != tag::DATE) return;
  if (line.level == 2) return person_.Text(person::kUpdated, line.value);
  if (line.code != tag::TIME) return;
  std::string updated(person_.TextAt(person::kUpdated));
  updated += ' ';
  updated += line.value;
  person_.Text(person::kUpdated, updated);
}

// FAMS and FAMC become EVENT rows; the value of any line below the link becomes their Info.
void TableWalk::FamilyLinkLine(const LineRef& line) {
  if (line.level == 1) return MakeEvent(ids_.FamilyIdOf(line.value), person_id_, line.code, {});
  event_.Text(event::kInfo, line.value);
}

// Family rules --------------------------------------------------------------------------------

void TableWalk::FamilyLine(const LineRef& line) {
  if (line.level == 0) {
    family_id_ = ids_.FamilyIdOf(line.value);
    return;
  }
  switch (Path(1)) {
    case tag::MARR:
    case tag::DIV:
    case tag::ENGA:
      if (line.level == 1) return MakeEvent(family_id_, family_id_, line.code, line.value);
      return EventDetailLine(line, false);
    case tag::HUSB:
    case tag::WIFE:
    case tag::CHIL:
      if (line.level != 1) return;
      family_.NewRow();
      family_.Id(family::kFamilyID, family_id_);
      family_.Code(family::kFamilyReleation, line.code == tag::HUSB   ? family::kHusband
                                             : line.code == tag::WIFE ? family::kWife
                                                                      : family::kChild);
      family_.Id(family::kIndiID, ids_.IdOf(line.value));
      return;
    default:
      return;
  }
}

// Source rules --------------------------------------------------------------------------------

void TableWalk::StartSource(std::string_view xref) {
  source_id_ = ids_.IdOf(xref);
  source_.NewRow();
  source_.Id(source::kSourID, source_id_);
  for (std::int32_t col :
       {source::kTitle, source::kAuthor, source::kPublication, source::kText, source::kNote})
    source_.Text(col, {});
}

// Below a level-1 OBJE the lines describe the object; every other line sets the source's own
// field by its tag, at whatever depth.
void TableWalk::SourceLine(const LineRef& line) {
  if (line.level == 0) return StartSource(line.value);
  if (line.level != 1 && Path(1) == tag::OBJE) return ObjectDetailLine(line);
  switch (line.code) {
    case tag::TITL:
      return source_.Text(source::kTitle, line.value);
    case tag::AUTH:
      return source_.Text(source::kAuthor, line.value);
    case tag::PUBL:
      return source_.Text(source::kPublication, line.value);
    case tag::TEXT:
      return source_.Text(source::kText, line.value);
    case tag::NOTE:
      return source_.Text(source::kNote, line.value);
    case tag::CALN:
      return source_.Text(source::kCallNumber, line.value);
    case tag::OBJE:
      if (line.level == 1) MakeObject(source_id_, "SOUR");
      return;
    default:
      return;
  }
}

// Rows shared by the record kinds -------------------------------------------------------------

// An event of a person (no family reference) or a family, or a person's family link.
void TableWalk::MakeEvent(std::optional<std::int32_t> family_ref, std::int32_t owner, TagCode code,
                          std::string_view info) {
  event_.NewRow();
  if (family_ref)
    event_.Id(event::kFamRefID, *family_ref);
  else
    event_.NoRef(event::kFamRefID);
  event_.Id(event::kMainRefID, owner);
  event_.Text(event::kInfo, info);
  event_.NoRef(event::kSourId);
  event_.SharedText(event::kEventcode, CodeToTag(code));
  for (std::int32_t col : {event::kNote, event::kDate, event::kLocation}) event_.Text(col, {});
  event_.SharedText(event::kIsoDate, kNoDateKey);
}

// A source counts below a person's event only at level 2, below a family event at any depth;
// CAUS and TYPE replace the Info of a person's event only.
void TableWalk::EventDetailLine(const LineRef& line, bool of_person) {
  switch (line.code) {
    case tag::DATE:
      event_.Text(event::kDate, line.value);
      return event_.Text(event::kIsoDate, IsoDateKeyOf(line.value, code_page_).View());
    case tag::PLAC:
      return event_.Text(event::kLocation, line.value);
    case tag::CAUS:
    case tag::TYPE:
      if (of_person) event_.Text(event::kInfo, line.value);
      return;
    case tag::SOUR:
      // A citation before any event row writes nowhere, so it numbers no identifier.
      if (event_.Cursor() >= 0 && (!of_person || line.level == 2))
        event_.Id(event::kSourId, ids_.IdOf(line.value));
      return;
    case tag::NOTE:
      return event_.Text(event::kNote, line.value);
    default:
      return;
  }
}

void TableWalk::MakeObject(std::int32_t owner, std::string_view ref_to) {
  multimedia_.NewRow();
  multimedia_.Id(multimedia::kMainRefID, owner);
  for (std::int32_t col :
       {multimedia::kFormat, multimedia::kTitle, multimedia::kFilename, multimedia::kNote})
    multimedia_.Text(col, {});
  multimedia_.SharedText(multimedia::kRefTo, ref_to);
}

void TableWalk::ObjectDetailLine(const LineRef& line) {
  switch (line.code) {
    case tag::TITL:
      return multimedia_.Text(multimedia::kTitle, line.value);
    case tag::FORM:
      return multimedia_.Text(multimedia::kFormat, line.value);
    case tag::FILE_:
      return multimedia_.Text(multimedia::kFilename, line.value);
    case tag::NOTE:
      return multimedia_.Text(multimedia::kNote, line.value);
    default:
      return;
  }
}

}  // namespace

bool BuildTables(const TLines& lines, tSimpleTable& person, tSimpleTable& event,
                 tSimpleTable& family, tSimpleTable& source, tSimpleTable& multimedia,
                 CodePage page) {
  try {
    TableWalk walk(lines, person, event, family, source, multimedia, page);
    const std::size_t count =
        std::min(static_cast<std::size_t>(std::max(lines.Count, 0)), lines.Lines.size());
    for (std::size_t i = 0; i < count; ++i) {
      const TLine& line = lines.Lines[i];
      if (line.BelowDropped) continue;
      walk.Line({line.Level, line.Code, lines.Value(line)});
    }
    walk.Finish();
    return true;
  } catch (const std::exception&) {
    return false;  // out of memory: the tables stay unfinished
  }
}

std::string_view SurnameOf(std::string_view name) {
  const std::size_t first = name.find('/');
  if (first == std::string_view::npos) return {};
  std::string_view rest = name.substr(first + 1);
  return TrimBlanks(rest.substr(0, rest.find('/')));
}

std::string_view GivenNameOf(std::string_view name) {
  const std::size_t first = name.find('/');
  return first == std::string_view::npos ? std::string_view{} : TrimBlanks(name.substr(0, first));
}

}  // namespace voziroz
