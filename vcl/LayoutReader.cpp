#include "vcl/LayoutReader.h"

#include <string>
#include <vector>

#include "vcl/Collections.h"
#include "vcl/Controls.h"
#include "vcl/PublishedProperties.h"
#include "vcl/StringList.h"
#include "winapi/Resources.h"

namespace {

// Deeper nesting than any designed form has; keeps hostile text from
// exhausting the stack.
constexpr int kMaxDepth = 32;

enum class TTokenKind { End, Ident, Integer, String, Symbol };

struct TToken {
  TTokenKind Kind = TTokenKind::End;
  std::string Text;  // identifier, or the symbol
  int64_t Number = 0;
  std::u16string Str;
  int Line = 1;
};

std::u16string Widen(std::string_view s) { return Utf8ToUtf16(s); }

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
    } else if (IsDigit(c) || c == '$' || (c == '-' && FPos + 1 < FText.size() && (IsDigit(FText[FPos + 1]) || FText[FPos + 1] == '$'))) {
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
    return t;
  }

  [[noreturn]] void Fail(std::u16string_view AMessage) const { FailAt(FLine, AMessage); }

  [[noreturn]] static void FailAt(int ALine, std::u16string_view AMessage) {
    throw EReadError(UnicodeString(AMessage) + u" (line " + Widen(std::to_string(ALine)) + u")");
  }

 private:
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
        s += Widen(run);
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

// One value as written, before it is known where it goes.
struct TValue {
  enum class Kind { Integer, String, Ident, Set, List } Kind = Kind::Integer;
  int64_t Number = 0;
  std::u16string Str;
  std::string Ident;
  std::vector<std::string> SetItems;
  std::vector<TValue> ListItems;
  int Line = 1;
};

class TLayoutReader {
 public:
  TLayoutReader(std::string_view AText, TComponent& ARoot) : FLexer(AText), FRoot(ARoot) { Advance(); }

  void Read() {
    ReadObject(nullptr, 0);
    if (FToken.Kind != TTokenKind::End) Fail(u"Text after the end of the layout");
  }

 private:
  void Advance() { FToken = FLexer.Next(); }
  [[noreturn]] void Fail(std::u16string_view AMessage) const { TLexer::FailAt(FToken.Line, AMessage); }

  bool IsIdent(std::string_view AText) const {
    return FToken.Kind == TTokenKind::Ident && SameText(Widen(FToken.Text), Widen(AText));
  }
  bool IsSymbol(char c) const { return FToken.Kind == TTokenKind::Symbol && FToken.Text[0] == c; }
  void ExpectSymbol(char c) {
    if (!IsSymbol(c)) Fail(UnicodeString(u"'") + std::u16string(1, static_cast<char16_t>(c)) + u"' expected");
    Advance();
  }
  std::string ExpectIdent() {
    if (FToken.Kind != TTokenKind::Ident) Fail(u"Identifier expected");
    std::string text = FToken.Text;
    Advance();
    return text;
  }
  bool AtObjectStart() const { return IsIdent("object"); }

  // "object [Name:] Class" up to its "end". AParent is null for the root.
  void ReadObject(TComponent* AParent, int ADepth) {
    if (ADepth > kMaxDepth) Fail(u"Objects nested too deeply");
    if (!AtObjectStart()) Fail(u"'object' expected");
    const int line = FToken.Line;
    Advance();
    std::string name = ExpectIdent();
    std::string className;
    if (IsSymbol(':')) {
      Advance();
      className = ExpectIdent();
    } else {
      className = std::move(name);
      name.clear();
    }

    TComponent* target = AParent ? CreateChild(className, name, *AParent, line) : &FRoot;
    if (!AParent && !name.empty() && FRoot.Name().IsEmpty()) Guard(line, name, [&] { FRoot.SetName(Widen(name)); });

    while (!IsIdent("end")) {
      if (FToken.Kind == TTokenKind::End) Fail(u"'end' expected");
      if (AtObjectStart())
        ReadObject(target, ADepth + 1);
      else
        ReadProperty(*target, Widen(name), ADepth);
    }
    Advance();
  }

