// make_large_gedcom: writes a large, realistic GEDCOM 5.5 file for the benchmarks.
//
//   make_large_gedcom OUTPUT SIZE_MB [utf-8]
//
// The file is Windows-1252 text with CR LF line ends ("1 CHAR ANSI"), mostly ASCII; with utf-8
// it is UTF-8 ("1 CHAR UTF-8") whose names and places are Polish, Czech, Hungarian, Russian and
// Japanese, nearly all of them with characters beyond ASCII. It holds households (two
// spouses, their children and their FAM record), a source record every few dozen households,
// events with dates of every common form and places, notes continued by CONT and CONC, pictures,
// user-defined tags and a few lines longer than 255 characters. The output depends only on the
// size asked for: a fixed seed drives every choice.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

namespace {

// splitmix64: small, fast and the same on every platform.
class Random {
 public:
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  int Between(int low, int high) { return low + Below(high - low + 1); }
  bool Chance(int percent) { return Below(100) < percent; }
  std::string_view Pick(std::span<const std::string_view> items) {
    return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))];
  }

 private:
  std::uint64_t state_ = 0x5EED0F6EDC0Dull;
};

constexpr std::string_view kMaleNames[] = {
    "Johan",     "Peter",  "Niels",   "Hans",   "S\xF8ren", "Jens",        "Thomas",    "William",
    "John",      "George", "Ren\xE9", "Pierre", "Jules",    "Karl",        "Friedrich", "Johann",
    "J\xFCrgen", "Olaf",   "Erik",    "Arthur", "Henry",    "Fran\xE7ois", "Andreas",   "Mathias"};
constexpr std::string_view kFemaleNames[] = {
    "Anna",     "Maren",      "Karen",  "Kirstine",  "Marie",     "Louise",
    "Mary",     "Elizabeth",  "Sarah",  "C\xE9line", "\xC9milie", "Marguerite",
    "K\xE4the", "Friederike", "Sophie", "Ingrid",    "Astrid",    "Edith",
    "Agnes",    "Dorothy",    "Hanne",  "Birthe",    "Margrethe", "Jos\xE9phine"};
constexpr std::string_view kSurnames[] = {
    "Dahl",         "Hansen",    "Jensen",       "Nielsen",   "S\xF8rensen", "Holm",
    "Berg",         "M\xFCller", "Schmidt",      "Strau\xDF", "Lef\xE8vre",  "Dubois",
    "Martin",       "Whitfield", "Cooper",       "Brown",     "Smith",       "Taylor",
    "\xC6rtebjerg", "Lindqvist", "Bj\xF8rnstad", "Fischer",   "Moreau",      "Gr\xFCnwald"};
constexpr std::string_view kPlaces[] = {
    "\xC6r\xF8sk\xF8"
    "bing, \xC6r\xF8, Denmark",
    "Marstal, \xC6r\xF8, Denmark",
    "Copenhagen, Denmark",
    "Odense, Funen, Denmark",
    "Ulm, W\xFCrttemberg, Germany",
    "M\xFCnchen, Bavaria, Germany",
    "Rouen, Seine-Inf\xE9rieure, France",
    "Paris, France",
    "Leeds, Yorkshire, England",
    "York, Yorkshire, England",
    "Bradford, Yorkshire, England",
    "Minneapolis, Hennepin, Minnesota, USA",
    "Lillehammer, Oppland, Norway",
    "Bergen, Hordaland, Norway",
    "Z\xFCrich, Switzerland",
    "New York, New York, USA"};
constexpr std::string_view kMaleNamesUtf8[] = {
    "Michał", "Łukasz", "Paweł",   "Wojciech", "Jiří",   "Tomáš",   "Lukáš", "Zoltán",
    "Gábor",  "István", "Дмитрий", "Иван",     "Сергей", "Алексей", "健太",  "翔太"};
constexpr std::string_view kFemaleNamesUtf8[] = {
    "Małgorzata", "Zofia",  "Agnieszka", "Jadwiga", "Kateřina",  "Tereza", "Věra", "Erzsébet",
    "Zsófia",     "Ildikó", "Анна",      "Наталья", "Екатерина", "Ольга",  "陽子", "さくら"};
constexpr std::string_view kSurnamesUtf8[] = {
    "Łukasiewicz", "Wójcik", "Kowalczyk", "Szymański", "Dvořák",  "Novotný",  "Černý", "Procházka",
    "Kovács",      "Szabó",  "Tóth",      "Иванов",    "Смирнов", "Кузнецов", "佐藤",  "鈴木"};
