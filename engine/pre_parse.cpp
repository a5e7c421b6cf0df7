// PreParseLines: one pass over the decoded text, no allocation per line.
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

#include "engine/code_page_text.h"
#include "engine/gedcom_reader.h"

namespace voziroz {
namespace {

constexpr std::size_t kMaxValue = 255;
// Lines past this many are not stored, so that Count and the estimates stay 32-bit.
constexpr std::size_t kMaxLines = std::numeric_limits<std::int32_t>::max() - 1;
// About one line per 15 characters: the capacity reserved up front.
constexpr std::size_t kCharsPerLine = 15;

inline bool IsBreak(char c) {
  return c == '\r' || c == '\n';
}
inline bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlankOrControl(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlankOrControl(s.back())) s.remove_suffix(1);
  return s;
}

// The first CR or LF in [p, end), or end; eight bytes at a time where the byte order allows.
const char* FindBreak(const char* p, const char* end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      std::uint64_t cr = word ^ (kOnes * '\r');
      std::uint64_t lf = word ^ (kOnes * '\n');
      // In each mask the lowest flagged byte is exactly the first match (carries only go up).
      std::uint64_t found = ((cr - kOnes) & ~cr & kHigh) | ((lf - kOnes) & ~lf & kHigh);
      if (found) return p + std::countr_zero(found) / 8;
      p += 8;
    }
  }
  while (p < end && !IsBreak(*p)) ++p;
  return p;
}

const char* SkipBreaks(const char* p, const char* end) {
  while (p < end && IsBreak(*p)) ++p;
  return p;
}