  TComponent* CreateChild(const std::string& AClassName, const std::string& AName, TComponent& AParent, int ALine) {
    const TPublishedClass* cls = FindPublishedClass(Widen(AClassName));
    if (!cls || !cls->Create) TLexer::FailAt(ALine, UnicodeString(u"Class ") + Widen(AClassName) + u" not found");
    TComponent* child = nullptr;
    Guard(ALine, AName, [&] {
      child = cls->Create(&FRoot);
      if (!AName.empty()) child->SetName(Widen(AName));
      auto* control = dynamic_cast<TControl*>(child);
      auto* parent = dynamic_cast<TWinControl*>(&AParent);
      if (control && parent) control->SetParent(parent);
    });
    return child;
  }

  // Runs AStep; an error of the component library becomes a read error
  // that names the object and the line.
  template <class F>
  void Guard(int ALine, const std::string& AObjectName, F&& AStep) {
    try {
      AStep();
    } catch (const EReadError&) {
      throw;
    } catch (const Exception& e) {
      TLexer::FailAt(ALine, UnicodeString(u"Error reading ") + Widen(AObjectName) + u": " + e.Message());
    }
  }

  void ReadProperty(TObject& ATarget, const std::u16string& AObjectName, int ADepth) {
    const int line = FToken.Line;
    std::vector<std::u16string> path{Widen(ExpectIdent())};
    while (IsSymbol('.')) {
      Advance();
      path.push_back(Widen(ExpectIdent()));
    }
    ExpectSymbol('=');

    std::u16string fullName = AObjectName;
    for (const std::u16string& p : path) fullName += (fullName.empty() ? u"" : u".") + p;

    // Walk to the object that holds the last part of the path.
    TObject* holder = &ATarget;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
      const TPropInfo* info = GetPropInfo(*holder, path[i]);
      if (!info || info->Kind != tkClass) TLexer::FailAt(line, u"Property " + fullName + u" does not exist");
      holder = GetObjectProp(*holder, *info);
      if (!holder) TLexer::FailAt(line, u"Property " + fullName + u" has no object");
    }