constexpr std::string_view kPlacesUtf8[] = {"Łódź, Polska",
                                            "Kraków, Małopolska, Polska",
                                            "Gdańsk, Polska",
                                            "Brno, Morava, Česko",
                                            "Plzeň, Česko",
                                            "Debrecen, Magyarország",
                                            "Győr, Magyarország",
                                            "Москва, Россия",
                                            "Санкт-Петербург, Россия",
                                            "東京都, 日本"};

// The names and places a file draws from.
struct Vocabulary {
  std::span<const std::string_view> male, female, surnames, places;
  std::string_view charset;
};
constexpr Vocabulary kWindows1252 = {kMaleNames, kFemaleNames, kSurnames, kPlaces, "ANSI"};
constexpr Vocabulary kUtf8 = {kMaleNamesUtf8, kFemaleNamesUtf8, kSurnamesUtf8, kPlacesUtf8,
                              "UTF-8"};

constexpr std::string_view kOccupations[] = {
    "Farmer",     "Skipper",       "Baker",         "Weaver",     "Ship's carpenter",
    "Bookbinder", "Schoolteacher", "Wool merchant", "Watchmaker", "Civil engineer",
    "Labourer",   "Servant",       "Tailor",        "Smith"};
constexpr std::string_view kCauses[] = {"Pneumonia",   "Influenza",       "Old age",
                                        "Consumption", "Accident at sea", "Childbed fever"};
constexpr std::string_view kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr std::string_view kPhrases[] = {"(about new year)", "(during the war)", "(in the spring)",
                                         "(after the harvest)"};
constexpr std::string_view kWords[] = {
    "the",    "family", "moved",   "to",    "farm",  "in",     "after",     "their",
    "church", "book",   "records", "that",  "he",    "she",    "was",       "born",
    "letter", "from",   "brother", "about", "year",  "census", "lived",     "with",
    "parish", "town",   "harbour", "ship",  "house", "sold",   "inherited", "and"};

// Buffered writer of GEDCOM lines; flushes to the file in large blocks.
class Writer {
 public:
  explicit Writer(std::FILE* file) : file_(file) { buffer_.reserve(kBlock + 65536); }
  ~Writer() { Flush(); }

  void Line(int level, std::string_view tag, std::string_view value = {}) {
    buffer_ += static_cast<char>('0' + level);
    buffer_ += ' ';
    buffer_ += tag;
    if (!value.empty()) {
      buffer_ += ' ';
      buffer_ += value;
    }
    buffer_ += "\r\n";
    if (buffer_.size() >= kBlock) Flush();
  }
  void Record(char letter, long id, std::string_view tag) {
    buffer_ += "0 @";
    buffer_ += letter;
    AppendNumber(buffer_, id);
    buffer_ += "@ ";
    buffer_ += tag;
    buffer_ += "\r\n";
  }
  void Pointer(int level, std::string_view tag, char letter, long id) {
    scratch_.clear();
    scratch_ += '@';
    scratch_ += letter;
    AppendNumber(scratch_, id);
    scratch_ += '@';
    Line(level, tag, scratch_);
  }
  std::uint64_t Written() const { return written_ + buffer_.size(); }
  bool Flush() {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
      failed_ = true;
    written_ += buffer_.size();
    buffer_.clear();
    return !failed_;
  }

 private:
  static constexpr std::size_t kBlock = std::size_t{8} << 20;
  static void AppendNumber(std::string& text, long n) {
    char digits[24];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
  }
  std::FILE* file_;
  std::string buffer_;
  std::string scratch_;
  std::uint64_t written_ = 0;
  bool failed_ = false;
};

class Generator {
 public:
  Generator(Writer& out, const Vocabulary& words) : out_(out), words_(words) {}

  void Header() {
    out_.Line(0, "HEAD");
    out_.Line(1, "SOUR", "VOZIROZ_BENCH");
    out_.Line(2, "VERS", "1.0");
    out_.Line(2, "NAME", "Voziroz benchmark generator");
    out_.Line(1, "DEST", "ANSTFILE");
    out_.Line(1, "DATE", "1 JAN 2024");
    out_.Line(2, "TIME", "12:00:00");
    out_.Line(1, "SUBM", "@U1@");
    out_.Line(1, "GEDC");
    out_.Line(2, "VERS", "5.5");
    out_.Line(2, "FORM", "LINEAGE-LINKED");
    out_.Line(1, "CHAR", words_.charset);
    out_.Line(1, "LANG", "English");
    out_.Record('U', 1, "SUBM");
    out_.Line(1, "NAME", "Benchmark Submitter");
  }

