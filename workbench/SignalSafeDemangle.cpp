#include "workbench/SignalSafeDemangle.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxSubstitutions = 64;
constexpr int kMaxTemplateArgs = 16;
// Nesting of names and types; a real name is far shallower.
constexpr int kMaxDepth = 40;

struct TRange {
  size_t Begin = 0;
  size_t End = 0;
  // A function type or a pointer to one: what wraps it goes inside, "(*)".
  bool Function = false;
  bool Unwritten = false;  // read, but never written on its own
};

// The qualifiers after a nested name's N, which belong to the function.
struct TNameInfo {
  bool Templated = false;  // ends with template arguments: a return type follows
  bool Structor = false;   // a constructor or destructor: no return type
  bool Const = false;
  bool Volatile = false;
  char RefQualifier = 0;  // 'R' or 'O'
};

const char* BuiltinType(char c) noexcept {
  switch (c) {
    case 'v': return "void";
    case 'w': return "wchar_t";
    case 'b': return "bool";
    case 'c': return "char";
    case 'a': return "signed char";
    case 'h': return "unsigned char";
    case 's': return "short";
    case 't': return "unsigned short";
    case 'i': return "int";
    case 'j': return "unsigned int";
    case 'l': return "long";
    case 'm': return "unsigned long";
    case 'x': return "long long";
    case 'y': return "unsigned long long";
    case 'n': return "__int128";
    case 'o': return "unsigned __int128";
    case 'f': return "float";
    case 'd': return "double";
    case 'e': return "long double";
    case 'g': return "__float128";
    case 'z': return "...";
    default: return nullptr;
  }
}

struct TOperator {
  char Code[3];
  const char* Name;
};
constexpr TOperator kOperators[] = {
    {"nw", "new"},  {"na", "new[]"}, {"dl", "delete"}, {"da", "delete[]"}, {"ps", "+"},   {"ng", "-"},
    {"ad", "&"},    {"de", "*"},     {"co", "~"},      {"pl", "+"},        {"mi", "-"},   {"ml", "*"},
    {"dv", "/"},    {"rm", "%"},     {"an", "&"},      {"or", "|"},        {"eo", "^"},   {"aS", "="},
    {"pL", "+="},   {"mI", "-="},    {"mL", "*="},     {"dV", "/="},       {"rM", "%="},  {"aN", "&="},
    {"oR", "|="},   {"eO", "^="},    {"ls", "<<"},     {"rs", ">>"},       {"lS", "<<="}, {"rS", ">>="},
    {"eq", "=="},   {"ne", "!="},    {"lt", "<"},      {"gt", ">"},        {"le", "<="},  {"ge", ">="},
    {"ss", "<=>"},  {"nt", "!"},     {"aa", "&&"},     {"oo", "||"},       {"pp", "++"},  {"mm", "--"},
    {"cm", ","},    {"pm", "->*"},   {"pt", "->"},     {"cl", "()"},       {"ix", "[]"},
};

bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }
bool IsRefQualifier(char c) noexcept { return c == 'R' || c == 'O'; }

class TDemangler {
 public:
  TDemangler(const char* in, char* out, size_t size) noexcept : p_(in), out_(out), size_(size) {}

  bool Run() noexcept {
    if (size_ == 0 || p_[0] != '_' || p_[1] != 'Z') return false;
    p_ += 2;
    if (!Special() && !Encoding()) return false;
    if (!CloneSuffixes() || *p_ != 0 || failed_) return false;
    out_[len_] = 0;
    return true;
  }

 private:
  // ---- output

  bool Put(const char* s) noexcept { return PutN(s, std::strlen(s)); }
  bool PutN(const char* s, size_t n) noexcept {
    if (failed_ || len_ + n + 1 > size_ - hidden_) return Fail();
    std::memcpy(out_ + len_, s, n);
    len_ += n;
    return true;
  }
  bool Copy(TRange r) noexcept {
    // From earlier in the same buffer, to its end: no overlap.
    if (failed_ || len_ + (r.End - r.Begin) + 1 > size_ - hidden_) return Fail();
    for (size_t i = r.Begin; i < r.End; ++i) out_[len_++] = out_[i];
    return true;
  }
  bool Fail() noexcept {
    failed_ = true;
    return false;
  }
  char Last() const noexcept { return len_ ? out_[len_ - 1] : 0; }

  // ---- input

