// Version blocks built by hand: shapes a resource compiler does not write,
// and lengths that lie.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "winapi/Version.h"
#include "winapi/VersionBlock.h"

namespace {

struct Node {
  std::u16string key;
  WORD type = 1;  // text
  std::vector<uint8_t> value;
  WORD valueLength = 0;
  std::vector<Node> children;
};

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t v) { std::memcpy(out.data() + at, &v, 2); }
void Pad4(std::vector<uint8_t>& out) {
  while (out.size() % 4) out.push_back(0);
}

// Appends a node at a DWORD-aligned position; its wLength leaves out the
// padding after it, as resource compilers write it.
void Encode(const Node& n, std::vector<uint8_t>& out) {
  const size_t start = out.size();
  out.resize(start + 6);
  for (char16_t c : n.key) out.insert(out.end(), {uint8_t(c & 0xFF), uint8_t(c >> 8)});
  out.insert(out.end(), {0, 0});
  Pad4(out);
  out.insert(out.end(), n.value.begin(), n.value.end());
  for (const Node& child : n.children) {
    Pad4(out);
    Encode(child, out);
  }
  Put16(out, start, static_cast<uint16_t>(out.size() - start));
  Put16(out, start + 2, n.valueLength);
  Put16(out, start + 4, n.type);
}

Node Text(std::u16string key, std::u16string value) {
  Node n{std::move(key), 1, {}, static_cast<WORD>(value.size() + 1), {}};
  for (char16_t c : value + u'\0') n.value.insert(n.value.end(), {uint8_t(c & 0xFF), uint8_t(c >> 8)});
  return n;
}

Node Fixed() {
  VS_FIXEDFILEINFO info{};
  info.dwSignature = VS_FFI_SIGNATURE;
  info.dwFileVersionMS = 0x00010002;
  info.dwFileVersionLS = 0x00030004;
  Node n{u"VS_VERSION_INFO", 0, std::vector<uint8_t>(sizeof info), sizeof info, {}};
  std::memcpy(n.value.data(), &info, sizeof info);
  return n;
}

Node Strings(Node root, std::u16string table, std::vector<Node> values) {
  root.children.push_back(Node{u"StringFileInfo", 1, {}, 0, {Node{std::move(table), 1, {}, 0, std::move(values)}}});
  return root;
}

std::vector<uint8_t> Bytes(const Node& root) {
  std::vector<uint8_t> out;
  Encode(root, out);
  return out;
}

bool Find(const std::vector<uint8_t>& block, std::u16string_view path, std::u16string* text = nullptr) {
  const void* value = nullptr;
  UINT length = 0;
  if (!qorb::winapi::QueryVersionValue(block, path, value, length)) return false;
  if (text) *text = static_cast<const char16_t*>(value);
  return true;
}

}  // namespace

TEST(VersionBlock, ABlockWithoutFixedInfoStillHasItsStrings) {
  Node root = Fixed();
  root.value.clear();
  root.valueLength = 0;
  const auto block = Bytes(Strings(root, u"040904B0", {Text(u"FileVersion", u"1.0 beta")}));
  EXPECT_FALSE(Find(block, u"\\"));
  std::u16string text;
  EXPECT_TRUE(Find(block, u"\\StringFileInfo\\040904b0\\FileVersion", &text));
  EXPECT_EQ(text, u"1.0 beta");
  // Doubled and trailing separators change nothing.
  EXPECT_TRUE(Find(block, u"\\\\StringFileInfo\\040904b0\\\\FileVersion\\"));

  // Through the Windows call, which goes by the root's own length.
  void* value = nullptr;
  UINT length = 0;
  EXPECT_FALSE(VerQueryValueW(block.data(), u"\\", &value, &length));
  EXPECT_TRUE(VerQueryValueW(block.data(), u"\\StringFileInfo\\040904B0\\FileVersion", &value, &length));
  EXPECT_EQ(length, 9u);
}

TEST(VersionBlock, FixedInfoMustBeWhole) {
  Node root = Fixed();
  EXPECT_TRUE(Find(Bytes(root), u"\\"));
  root.value[0] ^= 1;  // signature
  EXPECT_FALSE(Find(Bytes(root), u"\\"));
  root = Fixed();
  root.value.resize(40);
  root.valueLength = 40;
  EXPECT_FALSE(Find(Bytes(root), u"\\"));
}

TEST(VersionBlock, LengthsPointingOutsideAreNotFollowed) {
  const Node good = Strings(Fixed(), u"040904B0", {Text(u"A", u"first"), Text(u"B", u"second")});
  const auto block = Bytes(good);
  ASSERT_TRUE(Find(block, u"\\StringFileInfo\\040904b0\\B"));

  // Locate the value node "B" by its key to damage it precisely.
  size_t at = 0;
  for (size_t i = 0; i + 8 <= block.size(); i += 4) {
    if (block[i + 6] == 'B' && block[i + 7] == 0 && block[i + 8] == 0) at = i;
  }
  ASSERT_NE(at, 0u);

  auto damaged = [&](size_t offset, uint16_t v) {
    auto b = block;
    Put16(b, offset, v);
    return b;
  };
  // Value length beyond the node.
  EXPECT_FALSE(Find(damaged(at + 2, 200), u"\\StringFileInfo\\040904b0\\B"));
  // Node longer than its parent.
  EXPECT_FALSE(Find(damaged(at, 400), u"\\StringFileInfo\\040904b0\\B"));
  // A node of length 0 ends the search instead of looping.
  EXPECT_FALSE(Find(damaged(at, 0), u"\\StringFileInfo\\040904b0\\B"));
  // Root longer than the bytes.
  EXPECT_FALSE(Find(damaged(0, static_cast<uint16_t>(block.size() + 4)), u"\\"));
  EXPECT_EQ(qorb::winapi::VersionBlockLength(damaged(0, static_cast<uint16_t>(block.size() + 4))), 0u);

  // A text value without its zero inside the node is not handed out.
  Node open = Strings(Fixed(), u"040904B0", {Node{u"C", 1, {'x', 0, 'y', 0}, 2, {}}});
  EXPECT_FALSE(Find(Bytes(open), u"\\StringFileInfo\\040904b0\\C"));
}

TEST(VersionBlock, EveryCutOfABlockIsReadSafely) {
  const Node good = Strings(Fixed(), u"040904B0", {Text(u"ProductName", u"Qorb"), Text(u"Comments", u"")});
  const auto whole = Bytes(good);
  for (size_t n = 0; n <= whole.size(); ++n) {
    // Each cut on the heap at its exact size, the root claiming the cut size
    // or its original one.
    for (bool keepRoot : {false, true}) {
      std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(n));
      if (!keepRoot && n >= 2) Put16(cut, 0, static_cast<uint16_t>(n));
      for (const char16_t* path :
           {u"\\", u"\\StringFileInfo\\040904b0\\ProductName", u"\\StringFileInfo\\040904b0\\Comments"}) {
        std::u16string text;
        if (Find(cut, path, path[1] ? &text : nullptr) && n < whole.size()) {
          EXPECT_FALSE(keepRoot) << n;
        }
      }
    }
  }
}
