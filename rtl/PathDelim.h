#pragma once
// The platform's folder separator in paths, as the runtime gives it, and
// every character that ends a folder in a path it accepts.
#if defined(_WIN32)
inline constexpr char16_t PathDelim = u'\\';
inline constexpr char16_t PathDelimText[] = u"\\";
inline constexpr char16_t PathDelims[] = u"\\/";
inline constexpr char PathDelimsUtf8[] = "\\/";
#else
inline constexpr char16_t PathDelim = u'/';
inline constexpr char16_t PathDelimText[] = u"/";
inline constexpr char16_t PathDelims[] = u"/";
inline constexpr char PathDelimsUtf8[] = "/";
#endif
