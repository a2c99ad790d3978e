#pragma once
// The runtime's reference-counted UTF-16 string: one pointer, null for the
// empty string, pointing at zero-terminated UTF-16 code units with a StrRec
// header in front. Blocks come from the shared heap so every module can
// free them.
// A reference count of -1 marks a constant that is never freed; copying a
// constant makes a heap copy, so a copy never points into a module that may
// be unloaded.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct StrRec {
  int32_t _Padding;
  uint16_t codePage;
  uint16_t elemSize;
  int32_t refCnt;
  int32_t length;
};
static_assert(sizeof(StrRec) == 16);

namespace ustr {
inline StrRec* Header(const char16_t* data) {
  return reinterpret_cast<StrRec*>(const_cast<char16_t*>(data)) - 1;
}
// A new block with refCnt 1 holding n units (not initialised but the zero).
char16_t* Allocate(size_t n);
void AddRef(const char16_t* data) noexcept;
void Release(const char16_t* data) noexcept;
}  // namespace ustr

class UnicodeStringRef;

class UnicodeString {
 public:
  UnicodeString() noexcept = default;
  UnicodeString(std::nullptr_t) noexcept {}
  UnicodeString(const char16_t* z);
  UnicodeString(const char16_t* p, size_t n);
  UnicodeString(std::u16string_view v) : UnicodeString(v.data(), v.size()) {}
  UnicodeString(const std::u16string& s) : UnicodeString(s.data(), s.size()) {}
  UnicodeString(UnicodeStringRef r);
  UnicodeString(const UnicodeString& o);
  UnicodeString(UnicodeString&& o) noexcept : data_(o.data_) { o.data_ = nullptr; }
  ~UnicodeString() { ustr::Release(data_); }

  UnicodeString& operator=(const UnicodeString& o);
  UnicodeString& operator=(UnicodeString&& o) noexcept;

  static UnicodeString FromUtf8(std::string_view utf8);
  // Takes over a reference the caller owns (a raw contract string).
  static UnicodeString Attach(char16_t* raw) noexcept {
    UnicodeString s;
    s.data_ = raw;
    return s;
  }
  // The raw string pointer, null when empty: what crosses a contract.
  char16_t* Raw() const noexcept { return data_; }
  // Releases the string and hands out its pointer for a callee to fill.
  char16_t** put() noexcept {
    Clear();
    return &data_;
  }
  char16_t* Detach() noexcept {
    char16_t* d = data_;
    data_ = nullptr;
    return d;
  }

  int Length() const noexcept { return data_ ? ustr::Header(data_)->length : 0; }
  bool IsEmpty() const noexcept { return data_ == nullptr; }
  void Clear() noexcept;
  // Never null: the empty string answers a lone zero.
  const char16_t* c_str() const noexcept { return data_ ? data_ : u""; }
  std::u16string_view view() const noexcept {
    return data_ ? std::u16string_view(data_, static_cast<size_t>(Length())) : std::u16string_view();
  }
  operator std::u16string_view() const noexcept { return view(); }
  std::string ToUtf8() const;
  char16_t operator[](size_t i) const noexcept { return data_[i]; }

  UnicodeString& operator+=(std::u16string_view v);
  // Hidden friend: found only when one side is a UnicodeString.
  friend UnicodeString operator+(std::u16string_view a, std::u16string_view b) {
    UnicodeString r(a);
    r += b;
    return r;
  }
  friend bool operator==(const UnicodeString& a, const UnicodeString& b) noexcept {
    return a.view() == b.view();
  }
  friend bool operator==(const UnicodeString& a, std::u16string_view b) noexcept { return a.view() == b; }
  friend bool operator==(const UnicodeString& a, const char16_t* b) noexcept {
    return a.view() == std::u16string_view(b);
  }

 private:
  char16_t* data_ = nullptr;
};
static_assert(sizeof(UnicodeString) == sizeof(void*));

// A string passed as a constant parameter across a contract: the one string
// pointer by value, trivially copyable. The callee neither takes nor
// releases a reference.
class UnicodeStringRef {
 public:
  UnicodeStringRef() noexcept = default;
  UnicodeStringRef(const UnicodeString& s) noexcept : data_(s.Raw()) {}
  static UnicodeStringRef FromRaw(const char16_t* raw) noexcept {
    UnicodeStringRef r;
    r.data_ = raw;
    return r;
  }
  const char16_t* Raw() const noexcept { return data_; }
  int Length() const noexcept { return data_ ? ustr::Header(data_)->length : 0; }
  bool IsEmpty() const noexcept { return data_ == nullptr; }
  const char16_t* c_str() const noexcept { return data_ ? data_ : u""; }
  std::u16string_view view() const noexcept {
    return data_ ? std::u16string_view(data_, static_cast<size_t>(Length())) : std::u16string_view();
  }
  operator std::u16string_view() const noexcept { return view(); }
  std::string ToUtf8() const;

 private:
  const char16_t* data_ = nullptr;
};
static_assert(sizeof(UnicodeStringRef) == sizeof(void*));
static_assert(std::is_trivially_copyable_v<UnicodeStringRef>);

// UTF conversion at the edges (file names, terminal, fonts). Invalid input
// becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);

// Case-insensitive comparison of ASCII letters, as names and keys are matched.
bool SameText(std::u16string_view a, std::u16string_view b) noexcept;
UnicodeString UpperCase(std::u16string_view s);
// Removes leading and trailing characters with codes up to 32.
UnicodeString Trim(std::u16string_view s);
