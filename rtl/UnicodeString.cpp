#include "rtl/UnicodeString.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "rtl/SharedHeap.h"

namespace ustr {

char16_t* Allocate(size_t n) {
  if (n > static_cast<size_t>(std::numeric_limits<int32_t>::max()) / 2 - 16) throw std::bad_alloc();
  auto* rec = static_cast<StrRec*>(SharedHeapAlloc(sizeof(StrRec) + (n + 1) * sizeof(char16_t)));
  if (!rec) throw std::bad_alloc();
  rec->_Padding = 0;
  rec->codePage = 1200;
  rec->elemSize = 2;
  rec->refCnt = 1;
  rec->length = static_cast<int32_t>(n);
  auto* data = reinterpret_cast<char16_t*>(rec + 1);
  data[n] = 0;
  return data;
}

void AddRef(const char16_t* data) noexcept {
  if (!data) return;
  StrRec* h = Header(data);
  if (std::atomic_ref<int32_t>(h->refCnt).load(std::memory_order_relaxed) < 0) return;
  std::atomic_ref<int32_t>(h->refCnt).fetch_add(1, std::memory_order_relaxed);
}

void Release(const char16_t* data) noexcept {
  if (!data) return;
  StrRec* h = Header(data);
  std::atomic_ref<int32_t> cnt(h->refCnt);
  if (cnt.load(std::memory_order_relaxed) < 0) return;
  if (cnt.fetch_sub(1, std::memory_order_acq_rel) == 1) SharedHeapFree(h);
}

}  // namespace ustr

namespace {
char16_t* Copy(const char16_t* p, size_t n) {
  if (n == 0) return nullptr;
  char16_t* d = ustr::Allocate(n);
  std::memcpy(d, p, n * sizeof(char16_t));
  return d;
}
// Shares a heap string; copies a constant.
char16_t* Share(const char16_t* raw) {
  if (!raw) return nullptr;
  if (std::atomic_ref<int32_t>(ustr::Header(raw)->refCnt).load(std::memory_order_relaxed) < 0)
    return Copy(raw, static_cast<size_t>(ustr::Header(raw)->length));
  ustr::AddRef(raw);
  return const_cast<char16_t*>(raw);
}
}  // namespace

UnicodeString::UnicodeString(const char16_t* z)
    : data_(z ? Copy(z, std::char_traits<char16_t>::length(z)) : nullptr) {}
UnicodeString::UnicodeString(const char16_t* p, size_t n) : data_(Copy(p, n)) {}
UnicodeString::UnicodeString(UnicodeStringRef r) : data_(Share(r.Raw())) {}
UnicodeString::UnicodeString(const UnicodeString& o) : data_(Share(o.data_)) {}

UnicodeString& UnicodeString::operator=(const UnicodeString& o) {
  if (this != &o) {
    char16_t* n = Share(o.data_);
    ustr::Release(data_);
    data_ = n;
  }
  return *this;
}

UnicodeString& UnicodeString::operator=(UnicodeString&& o) noexcept {
  if (this != &o) {
    ustr::Release(data_);
    data_ = o.data_;
    o.data_ = nullptr;
  }
  return *this;
}

void UnicodeString::Clear() noexcept {
  ustr::Release(data_);
  data_ = nullptr;
}

UnicodeString UnicodeString::FromUtf8(std::string_view utf8) { return UnicodeString(Utf8ToUtf16(utf8)); }

std::string UnicodeString::ToUtf8() const { return Utf16ToUtf8(view()); }
std::string UnicodeStringRef::ToUtf8() const { return Utf16ToUtf8(view()); }

UnicodeString& UnicodeString::operator+=(std::u16string_view v) {
  if (v.empty()) return *this;
  const size_t old = static_cast<size_t>(Length());
  char16_t* d = ustr::Allocate(old + v.size());
  if (old) std::memcpy(d, data_, old * sizeof(char16_t));
  std::memcpy(d + old, v.data(), v.size() * sizeof(char16_t));
  ustr::Release(data_);
  data_ = d;
  return *this;
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    uint32_t cp = 0xFFFD;
    size_t len = 1;
    if (c < 0x80) {
      cp = c;
    } else if ((c >> 5) == 0x6) {
      len = 2;
    } else if ((c >> 4) == 0xE) {
      len = 3;
    } else if ((c >> 3) == 0x1E) {
      len = 4;
    }
    if (len > 1) {
      if (i + len > s.size()) {
        len = 1;
      } else {
        uint32_t v = c & (0x7F >> len);
        bool ok = true;
        for (size_t k = 1; k < len; ++k) {
          const auto cc = static_cast<unsigned char>(s[i + k]);
          if ((cc & 0xC0) != 0x80) ok = false;
          v = (v << 6) | (cc & 0x3F);
        }
        static constexpr uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (ok && v >= kMin[len] && v <= 0x10FFFF && (v < 0xD800 || v > 0xDFFF))
          cp = v;
        else
          len = 1;
      }
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  // Paths and names are mostly ASCII: that run is copied without the
  // per-character appends.
  size_t ascii = 0;
  while (ascii < s.size() && s[ascii] < 0x80) ++ascii;
  out.resize(ascii);
  for (size_t i = 0; i < ascii; ++i) out[i] = static_cast<char>(s[i]);
  for (size_t i = ascii; i < s.size(); ++i) {
    uint32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

namespace {
char16_t Upper(char16_t c) noexcept { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }
}  // namespace

bool SameText(std::u16string_view a, std::u16string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

UnicodeString UpperCase(std::u16string_view s) {
  std::u16string r(s);
  for (auto& c : r) c = Upper(c);
  return UnicodeString(r);
}

UnicodeString Trim(std::u16string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] <= 32) ++b;
  while (e > b && s[e - 1] <= 32) --e;
  return UnicodeString(s.substr(b, e - b));
}