  // One household: a source record now and then, both spouses, their children, their family.
  void Household() {
    if (family_ % 40 == 0) Source();
    ++family_;
    int year = rng_.Between(1650, 1950);
    long husband = ++person_, wife = ++person_;
    int children = rng_.Below(6);
    Person(husband, 'M', year - rng_.Between(20, 35), -1, family_);
    Person(wife, 'F', year - rng_.Between(18, 30), -1, family_);
    for (int c = 0; c < children; ++c)
      Person(++person_, rng_.Chance(50) ? 'M' : 'F', year + 1 + 2 * c, family_, -1);
    Family(husband, wife, children, year);
  }

  void Trailer() { out_.Line(0, "TRLR"); }

 private:
  void Person(long id, char sex, int birth_year, long child_of, long spouse_in) {
    out_.Record('I', id, "INDI");
    if (rng_.Chance(30)) out_.Line(1, "_UID", Hex(32));
    std::string_view given = sex == 'M' ? rng_.Pick(words_.male) : rng_.Pick(words_.female);
    std::string_view surname = rng_.Pick(words_.surnames);
    text_.assign(given).append(" /").append(surname).append("/");
    out_.Line(1, "NAME", text_);
    if (rng_.Chance(50)) {
      out_.Line(2, "GIVN", given);
      out_.Line(2, "SURN", surname);
    }
    out_.Line(1, "SEX", std::string_view(&sex, 1));
    Event("BIRT", birth_year, 40);
    if (rng_.Chance(40)) Event("CHR", birth_year, 20);
    if (rng_.Chance(30)) Occupation(birth_year);
    if (rng_.Chance(20)) Residence(birth_year);
    if (rng_.Chance(60)) Death(birth_year);
    if (rng_.Chance(25)) Note();
    if (rng_.Chance(5)) Picture(id);
    if (rng_.Chance(10)) out_.Pointer(1, "SOUR", 'S', SourceId());
    if (child_of > 0) {
      out_.Pointer(1, "FAMC", 'F', child_of);
      if (rng_.Chance(20)) out_.Line(2, "PEDI", "birth");
    }
    if (spouse_in > 0) out_.Pointer(1, "FAMS", 'F', spouse_in);
    if (rng_.Chance(50)) Changed();
  }

  void Family(long husband, long wife, int children, int year) {
    out_.Record('F', family_, "FAM");
    out_.Pointer(1, "HUSB", 'I', husband);
    out_.Pointer(1, "WIFE", 'I', wife);
    Event("MARR", year, 30);
    if (rng_.Chance(3)) Event("DIV", year + rng_.Between(2, 20), 0);
    for (int c = 1; c <= children; ++c) out_.Pointer(1, "CHIL", 'I', wife + c);
    if (rng_.Chance(20)) Changed();
  }

  void Source() {
    long id = ++source_;
    out_.Record('S', id, "SOUR");
    text_.assign("Church book of ").append(rng_.Pick(words_.places));
    out_.Line(1, "TITL", text_);
    out_.Line(1, "AUTH", "Parish clerk");
    out_.Line(1, "PUBL", "Manuscript");
    out_.Pointer(1, "REPO", 'R', 1);
    text_.assign("KB-");
    text_ += std::to_string(id);
    out_.Line(2, "CALN", text_);
    out_.Line(1, "TEXT", Sentence(rng_.Between(20, 40)));
    out_.Line(2, "CONC", Sentence(rng_.Between(10, 30)));
    if (rng_.Chance(30)) Note();
  }

  void Event(std::string_view tag, int year, int cite_percent) {
    out_.Line(1, tag);
    out_.Line(2, "DATE", Date(year));
    out_.Line(2, "PLAC", rng_.Pick(words_.places));
    if (rng_.Chance(cite_percent)) {
      out_.Pointer(2, "SOUR", 'S', SourceId());
      text_.assign("Folio ").append(std::to_string(rng_.Between(1, 400)));
      out_.Line(3, "PAGE", text_);
    }
  }

  void Occupation(int birth_year) {
    out_.Line(1, "OCCU", rng_.Pick(kOccupations));
    out_.Line(2, "TYPE", "Main occupation");
    out_.Line(2, "DATE", Date(birth_year + rng_.Between(18, 40)));
  }

  void Residence(int birth_year) {
    out_.Line(1, "RESI");
    text_.assign(std::to_string(rng_.Between(1, 120))).append(" ").append(rng_.Pick(kWords));
    text_.append(" Street");
    out_.Line(2, "ADDR", text_);
    out_.Line(3, "CONT", rng_.Pick(words_.places));
    out_.Line(2, "DATE", Date(birth_year + rng_.Between(20, 60)));
    out_.Line(2, "PLAC", rng_.Pick(words_.places));
  }

