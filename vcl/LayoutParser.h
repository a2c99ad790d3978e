#pragma once
// The object-text form of a designed layout (see vcl/LayoutReader.h) as a
// tree of what is written: objects with their names, class names and
// properties, values as they stand. Nothing here knows a component class;
// whether a class, a property or a value exists is for whoever applies it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/ReadError.h"

// Far beyond any designed form; they keep hostile text from exhausting the
// stack (depth of objects, collections and lists) and memory (bytes, and
// objects, properties, values and items together).
inline constexpr int kLayoutMaxDepth = 32;
inline constexpr size_t kLayoutMaxBytes = size_t{1} << 20;
inline constexpr size_t kLayoutMaxElements = size_t{1} << 16;

struct TLayoutProperty;

// "item Prop = Value ... end" inside a collection's < >.
struct TLayoutItem {
  int Line = 1;
  std::vector<TLayoutProperty> Properties;
};

struct TLayoutValue {
  enum class TKind { Integer, String, Ident, Set, List, Collection };
  TKind Kind = TKind::Integer;
  int Line = 1;
  int64_t Number = 0;
  // Quoted runs and character codes decoded, parts joined with + as one.
  std::u16string Str;
  std::string Ident;
  std::vector<std::string> SetItems;
  std::vector<TLayoutValue> ListItems;
  std::vector<TLayoutItem> Items;
};

struct TLayoutProperty {
  // Dotted as written: "Font.Style".
  std::string Path;
  int Line = 1;
  TLayoutValue Value;
};

struct TLayoutObject {
  // Empty for "object TLabel".
  std::string Name;
  std::string ClassName;
  int Line = 1;
  std::vector<TLayoutProperty> Properties;
  std::vector<TLayoutObject> Children;
  // How many of the parent's properties were written before this object:
  // applying them in the written order needs it.
  size_t PropertiesBefore = 0;
};

// The outer object of AText (UTF-8). Text that is not a layout, or goes
// beyond a bound, raises EReadError with the line.
TLayoutObject ParseLayout(std::string_view AText);

// Raises EReadError as every layout error reads: "AMessage (line ALine)".
[[noreturn]] void RaiseLayoutError(int ALine, std::u16string_view AMessage);
