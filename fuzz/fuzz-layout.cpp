// The layout parser on arbitrary text: it refuses with a read error, or
// gives a tree within its bounds whose lines lie in the text and which,
// written out again, parses to the same tree.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vcl/LayoutParser.h"

namespace {

// Writes a tree back in object-text form, one element a line, and checks
// it on the way.
class TWriter {
 public:
  explicit TWriter(int ALines) : FLines(ALines) {}

  std::string Write(const TLayoutObject& ARoot) {
    Object(ARoot, 0);
    return std::move(FText);
  }

 private:
  void Check(int ALine) {
    if (ALine < 1 || ALine > FLines) std::abort();
    if (++FElements > kLayoutMaxElements) std::abort();
  }

  void Object(const TLayoutObject& AObject, int ADepth) {
    Check(AObject.Line);
    if (ADepth > kLayoutMaxDepth || AObject.ClassName.empty()) std::abort();
    FText += "object ";
    if (!AObject.Name.empty()) FText += AObject.Name + ": ";
    FText += AObject.ClassName + "\n";
    size_t next = 0;
    for (const TLayoutObject& child : AObject.Children) {
      if (child.PropertiesBefore < next || child.PropertiesBefore > AObject.Properties.size()) std::abort();
      for (; next < child.PropertiesBefore; ++next) Property(AObject.Properties[next]);
      Object(child, ADepth + 1);
    }
    for (; next < AObject.Properties.size(); ++next) Property(AObject.Properties[next]);
    FText += "end\n";
  }

  void Property(const TLayoutProperty& AProperty) {
    Check(AProperty.Line);
    FText += AProperty.Path + " = ";
    Value(AProperty.Value, 0);
  }

  void Value(const TLayoutValue& AValue, int ANesting) {
    Check(AValue.Line);
    if (ANesting > kLayoutMaxDepth) std::abort();
    switch (AValue.Kind) {
      case TLayoutValue::TKind::Integer:
        FText += std::to_string(AValue.Number);
        break;
      case TLayoutValue::TKind::String:
        if (AValue.Str.empty()) FText += "''";
        for (const char16_t c : AValue.Str) FText += "#" + std::to_string(static_cast<unsigned>(c));
        break;
      case TLayoutValue::TKind::Ident:
        FText += AValue.Ident;
        break;
      case TLayoutValue::TKind::Set:
        FText += "[";
        for (size_t i = 0; i < AValue.SetItems.size(); ++i) {
          Check(AValue.Line);
          FText += (i ? ", " : "") + AValue.SetItems[i];
        }
        FText += "]";
        break;
      case TLayoutValue::TKind::List:
        FText += "(\n";
        for (const TLayoutValue& item : AValue.ListItems) Value(item, ANesting + 1);
        FText += ")";
        break;
      case TLayoutValue::TKind::Collection:
        FText += "<\n";
        for (const TLayoutItem& item : AValue.Items) {
          Check(item.Line);
          FText += "item\n";
          for (const TLayoutProperty& p : item.Properties) Property(p);
          FText += "end\n";
        }
        FText += ">";
        break;
    }
    FText += "\n";
  }

  std::string FText;
  int FLines;
  size_t FElements = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TLayoutObject root;
  try {
    root = ParseLayout(text);
  } catch (const EReadError&) {
    return 0;
  }
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  const std::string written = TWriter(lines).Write(root);
  // Character codes make strings longer; past the bound is no round trip.
  if (written.size() > kLayoutMaxBytes) return 0;
  const std::string again = TWriter(static_cast<int>(std::count(written.begin(), written.end(), '\n')) + 1)
                                .Write(ParseLayout(written));
  if (again != written) std::abort();
  return 0;
}
