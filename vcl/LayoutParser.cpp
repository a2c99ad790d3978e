#include "vcl/LayoutParser.h"

#include <utility>

#include "rtl/UnicodeString.h"

namespace {

enum class TTokenKind { End, Ident, Integer, String, Symbol };

struct TToken {
  TTokenKind Kind = TTokenKind::End;
  std::string Text;  // identifier, or the symbol
  int64_t Number = 0;
  std::u16string Str;
  int Line = 1;
};

class TLexer {
 public:
  explicit TLexer(std::string_view AText) : FText(AText) {}

  TToken Next() {
    SkipBlanks();
    TToken t;
    t.Line = FLine;
    if (FPos >= FText.size()) return t;
    const char c = FText[FPos];
    if (IsIdentStart(c)) {
      const size_t start = FPos;
      while (FPos < FText.size() && IsIdentChar(FText[FPos])) ++FPos;
      t.Kind = TTokenKind::Ident;
      t.Text = std::string(FText.substr(start, FPos - start));
    } else if (IsDigit(c) || c == '$' ||
               (c == '-' && FPos + 1 < FText.size() && (IsDigit(FText[FPos + 1]) || FText[FPos + 1] == '$'))) {
      t.Kind = TTokenKind::Integer;
      t.Number = ReadInteger();
    } else if (c == '\'' || c == '#') {
      t.Kind = TTokenKind::String;
      t.Str = ReadString();
    } else if (std::string_view("=:[](),<>+.").find(c) != std::string_view::npos) {
      t.Kind = TTokenKind::Symbol;
      t.Text = std::string(1, c);
      ++FPos;
    } else if (c == '{') {
      Fail(u"Binary property data is not supported");
    } else {
      Fail(u"Invalid character in the layout");
    }
    // A token is what the tree keeps; none may reach past the bound.
    if (FPos > kLayoutMaxBytes) RaiseLayoutError(t.Line, u"Layout too large");
    return t;
  }

 private:
  [[noreturn]] void Fail(std::u16string_view AMessage) const { RaiseLayoutError(FLine, AMessage); }

  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  static bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
  static bool IsIdentStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
  static bool IsIdentChar(char c) { return IsIdentStart(c) || IsDigit(c); }
  static int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    return (c | 0x20) - 'a' + 10;
  }

  void SkipBlanks() {
    while (FPos < FText.size()) {
      const char c = FText[FPos];
      if (c == '\n') {
        ++FLine;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        break;
      }
      ++FPos;
    }
  }

  // Decimal, or hexadecimal after "$"; bounded to 64 bits.
  int64_t ReadInteger() {
    bool negative = false;
    if (FText[FPos] == '-') {
      negative = true;
      ++FPos;
    }
    const bool hex = FText[FPos] == '$';
    if (hex) ++FPos;
    const uint64_t base = hex ? 16 : 10;
    uint64_t value = 0;
    size_t digits = 0;
    while (FPos < FText.size() && (hex ? IsHex(FText[FPos]) : IsDigit(FText[FPos]))) {
      const uint64_t d = static_cast<uint64_t>(HexValue(FText[FPos++]));
      if (value > (UINT64_MAX - d) / base) Fail(u"Number out of range");
      value = value * base + d;
      ++digits;
    }
    if (digits == 0) Fail(u"Invalid number");
    if (FPos < FText.size() && (IsIdentChar(FText[FPos]) || FText[FPos] == '.')) Fail(u"Invalid number");
    // Hexadecimal is a bit pattern; decimal must fit as it is written.
    if (!hex && value > (negative ? uint64_t{1} << 63 : static_cast<uint64_t>(INT64_MAX))) Fail(u"Number out of range");
    const int64_t v = static_cast<int64_t>(value);
    return negative ? static_cast<int64_t>(0 - value) : v;
  }

  // Quoted runs and character codes written together: 'It''s'#13#10'x'.
  std::u16string ReadString() {
    std::u16string s;
    while (FPos < FText.size()) {
      if (FText[FPos] == '\'') {
        ++FPos;
        std::string run;
        for (;;) {
          if (FPos >= FText.size() || FText[FPos] == '\n' || FText[FPos] == '\r') Fail(u"Unterminated string");
          if (FText[FPos] == '\'') {
            if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
              run.push_back('\'');
              FPos += 2;
              continue;
            }
            ++FPos;
            break;
          }
          run.push_back(FText[FPos++]);
        }
        s += Utf8ToUtf16(run);
      } else if (FText[FPos] == '#') {
        ++FPos;
        if (FPos >= FText.size() || !(IsDigit(FText[FPos]) || FText[FPos] == '$')) Fail(u"Invalid character code");
        const int64_t code = ReadInteger();
        if (code < 0 || code > 0xFFFF) Fail(u"Invalid character code");
        s.push_back(static_cast<char16_t>(code));
      } else {
        break;
      }
    }
    return s;
  }

  std::string_view FText;
  size_t FPos = 0;
  int FLine = 1;
};