  bool Take(char c) noexcept {
    if (*p_ != c) return false;
    ++p_;
    return true;
  }
  bool Number(size_t& n) noexcept {
    if (!IsDigit(*p_)) return false;
    n = 0;
    while (IsDigit(*p_)) {
      n = n * 10 + static_cast<size_t>(*p_++ - '0');
      if (n > 4096) return false;
    }
    return true;
  }
  // "_" is 0, "N_" is N + 1; digits and capitals, base 36, for substitutions.
  bool SeqId(size_t& n) noexcept {
    if (Take('_')) {
      n = 0;
      return true;
    }
    size_t v = 0;
    int digits = 0;
    for (; (IsDigit(*p_) || (*p_ >= 'A' && *p_ <= 'Z')) && digits < 4; ++p_, ++digits)
      v = v * 36 + static_cast<size_t>(IsDigit(*p_) ? *p_ - '0' : *p_ - 'A' + 10);
    if (digits == 0 || !Take('_')) return false;
    n = v + 1;
    return true;
  }
  // A run of decimal digits, perhaps negative ("n12"), as used in thunks.
  bool SignedNumber() noexcept {
    Take('n');
    size_t ignored = 0;
    return Number(ignored);
  }

  // ---- bookkeeping

  bool AddSubstitution(size_t begin) noexcept {
    if (subCount_ == kMaxSubstitutions) return Fail();
    subs_[subCount_++] = {begin, len_};
    return true;
  }
  struct TDepth {
    explicit TDepth(int& d) noexcept : depth(d) { ++depth; }
    ~TDepth() { --depth; }
    int& depth;
  };
  bool TooDeep() noexcept { return depth_ > kMaxDepth ? Fail() : false; }

  // ---- the grammar

  // Thunks, tables and guard variables: "<what> for <name>".
  bool Special() noexcept {
    if (p_[0] == 'T') {
      const char kind = p_[1];
      const char* what = kind == 'V' ? "vtable for " : kind == 'I' ? "typeinfo for " : kind == 'S' ? "typeinfo name for "
                                                                                                     : nullptr;
      if (what) {
        p_ += 2;
        return Put(what) && Type();
      }
      if (kind == 'h') {  // Th <offset> _ <encoding>
        p_ += 2;
        if (!SignedNumber() || !Take('_')) return Fail();
        return Put("non-virtual thunk to ") && Encoding();
      }
      if (kind == 'v') {  // Tv <offset> _ <virtual offset> _ <encoding>
        p_ += 2;
        if (!SignedNumber() || !Take('_') || !SignedNumber() || !Take('_')) return Fail();
        return Put("virtual thunk to ") && Encoding();
      }
      return false;
    }
    if (p_[0] == 'G' && p_[1] == 'V') {
      p_ += 2;
      TNameInfo info;
      return Put("guard variable for ") && Name(info, true);
    }
    return false;
  }

  bool Encoding(bool showReturnType = true) noexcept {
    const TDepth d(depth_);
    if (TooDeep()) return false;
    const size_t nameBegin = len_;
    TNameInfo info;
    if (!Name(info, true)) return false;
    // A variable, or a function within a local name whose parameters were
    // left out (main's).
    const auto atEnd = [this] { return *p_ == 0 || *p_ == 'E' || *p_ == '.'; };
    // Qualifiers belong to a member function, which has parameters.
    if (atEnd()) return !(info.Const || info.Volatile || info.RefQualifier) || Fail();
    if (info.Templated && !info.Structor) {
      const size_t typeBegin = len_;
      if (!Type() || (atEnd() && Fail())) return false;
      if (!showReturnType) {
        Hide(typeBegin);
      } else {
        if (!Put(" ")) return false;
        MoveToFront(nameBegin, typeBegin);
      }
    }
    if (!Put("(")) return false;
    if (p_[0] == 'v' && (p_[1] == 0 || p_[1] == 'E' || p_[1] == '.')) {
      ++p_;
    } else {
      for (bool first = true; *p_ && *p_ != 'E' && *p_ != '.'; first = false)
        if ((!first && !Put(", ")) || !Type()) return false;
    }
    if (!Put(")")) return false;
    if (info.Const && !Put(" const")) return false;
    if (info.Volatile && !Put(" volatile")) return false;
    if (info.RefQualifier && !Put(info.RefQualifier == 'R' ? " &" : " &&")) return false;
    return true;
  }