    if (IsSymbol('<')) {
      ReadCollection(*holder, path.back(), fullName, line, ADepth);
      return;
    }
    const TValue value = ReadValue(0);
    auto* strings = dynamic_cast<TStrings*>(holder);
    if (value.Kind == TValue::Kind::List && strings && SameText(path.back(), u"Strings")) {
      AssignStrings(*strings, value, fullName);
      return;
    }
    const TPropInfo* info = GetPropInfo(*holder, path.back());
    if (!info) TLexer::FailAt(line, u"Property " + fullName + u" does not exist");
    Assign(*holder, *info, value, fullName);
  }

  TValue ReadValue(int ANesting) {
    if (ANesting > kMaxDepth) Fail(u"Values nested too deeply");
    TValue v;
    v.Line = FToken.Line;
    switch (FToken.Kind) {
      case TTokenKind::Integer:
        v.Kind = TValue::Kind::Integer;
        v.Number = FToken.Number;
        Advance();
        return v;
      case TTokenKind::String:
        v.Kind = TValue::Kind::String;
        v.Str = FToken.Str;
        Advance();
        while (IsSymbol('+')) {
          Advance();
          if (FToken.Kind != TTokenKind::String) Fail(u"String expected");
          v.Str += FToken.Str;
          Advance();
        }
        return v;
      case TTokenKind::Ident:
        v.Kind = TValue::Kind::Ident;
        v.Ident = FToken.Text;
        Advance();
        return v;
      case TTokenKind::Symbol:
        if (IsSymbol('[')) {
          v.Kind = TValue::Kind::Set;
          Advance();
          while (!IsSymbol(']')) {
            if (!v.SetItems.empty()) ExpectSymbol(',');
            v.SetItems.push_back(ExpectIdent());
          }
          Advance();
          return v;
        }
        if (IsSymbol('(')) {
          v.Kind = TValue::Kind::List;
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

  void AssignStrings(TStrings& AStrings, const TValue& AList, const std::u16string& AName) {
    for (const TValue& item : AList.ListItems)
      if (item.Kind != TValue::Kind::String) TLexer::FailAt(item.Line, u"Strings expected for " + AName);
    Guard(AList.Line, Utf16ToUtf8(AName), [&] {
      AStrings.Clear();
      for (const TValue& item : AList.ListItems) AStrings.Add(UnicodeString(item.Str));
    });
  }

  // "< item Prop = Value ... end ... >": the collection's items, anew.
  void ReadCollection(TObject& AHolder, const std::u16string& APropName, const std::u16string& AName, int ALine,
                      int ADepth) {
    if (ADepth > kMaxDepth) Fail(u"Objects nested too deeply");
    const TPropInfo* info = GetPropInfo(AHolder, APropName);
    TObject* object = info && info->Kind == tkClass ? GetObjectProp(AHolder, *info) : nullptr;
    auto* collection = dynamic_cast<TCollection*>(object);
    if (!collection) TLexer::FailAt(ALine, u"Property " + AName + u" is no collection");
    Advance();  // '<'
    Guard(ALine, Utf16ToUtf8(AName), [&] { collection->Clear(); });
    while (!IsSymbol('>')) {
      if (!IsIdent("item")) Fail(u"'item' expected");
      const int itemLine = FToken.Line;
      Advance();
      TCollectionItem* item = nullptr;
      Guard(itemLine, Utf16ToUtf8(AName), [&] { item = collection->Add(); });
      while (!IsIdent("end")) {
        if (FToken.Kind == TTokenKind::End) Fail(u"'end' expected");
        ReadProperty(*item, AName, ADepth + 1);
      }
      Advance();
    }
    Advance();
  }

  void Assign(TObject& AHolder, const TPropInfo& AProp, const TValue& AValue, const std::u16string& AName) {
    const int line = AValue.Line;
    auto bad = [&]() { BadValue(line, AName); };
    auto identValue = [&](const std::string& AIdent) -> int64_t {
      for (const TIdentMapEntry& e : AProp.Idents)
        if (SameText(e.Name, Widen(AIdent))) return e.Value;
      BadValue(line, AName);
    };
    Guard(line, Utf16ToUtf8(AName), [&] {
      if (IsStringKind(AProp.Kind)) {
        if (AValue.Kind != TValue::Kind::String) bad();
        SetStrProp(AHolder, AProp, UnicodeString(AValue.Str));
      } else if (AProp.Kind == tkSet) {
        if (AValue.Kind != TValue::Kind::Set) bad();
        int64_t bits = 0;
        for (const std::string& item : AValue.SetItems) bits |= int64_t{1} << identValue(item);
        SetOrdProp(AHolder, AProp, bits);
      } else if (IsOrdinalKind(AProp.Kind)) {
        if (AValue.Kind == TValue::Kind::Integer)
          SetOrdProp(AHolder, AProp, AValue.Number);
        else if (AValue.Kind == TValue::Kind::Ident)
          SetOrdProp(AHolder, AProp, identValue(AValue.Ident));
        else
          bad();
      } else {
        bad();
      }
    });
  }

  [[noreturn]] static void BadValue(int ALine, const std::u16string& AName) {
    TLexer::FailAt(ALine, u"Invalid value for property " + AName);
  }

  TLexer FLexer;
  TToken FToken;
  TComponent& FRoot;
};

}  // namespace

void ReadComponentLayout(std::string_view AText, TComponent& ARoot) { TLayoutReader(AText, ARoot).Read(); }

bool ReadComponentResource(HMODULE AModule, std::u16string_view AResName, TComponent& ARoot) {
  const std::u16string name(AResName);
  HRSRC res = FindResourceW(AModule, name.c_str(), RT_RCDATA);
  if (!res) return false;
  HGLOBAL data = LoadResource(AModule, res);
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) return false;
  ReadComponentLayout(std::string_view(static_cast<const char*>(bytes), SizeofResource(AModule, res)), ARoot);
  return true;
}
