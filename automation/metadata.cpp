#include "automation/metadata.h"

#include <array>
#include <string>
#include <string_view>

namespace voziroz {
namespace {

// Removes characters of code 32 and below at both ends.
std::string Trimmed(std::string_view text) {
  const auto is_kept = [](char c) { return static_cast<unsigned char>(c) > ' '; };
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && !is_kept(text[first])) ++first;
  while (last > first && !is_kept(text[last - 1])) --last;
  return std::string(text.substr(first, last - first));
}

// Acts on a line inside the header, `item` being the code of the level-1 structure it is in.
void ReadHeaderLine(TLines& lines, TagCode item, const TLine& line, std::string_view value) {
  const bool item_line = line.Level == 1;
  switch (item) {
    case tag::SOUR:
      if (item_line) {
        lines.Source = value;
      } else if (line.Code == tag::NAME) {
        lines.Source = std::string(value) + " " + lines.Source;
      } else if (line.Code == tag::VERS) {
        lines.Source.append(" ").append(value);
      }
      break;
    case tag::DEST:
      if (item_line) lines.Target = value;
      break;
    case tag::DATE:
      if (item_line) {
        lines.Filedate = value;
      } else if (line.Code == tag::TIME) {
        lines.Filedate.append(" ").append(value);
      }
      break;
    case tag::FILE_:
      if (item_line) lines.Filename = value;
      break;
    case tag::GEDC:
      if (item_line) {
        lines.Format = "GEDCOM ";
      } else if (line.Code == tag::VERS) {
        lines.Format.append(" ").append(value);
      }
      break;
    case tag::CHAR:
      if (item_line) lines.Charset = value;
      break;
    case tag::LANG:
      if (item_line) lines.Language = Trimmed(value);
      break;
    case tag::NOTE:
      lines.Notes = Trimmed(value);
      break;
    default:
      break;
  }
}

void ReadSubmitterLine(TLines& lines, const TLine& line, std::string_view value) {
  if (line.Level == 0) {
    lines.Submitter.clear();
  } else if (line.Code == tag::NAME || line.Code == tag::ADDR || line.Code == tag::PHON ||
             line.Code == tag::EMAI) {
    lines.Submitter += std::string(value) + "\r\n";
  }
}

}  // namespace

void ReadHeaderInfo(TLines& lines) {
  for (std::string* s :
       {&lines.Source, &lines.Target, &lines.Format, &lines.Language, &lines.Charset,
        &lines.Filename, &lines.Filedate, &lines.Submitter, &lines.Notes})
    s->clear();
  // The code of the latest line of each level from -1 to 5 (entry level + 1).
  std::array<TagCode, 7> path;
  path.fill(tag::NONE);
  for (std::int32_t i = 0; i < lines.Count; ++i) {
    const TLine& line = lines.Lines[i];
    if (line.BelowDropped) continue;  // as if it were not there
    if (line.Code == tag::INDI) break;
    if (line.Level >= -1 && line.Level <= 5) path[line.Level + 1] = line.Code;
    if (path[1] == tag::HEAD) ReadHeaderLine(lines, path[2], line, lines.Value(line));
    if (path[1] == tag::SUBM) ReadSubmitterLine(lines, line, lines.Value(line));
  }
}

Variant MetadataGrid(const TLines& lines, bool opened) {
  VariantArray grid(21, 3);
  if (!opened) return Variant::Array(std::move(grid));
  const auto text = [](std::string_view s) { return Variant::Text(std::string(s)); };
  const Variant rows[21][3] = {
      {text("Row Estimate"), text("Person"), Variant::I4(lines.PersonEstimate)},
      {text("Row Estimate"), text("Source"), Variant::I4(lines.SourceEstimate)},
      {text("Row Estimate"), text("Family"), Variant::I4(lines.FamilyEstimate)},
      {text("Row Estimate"), text("Event "), Variant::I4(lines.EventEstimate)},
      {text("Row Estimate"), text("Multimedia"), Variant::I4(lines.MultimediaEstimate)},
      {text("GEDCOM file"), text("Lines"), Variant::I4(lines.Count)},
      {text("GEDCOM file"), text("Source"), text(lines.Source)},
      {text("GEDCOM file"), text("Target"), text(lines.Target)},
      {text("GEDCOM file"), text("Format"), text(lines.Format)},
      {text("GEDCOM file"), text("Language"), text(lines.Language)},
      {text("GEDCOM file"), text("Charset"), text(lines.Charset)},
      {text("GEDCOM file"), text("Filename"), text(lines.Filename)},
      {text("GEDCOM file"), text("Filedate"), text(lines.Filedate)},
      {text("GEDCOM file"), text("Submitter"), text(Trimmed(lines.Submitter))},
      {text("GEDCOM file"), text("Notes"), text(Trimmed(lines.Notes))},
      {text("Columns"), text("Person"),
       text("IndiID,Sex,AFN,Fullname,Surname,Givenname,Note,Updated,SourID")},
      {text("Columns"), text("Source"), text("SourID,Title,Author,Publication,Text,Note")},
      {text("Columns"), text("Family"), text("FamilyID,FamilyRelation,IndiID")},
      {text("Columns"), text("Event "),
       text("FamRefID,MainRefID,Info,SourId,Eventcode,Note,Date,Location,IsoDate")},
      {text("Columns"), text("Multimedia"), text("IndiID,Format,Title,Filename,Note,RefTo")},
      {text("Columns"), text("GEDCOM"), text("LineNb,Level,Keyword,Value")},
  };
  for (std::int32_t r = 0; r < 21; ++r)
    for (std::int32_t c = 0; c < 3; ++c) grid.At(r, c) = rows[r][c];
  return Variant::Array(std::move(grid));
}

}  // namespace voziroz