  // The return type, written after the name, goes before it: [begin, at)
  // and [at, end) change places, and so do the substitutions held there.
  void MoveToFront(size_t begin, size_t at) noexcept {
    std::rotate(out_ + begin, out_ + at, out_ + len_);
    const size_t front = len_ - at, back = at - begin;
    auto move = [&](TRange* ranges, int count) {
      for (int i = 0; i < count; ++i) {
        TRange& r = ranges[i];
        if (r.Begin >= begin && r.End <= at) {
          r.Begin += front;
          r.End += front;
        } else if (r.Begin >= at) {
          r.Begin -= back;
          r.End -= back;
        }
      }
    };
    move(subs_, subCount_);
    move(args_, argCount_);
  }

  // Moves [begin, len_) out of sight, to the end of the buffer.
  void Hide(size_t begin) noexcept {
    const size_t n = len_ - begin, to = size_ - hidden_ - n;
    std::memmove(out_ + to, out_ + begin, n);
    for (TRange* table : {subs_, args_})
      for (int i = 0; i < (table == subs_ ? subCount_ : argCount_); ++i)
        if (table[i].Begin >= begin && table[i].End <= len_) {
          table[i].Begin += to - begin;
          table[i].End += to - begin;
        }
    hidden_ += n;
    len_ = begin;
  }

  bool Name(TNameInfo& info, bool record) noexcept {
    const TDepth d(depth_);
    if (TooDeep()) return false;
    if (*p_ == 'N') return Nested(info, record);
    if (*p_ == 'Z') return Local(info);
    const size_t begin = len_;
    if (p_[0] == 'S' && p_[1] == 't') {
      p_ += 2;
      if (!Put("std::")) return false;
    } else if (*p_ == 'S') {
      if (!Substitution()) return false;
      if (*p_ != 'I') return true;
      info.Templated = true;
      return TemplateArgs(record);
    }
    if (!UnqualifiedName(info, begin)) return false;
    if (*p_ == 'I') {
      info.Templated = true;
      return AddSubstitution(begin) && TemplateArgs(record);
    }
    return true;
  }

  // Z <encoding> E <name> [<discriminator>]: a name inside a function,
  // whose return type is read but not shown.
  bool Local(TNameInfo& info) noexcept {
    ++p_;
    if (!Encoding(false) || !Take('E')) return Fail();
    if (Take('s')) {
      if (!Put("::string literal")) return false;
    } else {
      if (!Put("::")) return false;
      TNameInfo inner;
      if (!Name(inner, true)) return false;
      info = inner;
      // The function's own template arguments are no return type's sign.
      info.Templated = inner.Templated;
    }
    // _ <digit> or __ <number> _
    if (p_[0] == '_') {
      if (IsDigit(p_[1])) {
        p_ += 2;
      } else if (p_[1] == '_') {
        p_ += 2;
        size_t ignored = 0;
        if (!Number(ignored) || !Take('_')) return Fail();
      }
    }
    return true;
  }

  bool Nested(TNameInfo& info, bool record) noexcept {
    ++p_;
    for (;; ++p_) {
      if (*p_ == 'K') info.Const = true;
      else if (*p_ == 'V') info.Volatile = true;
      else if (*p_ != 'r') break;
    }
    if (*p_ == 'R' || *p_ == 'O') info.RefQualifier = *p_++;
    const size_t begin = len_;
    bool any = false;
    while (!Take('E')) {
      if (*p_ == 0) return Fail();
      info.Templated = false;
      if (*p_ == 'I') {
        if (!any || !TemplateArgs(record)) return Fail();
        info.Templated = true;
      } else {
        info.Structor = false;
        if (any && !Put("::")) return false;
        if (p_[0] == 'S' && p_[1] == 't') {
          p_ += 2;
          if (!Put("std")) return false;
          any = true;
          continue;  // std alone is no substitution
        }
        if (*p_ == 'S') {
          if (!Substitution()) return false;
          any = true;
          continue;  // already one
        }
        if (*p_ == 'T') {
          if (!TemplateParam()) return false;
        } else if (!UnqualifiedName(info, begin)) {
          return false;
        }
      }
      any = true;
      if (*p_ != 'E' && !AddSubstitution(begin)) return false;
    }
    return any || Fail();
  }