// Identifiers are ASCII; keywords match without regard to case.
bool SameIdent(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

class TParser {
 public:
  explicit TParser(std::string_view AText) : FLexer(AText) { Advance(); }

  TLayoutObject Parse() {
    TLayoutObject root = ReadObject(0);
    if (FToken.Kind != TTokenKind::End) Fail(u"Text after the end of the layout");
    return root;
  }

 private:
  void Advance() { FToken = FLexer.Next(); }
  [[noreturn]] void Fail(std::u16string_view AMessage) const { RaiseLayoutError(FToken.Line, AMessage); }

  // Every object, property, value and item counts against the bound.
  void Count() {
    if (++FElements > kLayoutMaxElements) Fail(u"Layout too large");
  }

  bool IsIdent(std::string_view AText) const {
    return FToken.Kind == TTokenKind::Ident && SameIdent(FToken.Text, AText);
  }
  bool IsSymbol(char c) const { return FToken.Kind == TTokenKind::Symbol && FToken.Text[0] == c; }
  void ExpectSymbol(char c) {
    if (!IsSymbol(c)) Fail(u"'" + std::u16string(1, static_cast<char16_t>(c)) + u"' expected");
    Advance();
  }
  std::string ExpectIdent() {
    if (FToken.Kind != TTokenKind::Ident) Fail(u"Identifier expected");
    std::string text = std::move(FToken.Text);
    Advance();
    return text;
  }
  // Inside an object or an item, the text goes on at least to its "end".
  void RefuseEndOfText() {
    if (FToken.Kind == TTokenKind::End) Fail(u"'end' expected");
  }

  // "object [Name:] Class" up to its "end".
  TLayoutObject ReadObject(int ADepth) {
    if (ADepth > kLayoutMaxDepth) Fail(u"Objects nested too deeply");
    if (!IsIdent("object")) Fail(u"'object' expected");
    Count();
    TLayoutObject object;
    object.Line = FToken.Line;
    Advance();
    object.Name = ExpectIdent();
    if (IsSymbol(':')) {
      Advance();
      object.ClassName = ExpectIdent();
    } else {
      object.ClassName = std::move(object.Name);
      object.Name.clear();
    }
    while (!IsIdent("end")) {
      RefuseEndOfText();
      if (IsIdent("object")) {
        object.Children.push_back(ReadObject(ADepth + 1));
        object.Children.back().PropertiesBefore = object.Properties.size();
      } else {
        object.Properties.push_back(ReadProperty(ADepth));
      }
    }
    Advance();
    return object;
  }

  // "Font.Style = [fsBold]"; ADepth is that of the object or collection
  // item it belongs to.
  TLayoutProperty ReadProperty(int ADepth) {
    Count();
    TLayoutProperty property;
    property.Line = FToken.Line;
    property.Path = ExpectIdent();
    while (IsSymbol('.')) {
      Advance();
      property.Path += '.';
      property.Path += ExpectIdent();
    }
    ExpectSymbol('=');
    property.Value = IsSymbol('<') ? ReadCollection(ADepth) : ReadValue(0);
    return property;
  }

  // "< item Prop = Value ... end ... >".
  TLayoutValue ReadCollection(int ADepth) {
    if (ADepth > kLayoutMaxDepth) Fail(u"Objects nested too deeply");
    Count();
    TLayoutValue v;
    v.Kind = TLayoutValue::TKind::Collection;
    v.Line = FToken.Line;
    Advance();  // '<'
    while (!IsSymbol('>')) {
      if (!IsIdent("item")) Fail(u"'item' expected");
      Count();
      TLayoutItem& item = v.Items.emplace_back();
      item.Line = FToken.Line;
      Advance();
      while (!IsIdent("end")) {
        RefuseEndOfText();
        item.Properties.push_back(ReadProperty(ADepth + 1));
      }
      Advance();
    }
    Advance();
    return v;
  }

  TLayoutValue ReadValue(int ANesting) {
    if (ANesting > kLayoutMaxDepth) Fail(u"Values nested too deeply");
    Count();
    TLayoutValue v;
    v.Line = FToken.Line;
    switch (FToken.Kind) {
      case TTokenKind::Integer:
        v.Kind = TLayoutValue::TKind::Integer;
        v.Number = FToken.Number;
        Advance();
        return v;
      case TTokenKind::String:
        v.Kind = TLayoutValue::TKind::String;
        v.Str = std::move(FToken.Str);
        Advance();
        while (IsSymbol('+')) {
          Advance();
          if (FToken.Kind != TTokenKind::String) Fail(u"String expected");
          v.Str += FToken.Str;
          Advance();
        }
        return v;
      case TTokenKind::Ident:
        v.Kind = TLayoutValue::TKind::Ident;
        v.Ident = std::move(FToken.Text);
        Advance();
        return v;
      case TTokenKind::Symbol:
        if (IsSymbol('[')) {
          v.Kind = TLayoutValue::TKind::Set;
          Advance();
          while (!IsSymbol(']')) {
            if (!v.SetItems.empty()) ExpectSymbol(',');
            Count();
            v.SetItems.push_back(ExpectIdent());
          }
          Advance();
          return v;
        }
        if (IsSymbol('(')) {
          v.Kind = TLayoutValue::TKind::List;
          Advance();
          while (!IsSymbol(')')) {
            if (FToken.Kind == TTokenKind::End) Fail(u"')' expected");
            v.ListItems.push_back(ReadValue(ANesting + 1));
          }
          Advance();
          return v;
        }
        break;
      case TTokenKind::End:
        break;
    }
    Fail(u"Value expected");
  }

  TLexer FLexer;
  TToken FToken;
  size_t FElements = 0;
};

}  // namespace

TLayoutObject ParseLayout(std::string_view AText) { return TParser(AText).Parse(); }

void RaiseLayoutError(int ALine, std::u16string_view AMessage) {
  throw EReadError(UnicodeString(AMessage) + u" (line " + Utf8ToUtf16(std::to_string(ALine)) + u")");
}
