#include "idl_reader.h"

#include <cctype>
#include <stdexcept>

namespace voziroz::idl {
namespace {

struct Token {
  std::string Text;  // a string literal keeps its quotes
  int Line = 0;
};

std::vector<Token> Tokenize(const std::string& text) {
  std::vector<Token> tokens;
  int line = 1;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '\n') ++line;
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (text.compare(i, 2, "//") == 0) {
      i = text.find('\n', i);
      if (i == std::string::npos) i = text.size();
    } else if (c == '"') {
      const std::size_t end = text.find('"', i + 1);
      if (end == std::string::npos) throw std::runtime_error("unterminated string");
      tokens.push_back({text.substr(i, end + 1 - i), line});
      i = end + 1;
    } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
      std::size_t end = i;
      while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) ||
                                   text[end] == '_' || text[end] == '-'))
        ++end;
      tokens.push_back({text.substr(i, end - i), line});
      i = end;
    } else {
      tokens.push_back({std::string(1, c), line});
      ++i;
    }
  }
  return tokens;
}

class Reader {
 public:
  explicit Reader(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  Library ReadAll() {
    while (!AtEnd() && Peek() != "[") Next();  // imports
    Library library;
    library.Attrs = ReadAttributes();
    Expect("library");
    library.Name = Next();
    Expect("{");
    while (Peek() != "}") ReadLibraryItem(library);
    Expect("}");
    return library;
  }

 private:
  void ReadLibraryItem(Library& library) {
    if (Peek() == "importlib" || Peek() == "interface") {  // importlib(...) or a declaration
      while (Next() != ";") {
      }
      return;
    }
    const Attributes attrs = ReadAttributes();
    const std::string kind = Next();
    if (kind == "interface") {
      Interface iface{attrs, Next(), "", {}};
      Expect(":");
      iface.Base = Next();
      Expect("{");
      while (Peek() != "}") iface.Members.push_back(ReadMember());
      Expect("}");
      Expect(";");
      library.Interfaces.push_back(std::move(iface));
    } else if (kind == "coclass") {
      Coclass coclass{attrs, Next(), ""};
      Expect("{");
      const Attributes item = ReadAttributes();
      Expect("interface");
      const std::string name = Next();
      if (item.count("default")) coclass.DefaultInterface = name;
      Expect(";");
      Expect("}");
      Expect(";");
      library.Coclasses.push_back(std::move(coclass));
    } else {
      Fail("interface or coclass expected");
    }
  }

  Member ReadMember() {
    Member member;
    member.Attrs = ReadAttributes();
    Expect("HRESULT");
    member.Name = Next();
    Expect("(");
    while (Peek() != ")") {
      member.Params.push_back(ReadParam());
      if (Peek() == ",") Next();
    }
    Expect(")");
    Expect(";");
    return member;
  }

  Param ReadParam() {
    Param param;
    param.Attrs = ReadAttributes();
    param.Type = Next();
    if (param.Type == "SAFEARRAY") {
      Expect("(");
      param.Type += "(" + Next() + ")";
      Expect(")");
    }
    while (Peek() == "*") {
      Next();
      ++param.Pointers;
    }
    param.Name = Next();
    return param;
  }

  Attributes ReadAttributes() {
    Attributes attrs;
    if (Peek() != "[") return attrs;
    Next();
    while (Peek() != "]") {
      const std::string name = Next();
      std::string value;
      if (Peek() == "(") {
        Next();
        while (Peek() != ")") value += Unquoted(Next());
        Next();
      }
      attrs[name] = value;
      if (Peek() == ",") Next();
    }
    Next();
    return attrs;
  }

  static std::string Unquoted(const std::string& token) {
    return token.size() >= 2 && token.front() == '"' ? token.substr(1, token.size() - 2) : token;
  }

  bool AtEnd() const { return at_ >= tokens_.size(); }
  const std::string& Peek() const {
    if (AtEnd()) throw std::runtime_error("unexpected end of the IDL");
    return tokens_[at_].Text;
  }
  std::string Next() {
    const std::string text = Peek();
    ++at_;
    return text;
  }
  void Expect(const std::string& text) {
    if (Peek() != text) Fail("'" + text + "' expected, found '" + Peek() + "'");
    Next();
  }
  [[noreturn]] void Fail(const std::string& message) const {
    const int line = AtEnd() ? -1 : tokens_[at_].Line;
    throw std::runtime_error("line " + std::to_string(line) + ": " + message);
  }

  std::vector<Token> tokens_;
  std::size_t at_ = 0;
};

}  // namespace

Library ReadLibrary(const std::string& idl_text) {
  return Reader(Tokenize(idl_text)).ReadAll();
}

}  // namespace voziroz::idl