  bool UnqualifiedName(TNameInfo& info, size_t nameBegin) noexcept {
    if (*p_ == 'L' && IsDigit(p_[1])) ++p_;  // internal linkage
    if (IsDigit(*p_)) {
      if (!SourceName()) return false;
    } else if (*p_ == 'C' && p_[1] >= '1' && p_[1] <= '5') {
      p_ += 2;
      info.Structor = true;
      if (!ClassName(nameBegin, false)) return false;
    } else if (*p_ == 'D' && p_[1] >= '0' && p_[1] <= '5') {
      p_ += 2;
      info.Structor = true;
      if (!ClassName(nameBegin, true)) return false;
    } else if (*p_ == 'U') {
      if (!UnnamedType()) return false;
    } else if (*p_ >= 'a' && *p_ <= 'z') {
      if (!OperatorName()) return false;
    } else {
      return Fail();
    }
    return AbiTags();
  }

  // A constructor's name is its class's: the last name written before it,
  // without its template arguments.
  bool ClassName(size_t nameBegin, bool destructor) noexcept {
    size_t end = len_;
    if (end >= 2 && out_[end - 1] == ':' && out_[end - 2] == ':') end -= 2;
    if (end > nameBegin && out_[end - 1] == '>') {
      int level = 0;
      while (end > nameBegin) {
        const char c = out_[--end];
        if (c == '>') ++level;
        if (c == '<' && --level == 0) break;
      }
      if (level != 0) return Fail();
    }
    size_t start = end;
    int level = 0;
    while (start > nameBegin) {
      const char c = out_[start - 1];
      if (c == '>') ++level;
      if (c == '<') --level;
      if (level == 0 && c == ':') break;
      --start;
    }
    if (start == end) return Fail();
    return (!destructor || Put("~")) && Copy({start, end});
  }

  bool SourceName() noexcept {
    size_t n = 0;
    if (!Number(n)) return Fail();
    if (std::strlen(p_) < n) return Fail();
    if (n >= 10 && std::strncmp(p_, "_GLOBAL__N", 10) == 0) {
      p_ += n;
      return Put("(anonymous namespace)");
    }
    if (!PutN(p_, n)) return false;
    p_ += n;
    return true;
  }

  // B <source-name>: "[abi:cxx11]"
  bool AbiTags() noexcept {
    while (Take('B')) {
      if (!Put("[abi:") || !SourceName() || !Put("]")) return false;
    }
    return true;
  }

  bool OperatorName() noexcept {
    for (const TOperator& o : kOperators) {
      if (p_[0] != o.Code[0] || p_[1] != o.Code[1]) continue;
      p_ += 2;
      // "operator<" before template arguments would read as "operator<<".
      return Put("operator") && Put(o.Name);
    }
    return Fail();
  }

  // Ut [<number>] _ and Ul <types> E [<number>] _
  bool UnnamedType() noexcept {
    const char kind = p_[1];
    p_ += 2;
    if (kind == 'l') {
      if (!Put("{lambda(")) return false;
      if (p_[0] == 'v' && p_[1] == 'E') {
        ++p_;
      } else {
        for (bool first = true; *p_ && *p_ != 'E'; first = false)
          if ((!first && !Put(", ")) || !Type()) return false;
      }
      if (!Take('E') || !Put(")")) return Fail();
    } else if (kind == 't') {
      if (!Put("{unnamed type")) return false;
    } else {
      return Fail();
    }
    size_t n = 0;
    const bool numbered = Number(n);
    if (!Take('_')) return Fail();
    char number[24];
    size_t at = sizeof number;
    for (size_t v = numbered ? n + 2 : 1; at == sizeof number || v; v /= 10) number[--at] = static_cast<char>('0' + v % 10);
    return Put("#") && PutN(number + at, sizeof number - at) && Put("}");
  }

  bool TemplateArgs(bool record) noexcept {
    const TDepth d(depth_);
    // "operator<< <int>", not "operator<<<int>".
    if (TooDeep() || !Take('I') || (Last() == '<' && !Put(" ")) || !Put("<")) return false;
    // Kept where T_ finds them only for the name's own list; no copy on
    // the stack, which may be a small alternate one.
    if (record) argCount_ = 0;
    for (bool first = true; !Take('E'); first = false) {
      if (*p_ == 0) return Fail();
      if (!first && !Put(", ")) return false;
      const size_t begin = len_;
      function_ = false;
      if (!TemplateArg()) return false;
      if (record && argCount_ < kMaxTemplateArgs) args_[argCount_++] = {begin, len_, function_};
    }
    if (Last() == '>' && !Put(" ")) return false;
    return Put(">");
  }