  void Death(int birth_year) {
    int year = birth_year + rng_.Between(0, 95);
    Event("DEAT", year, 20);
    if (rng_.Chance(30)) out_.Line(2, "CAUS", rng_.Pick(kCauses));
    if (rng_.Chance(60)) Event("BURI", year, 0);
  }

  // A note of one to three lines; about one note in fifty has a line far over 255 characters.
  void Note() {
    bool long_line = rng_.Chance(2);
    out_.Line(1, "NOTE", Sentence(long_line ? rng_.Between(60, 300) : rng_.Between(8, 30)));
    if (rng_.Chance(50)) out_.Line(2, "CONC", Sentence(rng_.Between(5, 25)));
    if (rng_.Chance(40)) out_.Line(2, "CONT", Sentence(rng_.Between(5, 25)));
  }

  void Picture(long id) {
    out_.Line(1, "OBJE");
    out_.Line(2, "FORM", "jpeg");
    text_.assign("Portrait of person ").append(std::to_string(id));
    out_.Line(2, "TITL", text_);
    text_.assign("photos/p").append(std::to_string(id)).append(".jpg");
    out_.Line(2, "FILE", text_);
  }

  void Changed() {
    out_.Line(1, "CHAN");
    text_.assign(std::to_string(rng_.Between(1, 28))).append(" ");
    text_.append(rng_.Pick(kMonths)).append(" ").append(std::to_string(rng_.Between(1998, 2024)));
    out_.Line(2, "DATE", text_);
    out_.Line(3, "TIME", "10:20:30");
  }

  // Every common GEDCOM date form, the full date most often.
  const std::string& Date(int year) {
    std::string y = std::to_string(year);
    std::string day_month =
        std::to_string(rng_.Between(1, 28)) + " " + std::string(rng_.Pick(kMonths)) + " ";
    switch (rng_.Below(12)) {
      case 0:
        date_ = y;
        break;
      case 1:
        date_ = std::string(rng_.Pick(kMonths)) + " " + y;
        break;
      case 2:
        date_ = "ABT " + y;
        break;
      case 3:
        date_ = "BEF " + day_month + y;
        break;
      case 4:
        date_ = "AFT " + y;
        break;
      case 5:
        date_ = "BET " + y + " AND " + std::to_string(year + rng_.Between(1, 5));
        break;
      case 6:
        date_ = "INT " + y + " " + std::string(rng_.Pick(kPhrases));
        break;
      case 7:
        date_ = "EST " + y;
        break;
      default:
        date_ = day_month + y;
        break;
    }
    return date_;
  }

  const std::string& Sentence(int words) {
    sentence_.clear();
    for (int w = 0; w < words; ++w) {
      if (w) sentence_ += ' ';
      sentence_ += rng_.Pick(kWords);
    }
    sentence_ += '.';
    return sentence_;
  }

  const std::string& Hex(int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    hex_.clear();
    for (int i = 0; i < digits; ++i) hex_ += kHex[rng_.Below(16)];
    return hex_;
  }

  long SourceId() { return source_ > 0 ? 1 + rng_.Below(static_cast<int>(source_)) : 1; }

  Writer& out_;
  const Vocabulary& words_;
  Random rng_;
  long person_ = 0, family_ = 0, source_ = 0;
  std::string text_, date_, sentence_, hex_;
};

int Run(std::span<char*> args) {
  const bool utf8 = args.size() == 3 && std::string_view(args[2]) == "utf-8";
  if (args.size() != 2 && !utf8) {
    std::fprintf(stderr, "usage: make_large_gedcom OUTPUT SIZE_MB [utf-8]\n");
    return 2;
  }
  char* end = nullptr;
  long megabytes = std::strtol(args[1], &end, 10);
  if (*end != '\0' || megabytes <= 0 || megabytes > 65536) {
    std::fprintf(stderr, "make_large_gedcom: SIZE_MB must be 1 to 65536, not '%s'\n", args[1]);
    return 2;
  }
  std::FILE* file = std::fopen(args[0], "wb");
  if (!file) {
    std::perror(args[0]);
    return 1;
  }
  const std::uint64_t target = static_cast<std::uint64_t>(megabytes) << 20;
  bool ok;
  {
    Writer out(file);
    Generator generator(out, utf8 ? kUtf8 : kWindows1252);
    generator.Header();
    while (out.Written() < target) generator.Household();
    generator.Trailer();
    ok = out.Flush();
  }
  ok = std::fclose(file) == 0 && ok;
  if (!ok) {
    std::perror(args[0]);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return Run(std::span<char*>(argv + 1, argc - 1));
}
