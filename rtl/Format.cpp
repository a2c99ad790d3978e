#include "rtl/Format.h"

#include <string>

#include "rtl/Exception.h"

namespace {

[[noreturn]] void Invalid(std::u16string_view fmt) {
  throw EConvertError(UnicodeString(u"Format '") + fmt + u"' invalid or incompatible with argument");
}

std::u16string Digits(uint64_t v, unsigned base, bool upper) {
  const char16_t* set = upper ? u"0123456789ABCDEF" : u"0123456789abcdef";
  std::u16string r;
  do {
    r.insert(r.begin(), set[v % base]);
    v /= base;
  } while (v);
  return r;
}

}  // namespace

UnicodeString Format(std::u16string_view fmt, std::initializer_list<TVarRec> args) {
  std::u16string out;
  auto next = args.begin();
  size_t i = 0;
  while (i < fmt.size()) {
    const char16_t c = fmt[i++];
    if (c != u'%') {
      out.push_back(c);
      continue;
    }
    if (i < fmt.size() && fmt[i] == u'%') {
      out.push_back(u'%');
      ++i;
      continue;
    }
    bool left = false;
    int width = -1, prec = -1;
    if (i < fmt.size() && fmt[i] == u'-') {
      left = true;
      ++i;
    }
    auto number = [&](int& into) {
      if (i >= fmt.size() || fmt[i] < u'0' || fmt[i] > u'9') return;
      into = 0;
      while (i < fmt.size() && fmt[i] >= u'0' && fmt[i] <= u'9') {
        into = into * 10 + (fmt[i++] - u'0');
        if (into > 100000) Invalid(fmt);
      }
    };
    number(width);
    if (i < fmt.size() && fmt[i] == u'.') {
      ++i;
      prec = 0;
      number(prec);
    }
    if (i >= fmt.size() || next == args.end()) Invalid(fmt);
    const char16_t type = fmt[i++];
    const TVarRec& arg = *next++;
    std::u16string piece;
    switch (type) {
      case u's':
      case u'S':
        if (arg.kind() != TVarRec::Kind::String) Invalid(fmt);
        piece = arg.Str();
        if (prec >= 0 && piece.size() > static_cast<size_t>(prec)) piece.resize(static_cast<size_t>(prec));
        break;
      case u'd':
      case u'D':
      case u'u':
      case u'U':
      case u'x':
      case u'X': {
        if (arg.kind() != TVarRec::Kind::Integer) Invalid(fmt);
        const bool hex = type == u'x' || type == u'X';
        const bool unsig = type == u'u' || type == u'U';
        int64_t v = arg.Int();
        bool neg = false;
        uint64_t mag;
        if (hex || unsig) {
          // A 32-bit value prints as its unsigned 32-bit pattern, as it would there.
          mag = (v < 0 && v >= INT32_MIN) ? static_cast<uint32_t>(v) : static_cast<uint64_t>(v);
        } else {
          neg = v < 0;
          mag = neg ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
        }
        piece = Digits(mag, hex ? 16 : 10, type == u'X');
        if (prec > 0 && piece.size() < static_cast<size_t>(prec))
          piece.insert(0, static_cast<size_t>(prec) - piece.size(), u'0');
        if (neg) piece.insert(piece.begin(), u'-');
        break;
      }
      default:
        Invalid(fmt);
    }
    if (width > 0 && piece.size() < static_cast<size_t>(width)) {
      const size_t pad = static_cast<size_t>(width) - piece.size();
      if (left)
        piece.append(pad, u' ');
      else
        piece.insert(0, pad, u' ');
    }
    out += piece;
  }
  return UnicodeString(out);
}