  bool TemplateArg() noexcept {
    if (Take('L')) return Literal();
    if (Take('J')) {  // a pack
      for (bool first = true; !Take('E'); first = false) {
        if (*p_ == 0 || (!first && !Put(", ")) || !TemplateArg()) return Fail();
      }
      return true;
    }
    if (*p_ == 'X') return Fail();  // an expression
    return Type();
  }

  // L <type> <value> E, after the L
  bool Literal() noexcept {
    if (!*p_) return Fail();  // the name ends after the L
    const char type = *p_++;
    const bool negative = Take('n');
    const char* digits = p_;
    while (IsDigit(*p_)) ++p_;
    const size_t n = static_cast<size_t>(p_ - digits);
    if (n == 0) return Fail();
    if (!Take('E')) return Fail();
    if (type == 'b') return Put(*digits == '0' ? "false" : "true");
    const char* suffix = type == 'i' ? "" : type == 'j' ? "u" : type == 'l' ? "l" : type == 'm' ? "ul" : nullptr;
    if (!suffix) return Fail();
    return (!negative || Put("-")) && PutN(digits, n) && Put(suffix);
  }

  bool TemplateParam() noexcept {
    ++p_;  // T
    size_t n = 0;
    if (!SeqId(n) || n >= static_cast<size_t>(argCount_)) return Fail();
    function_ = args_[n].Function;
    return Copy(args_[n]);
  }

  bool Substitution() noexcept {
    ++p_;  // S
    const char* abbreviation = nullptr;
    switch (*p_) {
      case 'a': abbreviation = "std::allocator"; break;
      case 'b': abbreviation = "std::basic_string"; break;
      case 's': abbreviation = "std::string"; break;
      case 'i': abbreviation = "std::istream"; break;
      case 'o': abbreviation = "std::ostream"; break;
      case 'd': abbreviation = "std::iostream"; break;
      default: break;
    }
    if (abbreviation) {
      ++p_;
      return Put(abbreviation);
    }
    size_t n = 0;
    if (!SeqId(n) || n >= static_cast<size_t>(subCount_)) return Fail();
    if (subs_[n].Unwritten) return Fail();
    function_ = subs_[n].Function;
    return Copy(subs_[n]);
  }

  bool Type() noexcept {
    const TDepth d(depth_);
    if (TooDeep()) return false;
    const size_t begin = len_;
    const char c = *p_;
    if (const char* builtin = BuiltinType(c)) {
      ++p_;
      return Put(builtin);
    }
    switch (c) {
      case 'D': {
        const char* name = nullptr;
        switch (p_[1]) {
          case 's': name = "char16_t"; break;
          case 'i': name = "char32_t"; break;
          case 'u': name = "char8_t"; break;
          case 'n': name = "decltype(nullptr)"; break;
          case 'a': name = "auto"; break;
          case 'c': name = "decltype(auto)"; break;
          // A pack expansion: its reading depends on the pack, and reference
          // collapsing over it; not read.
          default: return Fail();
        }
        p_ += 2;
        return Put(name);
      }
      case 'F': {  // a function type, as in std::function<void (int)>
        ++p_;
        Take('Y');
        if (!Type() || !Put(" (")) return false;
        if (p_[0] == 'v' && p_[1] == 'E') {
          ++p_;
        } else {
          for (bool first = true; *p_ && *p_ != 'E' && !(IsRefQualifier(*p_) && p_[1] == 'E'); first = false)
            if ((!first && !Put(", ")) || !Type()) return false;
        }
        const char ref = IsRefQualifier(*p_) ? *p_++ : 0;
        if (!Take('E') || !Put(")")) return Fail();
        if (ref && !Put(ref == 'R' ? " &" : " &&")) return false;
        if (!AddSubstitution(begin)) return false;
        subs_[subCount_ - 1].Function = true;
        function_ = true;
        return true;
      }
      case 'K':
      case 'V':
      case 'r': {
        bool isConst = false, isVolatile = false, isRestrict = false;
        for (;; ++p_) {
          if (*p_ == 'K') isConst = true;
          else if (*p_ == 'V') isVolatile = true;
          else if (*p_ == 'r') isRestrict = true;
          else break;
        }
        function_ = false;
        if (!Type() || function_) return Fail();
        if (isConst && !Put(" const")) return false;
        if (isVolatile && !Put(" volatile")) return false;
        if (isRestrict && !Put(" restrict")) return false;
        return AddSubstitution(begin);
      }
      case 'P':
      case 'R':
      case 'O':
        ++p_;
        if (*p_ == 'F') return FunctionPointer(c, begin);
        if (*p_ == 'A' || *p_ == 'M') return Fail();  // to an array, a member
        function_ = false;
        if (!Type() || function_) return Fail();
        // References collapse: T& && and T&& & are T&, T&& && is T&&.
        if (c != 'P' && Last() == '&') {
          if (c == 'R' && len_ >= 2 && out_[len_ - 2] == '&') --len_;
          return AddSubstitution(begin);
        }
        return Put(c == 'P' ? "*" : c == 'R' ? "&" : "&&") && AddSubstitution(begin);
      case 'S':
        if (p_[1] == 't') {
          p_ += 2;
          TNameInfo info;
          if (!Put("std::") || !UnqualifiedName(info, begin)) return false;
          if (*p_ == 'I' && (!AddSubstitution(begin) || !TemplateArgs(false))) return false;
          return AddSubstitution(begin);
        }
        if (!Substitution()) return false;
        if (*p_ != 'I') return true;
        return TemplateArgs(false) && AddSubstitution(begin);
      case 'T':
        if (!TemplateParam() || !AddSubstitution(begin)) return false;
        subs_[subCount_ - 1].Function = function_;
        if (*p_ != 'I') return true;
        return TemplateArgs(false) && AddSubstitution(begin);
      case 'N':
      case 'Z': {
        TNameInfo info;
        return Name(info, false) && AddSubstitution(begin);
      }
      default:
        if (!IsDigit(c)) return Fail();
        {
          if (!SourceName() || !AbiTags()) return false;
          if (*p_ == 'I' && (!AddSubstitution(begin) || !TemplateArgs(false))) return false;
          return AddSubstitution(begin);
        }
    }
  }