// The first two characters, trimmed, read as a signed decimal number; -1 when they are none.
int ReadLevel(std::string_view line) {
  if (line.size() >= 2 && line[0] >= '0' && line[0] <= '9' && line[1] == ' ') return line[0] - '0';
  std::string_view s = Trim(line.substr(0, 2));
  bool negative = !s.empty() && s[0] == '-';
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
  if (s.empty()) return -1;
  int value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

struct LineParts {
  int level;
  std::string_view tag;    // trimmed
  std::string_view value;  // at most kMaxValue characters, not trimmed
};

struct LineExtent {
  std::size_t length;  // up to the first CR or LF after the first character
  std::size_t blank;   // of the first blank at index 2 or later, or `length` when there is none
};

LineExtent MeasureLine(const char* p, const char* end) {
#if defined(__SSE2__)
  // Most lines fit in the first 16 bytes: one load answers both questions.
  if (end - p >= 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i breaks = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')),
                                  _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
    unsigned break_bits = static_cast<unsigned>(_mm_movemask_epi8(breaks)) & ~1u;
    if (break_bits) {
      std::size_t length = static_cast<std::size_t>(std::countr_zero(break_bits));
      unsigned blank_bits =
          static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '))));
      blank_bits &= ~3u & ((1u << length) - 1);
      return {length, blank_bits ? static_cast<std::size_t>(std::countr_zero(blank_bits)) : length};
    }
  }
#endif
  std::size_t length = static_cast<std::size_t>(FindBreak(p + 1, end) - p);
  std::size_t blank = length;
  if (length > 2) {
    const void* found = std::memchr(p + 2, ' ', length - 2);
    if (found) blank = static_cast<std::size_t>(static_cast<const char*>(found) - p);
  }
  return {length, blank};
}

// At most kMaxValue characters of `text`; in UTF-8 never a part of a character.
template <bool kUtf8>
std::string_view CutValue(std::string_view text) {
  if constexpr (kUtf8) return FirstCharacters(text, kMaxValue, CodePage::Utf8);
  return text.substr(0, kMaxValue);
}

// Where the tag starts (the third character) and the first blank from there, or the line's
// length for either when there is none. MeasureLine counted bytes: in UTF-8 they differ only
// when one of the first two characters is not ASCII.
template <bool kUtf8>
std::size_t TagStart(std::string_view line, std::size_t& blank) {
  if constexpr (kUtf8) {
    if (line.size() >= 2 && ((line[0] | line[1]) & 0x80)) {
      const std::size_t start = Utf8OffsetOf(line, 2);
      blank = std::min(line.find(' ', start), line.size());
      return start;
    }
  }
  return std::min<std::size_t>(2, line.size());
}

// The tag runs from the third character to the first blank that has something after it, and
// the value follows that blank. A level-0 line whose tag is an @identifier@ is a record line:
// the identifier becomes its value and the rest of the line its tag.
template <bool kUtf8>
LineParts SplitLine(std::string_view line, std::size_t blank) {
  LineParts parts{ReadLevel(line), {}, {}};
  std::size_t n = line.size();
  const std::size_t start = TagStart<kUtf8>(line, blank);
  if (start >= n) return parts;
  if (blank + 1 < n) {
    parts.tag = Trim(line.substr(start, blank - start));
    parts.value = CutValue<kUtf8>(line.substr(blank + 1));
  } else {
    parts.tag = Trim(line.substr(start));
  }
  if (parts.level == 0 && !parts.tag.empty() && parts.tag[0] == '@') {
    std::string_view identifier = CutValue<kUtf8>(parts.tag);  // a value like any other
    parts.tag = Trim(parts.value);
    parts.value = identifier;
  }
  return parts;
}

// Remembers the codes of recently seen tags of up to eight characters, keyed by their bytes, so
// that most lines skip the search of TagToCode. Direct-mapped: a clash replaces the entry.
class TagCache {
 public:
  explicit TagCache(const char* text_end) : text_end_(text_end) {}

  TagCode CodeOf(std::string_view tag) {
    if (tag.size() > 8) return TagToCode(tag);
    std::uint64_t key = Pack(tag);
    Entry& entry = entries_[(key * 0x9E3779B97F4A7C15ull) >> 56];
    if (entry.key != key || entry.length != tag.size()) {
      entry = {key, static_cast<std::uint8_t>(tag.size()), TagToCode(tag)};
    }
    return entry.code;
  }

 private:
  struct Entry {
    std::uint64_t key = 0;
    std::uint8_t length = 0;  // 0: empty (tags are never empty here)
    TagCode code = tag::NONE;
  };

  // The tag's bytes in the low bytes of a word; one unaligned load where the text allows.
  std::uint64_t Pack(std::string_view tag) const {
    std::uint64_t word = 0;
    if (text_end_ - tag.data() >= 8) {
      std::memcpy(&word, tag.data(), 8);
      return tag.size() == 8 ? word : word & ((std::uint64_t{1} << (8 * tag.size())) - 1);
    }
    std::memcpy(&word, tag.data(), tag.size());
    return word;
  }

  const char* text_end_;
  Entry entries_[256];
};

void CountEstimates(TLines& lines, TagCode code, int level) {
  switch (code) {
    case tag::INDI:
      ++lines.PersonEstimate;
      break;
    case tag::OBJE:
      ++lines.MultimediaEstimate;
      break;
    case tag::SOUR:
      if (level == 0) ++lines.SourceEstimate;
      break;
    case tag::FAMS:
    case tag::FAMC:
      ++lines.FamilyEstimate;
      ++lines.EventEstimate;
      break;
    default:
      if (IsEventCode(code)) ++lines.EventEstimate;
  }
}

// Extends the last stored line's value (CONT with a CR LF first, CONC without). The value moves
// to JoinedValues on its first extension; being the last line, it stays at that buffer's end.
void JoinToLast(TLines& lines, std::string_view addition, bool new_line) {
  TLine& last = lines.Lines.back();
  TextBuffer& joined = lines.JoinedValues;
  if (!last.Joined) {
    std::uint64_t offset = joined.size();
    joined.Append(lines.Value(last));
    last.Offset = offset;
    last.Joined = true;
  }
  std::size_t grown = last.Length + addition.size() + (new_line ? 2 : 0);
  if (grown > std::numeric_limits<std::uint32_t>::max()) return;  // a value stays below 4 GiB
  if (new_line) joined.Append("\r\n");
  joined.Append(addition);
  last.Length = static_cast<std::uint32_t>(grown);
}

// Tells which lines stand below a dropped line. A run starts at a dropped line of level 0 or
// more and holds every later line of a deeper level; a line of that level or lower, or one without
// a level number, ends it. Inside a run the open lines are kept, deepest last, so that a CONT or
// CONC knows whether its parent (the deepest open line above its level) was dropped.
class DroppedRuns {
 public:
  struct Place {
    bool below_dropped;
    bool parent_dropped;
  };

  // Enters the next line; `dropped` says whether the pre-parse drops it for its tag.
  Place Enter(int level, bool dropped, bool continuation) {
    while (depth_ > 0 && (level < 0 || open_[depth_ - 1].level >= level)) --depth_;
    if (depth_ == 0) {
      if (dropped && level >= 0) open_[depth_++] = {level, true};
      return {false, false};
    }
    const bool parent_dropped = open_[depth_ - 1].dropped;
    open_[depth_++] = {level, dropped || (continuation && parent_dropped)};
    return {true, parent_dropped};
  }

 private:
  struct Open {
    int level;
    bool dropped;
  };
  std::array<Open, 100> open_;  // levels 0 to 99, rising
  std::size_t depth_ = 0;       // 0: no run
};

void StoreLine(TLines& lines, const LineParts& parts, const char* text, TagCache& tags,
               DroppedRuns& runs) {
  const bool user_tag = parts.tag.empty() || parts.tag[0] == '_';
  const TagCode code = user_tag ? TagCode{tag::NONE} : tags.CodeOf(parts.tag);
  const bool continuation = code == tag::CONT || code == tag::CONC;
  const DroppedRuns::Place place = runs.Enter(parts.level, code <= tag::UNKNOWN, continuation);
  if (code <= tag::UNKNOWN) return;
  if (continuation) {
    if (!place.parent_dropped && !lines.Lines.empty())
      JoinToLast(lines, parts.value, code == tag::CONT);
    return;
  }
  if (lines.Lines.size() >= kMaxLines) return;
  TLine line;
  // An empty value may be a view of nothing at all: give it a harmless offset.
  line.Offset = parts.value.empty() ? 0 : static_cast<std::uint64_t>(parts.value.data() - text);
  line.Length = static_cast<std::uint32_t>(parts.value.size());
  line.Level = static_cast<std::int8_t>(parts.level);
  line.Code = code;
  line.BelowDropped = place.below_dropped;
  lines.Lines.push_back(line);
  CountEstimates(lines, code, parts.level);
}

// The last stored line (the trailer of a well-formed file) is not kept.
void DropLastLine(TLines& lines) {
  const TLine& last = lines.Lines.back();
  if (last.Joined) lines.JoinedValues.Resize(last.Offset);
  lines.Lines.pop_back();
  lines.Count = static_cast<std::int32_t>(lines.Lines.size());
}

// A line ends at the first CR or LF after its first character; runs of breaks are skipped.
template <bool kUtf8>
void SplitLines(TLines& lines) {
  const char* begin = lines.Text.data();
  const char* end = begin + lines.Text.size();
  TagCache tags(end);
  DroppedRuns runs;
  for (const char* p = begin; p < end;) {
    LineExtent extent = MeasureLine(p, end);
    StoreLine(lines, SplitLine<kUtf8>({p, extent.length}, extent.blank), begin, tags, runs);
    p = SkipBreaks(p + extent.length, end);
  }
}

}  // namespace

std::optional<TLines> PreParseLines(TextBuffer text, CodePage page) {
  TLines lines;
  lines.Text = std::move(text);
  lines.Lines.reserve(lines.Text.size() / kCharsPerLine + 1);
  AdviseHugePages(lines.Lines.data(), lines.Lines.capacity() * sizeof(TLine));
  if (page == CodePage::Utf8)
    SplitLines<true>(lines);
  else
    SplitLines<false>(lines);
  if (lines.Lines.empty()) return std::nullopt;
  DropLastLine(lines);
  return lines;
}

}  // namespace voziroz
