#include "winapi/VersionBlock.h"

#include <algorithm>
#include <cstring>

#include "winapi/TextCase.h"

namespace qorb::winapi {
namespace {

constexpr size_t kNodeHeader = 6;
constexpr WORD kTextValue = 1;

constexpr size_t AlignUp4(size_t n) { return (n + 3) & ~size_t{3}; }

class Block {
 public:
  explicit Block(std::span<const uint8_t> b) : b_(b) {}

  uint16_t U16(size_t at) const {
    uint16_t v;
    std::memcpy(&v, b_.data() + at, 2);
    return v;
  }
  const uint8_t* At(size_t at) const { return b_.data() + at; }

  struct Node {
    size_t end = 0;         // one past the node
    size_t keyAt = 0;       // first unit of the key
    size_t keyUnits = 0;
    WORD valueLength = 0;
    WORD type = 0;
    size_t valueAt = 0;
    size_t valueBytes = 0;
    size_t childrenAt = 0;
  };

  // Reads the node at 'at', which must lie within [at, limit).
  bool ReadNode(size_t at, size_t limit, Node& n) const {
    if (at > limit || limit - at < kNodeHeader) return false;
    const size_t length = U16(at);
    if (length < kNodeHeader || length > limit - at) return false;
    n.end = at + length;
    n.valueLength = U16(at + 2);
    n.type = U16(at + 4);
    n.keyAt = at + kNodeHeader;
    size_t p = n.keyAt;
    for (;;) {
      if (n.end - p < 2) return false;
      if (U16(p) == 0) break;
      p += 2;
    }
    n.keyUnits = (p - n.keyAt) / 2;
    n.valueAt = AlignUp4(p + 2);
    n.valueBytes = n.type == kTextValue ? size_t{n.valueLength} * 2 : n.valueLength;
    if (n.valueBytes == 0) {
      n.valueAt = std::min(n.valueAt, n.end);
    } else if (n.valueAt > n.end || n.end - n.valueAt < n.valueBytes) {
      return false;
    }
    n.childrenAt = std::min(AlignUp4(n.valueAt + n.valueBytes), n.end);
    return true;
  }

  bool KeyIs(const Node& n, std::u16string_view want) const {
    if (n.keyUnits != want.size()) return false;
    for (size_t i = 0; i < want.size(); ++i) {
      if (FoldCase(static_cast<char16_t>(U16(n.keyAt + 2 * i))) != FoldCase(want[i])) return false;
    }
    return true;
  }

  std::u16string Key(const Node& n) const {
    std::u16string key;
    for (size_t i = 0; i < n.keyUnits; ++i) key += static_cast<char16_t>(U16(n.keyAt + 2 * i));
    return key;
  }

  bool FindChild(const Node& parent, std::u16string_view key, Node& child) const {
    size_t at = parent.childrenAt;
    while (at < parent.end) {
      if (!ReadNode(at, parent.end, child)) return false;
      if (KeyIs(child, key)) return true;
      at = AlignUp4(child.end);
    }
    return false;
  }

  // A text value must end in a zero within the node, so that readers who
  // go up to the terminator stay inside the block. Answers the units up to
  // and including that zero, or 0 when there is none.
  size_t TerminatedUnits(const Node& n) const {
    for (size_t p = n.valueAt; n.end - p >= 2; p += 2) {
      if (U16(p) == 0) return (p - n.valueAt) / 2 + 1;
    }
    return 0;
  }

 private:
  std::span<const uint8_t> b_;
};

constexpr char16_t kEmptyText[] = u"";

// Walks a path of keys separated by backslashes from NODE, one key at a
// time, telling Step each key found. False when a key is not there.
template <class TStep>
bool WalkPath(const Block& b, Block::Node& node, std::u16string_view path, TStep&& Step) {
  for (size_t pos = 0; pos < path.size();) {
    size_t sep = path.find(u'\\', pos);
    if (sep == std::u16string_view::npos) sep = path.size();
    const std::u16string_view key = path.substr(pos, sep - pos);
    pos = sep + 1;
    if (key.empty()) continue;
    Block::Node child;
    if (!b.FindChild(node, key, child)) return false;
    Step(key);
    node = child;
  }
  return true;
}

}  // namespace

size_t VersionBlockLength(std::span<const uint8_t> block) noexcept {
  if (block.size() < kNodeHeader) return 0;
  uint16_t length;
  std::memcpy(&length, block.data(), 2);
  return length >= kNodeHeader && length <= block.size() ? length : 0;
}

std::vector<std::u16string> VersionChildKeys(std::span<const uint8_t> block, std::u16string_view path) {
  const Block b(block);
  Block::Node node;
  if (!b.ReadNode(0, block.size(), node)) return {};
  if (!WalkPath(b, node, path, [](std::u16string_view) {})) return {};
  std::vector<std::u16string> keys;
  Block::Node child;
  for (size_t at = node.childrenAt; at < node.end && b.ReadNode(at, node.end, child); at = AlignUp4(child.end))
    keys.push_back(b.Key(child));
  return keys;
}

bool QueryVersionValue(std::span<const uint8_t> block, std::u16string_view path, const void*& value,
                       UINT& length) noexcept {
  value = nullptr;
  length = 0;
  const Block b(block);
  Block::Node node;
  if (!b.ReadNode(0, block.size(), node)) return false;

  bool atRoot = true;
  bool inStringTable = false;
  const bool found = WalkPath(b, node, path, [&](std::u16string_view key) {
    if (atRoot) inStringTable = SameTextW(key, u"StringFileInfo");
    atRoot = false;
  });
  if (!found) return false;

  if (atRoot) {
    if (node.valueBytes < sizeof(VS_FIXEDFILEINFO)) return false;
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, b.At(node.valueAt), sizeof info);
    if (info.dwSignature != VS_FFI_SIGNATURE) return false;
    value = b.At(node.valueAt);
    length = node.valueLength;
    return true;
  }
  // Values of a string table are read as text whatever type their node
  // claims: callers read them up to their zero.
  if (node.type == kTextValue || inStringTable) {
    const size_t units = node.type == kTextValue ? node.valueLength : node.valueLength / 2u;
    if (units == 0) {
      value = kEmptyText;
      return true;
    }
    const size_t terminated = b.TerminatedUnits(node);
    if (terminated == 0) return false;
    value = b.At(node.valueAt);
    length = static_cast<UINT>(std::min(units, terminated));
    return true;
  }
  value = b.At(node.valueAt);
  length = node.valueLength;
  return true;
}

}  // namespace qorb::winapi