  // P F <return type> <parameters> E: "void (*)(int)". The function type
  // alone is a substitution too, but its text is split around the "(*)".
  bool FunctionPointer(char kind, size_t begin) noexcept {
    ++p_;  // F
    Take('Y');
    if (!Type() || !Put(kind == 'P' ? " (*)(" : kind == 'R' ? " (&)(" : " (&&)(")) return false;
    if (p_[0] == 'v' && p_[1] == 'E') {
      ++p_;
    } else {
      for (bool first = true; *p_ && *p_ != 'E' && !(IsRefQualifier(*p_) && p_[1] == 'E'); first = false)
        if ((!first && !Put(", ")) || !Type()) return false;
    }
    if (IsRefQualifier(*p_)) return Fail();
    if (!Take('E') || !Put(")")) return Fail();
    if (subCount_ == kMaxSubstitutions) return Fail();
    subs_[subCount_++].Unwritten = true;
    if (!AddSubstitution(begin)) return false;
    // A qualifier or a pointer on it would go inside the "(*)": not read.
    subs_[subCount_ - 1].Function = true;
    function_ = true;
    return true;
  }

  // ".cold", ".constprop.0", ".isra.0": " [clone .cold]", as debuggers say.
  bool CloneSuffixes() noexcept {
    while (*p_ == '.') {
      const char* start = p_++;
      while ((*p_ >= 'a' && *p_ <= 'z') || (*p_ >= 'A' && *p_ <= 'Z') || *p_ == '_') ++p_;
      while (p_[0] == '.' && IsDigit(p_[1])) {
        ++p_;
        while (IsDigit(*p_)) ++p_;
      }
      if (p_ == start + 1) return false;
      if (!Put(" [clone ") || !PutN(start, static_cast<size_t>(p_ - start)) || !Put("]")) return false;
    }
    return true;
  }

  const char* p_;
  char* out_;
  size_t size_;
  // Text read but not shown, which substitutions may still name, kept at
  // the buffer's end.
  size_t hidden_ = 0;
  bool function_ = false;  // the type just read is a function type
  size_t len_ = 0;
  bool failed_ = false;
  int depth_ = 0;
  TRange subs_[kMaxSubstitutions];
  int subCount_ = 0;
  TRange args_[kMaxTemplateArgs];
  int argCount_ = 0;
};

}  // namespace

bool DemangleSignalSafe(const char* Mangled, char* Out, size_t Size) noexcept {
  if (!Mangled || !Out) return false;
  TDemangler d(Mangled, Out, Size);
  return d.Run();
}

void DemangleInPlace(char* Name, size_t Size) noexcept {
  char readable[512];
  if (!DemangleSignalSafe(Name, readable, Size < sizeof readable ? Size : sizeof readable)) return;
  std::memcpy(Name, readable, std::strlen(readable) + 1);
}
