// What both platforms must answer alike: the same fixtures, built as ELF
// with our stand-ins on Linux and as PE against the system on Windows (run
// under Wine). Where the two disagreed, the stand-in was put right.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "rtl/UnicodeString.h"
#include "VersionQueries.h"
#include "winapi/ModuleCallObserver.h"
#include "winapi/Windows.h"

namespace {

std::u16string W(const char* utf8) { return Utf8ToUtf16(utf8); }

// The error a call that should fail left, or 0 when it did not fail.
template <class F>
DWORD ErrorOf(F f) {
  SetLastError(0);
  return f() ? 0 : GetLastError();
}

TEST(PlatformAgreement, VersionTextsAsStoredFoundByKeysInAnyCase) {
  const std::vector<uint8_t> block = VersionBlockOf(W(QORB_FIXTURE_VERSIONED));
  ASSERT_FALSE(block.empty()) << GetLastError();
  UINT chars = 0;
  EXPECT_EQ(TextAt(block, u"\\StringFileInfo\\040904b0\\ProductName", &chars), u"  Padded Product \t");
  EXPECT_EQ(chars, 19u);
  EXPECT_EQ(TextAt(block, u"\\STRINGFILEINFO\\040904B0\\productname"), u"  Padded Product \t");
  EXPECT_EQ(TextAt(block, u"\\StringFileInfo\\040904b0\\Comments"), u"");
  EXPECT_EQ(TextAt(block, u"\\StringFileInfo\\040704e4\\LegalCopyright"), u"Nur auf Deutsch");
  for (const char16_t* missing :
       {u"\\StringFileInfo\\040904b0\\LegalCopyright", u"\\StringFileInfo\\04090000\\ProductName",
        u"\\StringFileInfo\\040904b0\\ProductNam", u"\\StringFileInfo\\040904b0\\ProductName\\More"})
    EXPECT_EQ(TextAt(block, missing), u"<none>") << Utf16ToUtf8(missing);

  // The translations, in the order stored: the first names the block a
  // reader takes.
  void* value = nullptr;
  UINT bytes = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), u"\\VarFileInfo\\Translation", &value, &bytes));
  ASSERT_EQ(bytes, 8u);
  WORD translations[4];
  std::memcpy(translations, value, sizeof translations);
  EXPECT_EQ(translations[0], 0x409);
  EXPECT_EQ(translations[1], 1200);
  EXPECT_EQ(translations[2], 0x407);
  EXPECT_EQ(translations[3], 1252);

  // The fixed part.
  ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", &value, &bytes));
  ASSERT_EQ(bytes, sizeof(VS_FIXEDFILEINFO));
  VS_FIXEDFILEINFO fixed;
  std::memcpy(&fixed, value, sizeof fixed);
  EXPECT_EQ(fixed.dwSignature, VS_FFI_SIGNATURE);
  EXPECT_EQ(fixed.dwFileVersionMS, 0x00020000u);
  EXPECT_EQ(fixed.dwFileVersionLS, 0x00010007u);
  EXPECT_EQ(fixed.dwProductVersionMS, 0x00030001u);
  EXPECT_EQ(fixed.dwProductVersionLS, 0u);
}

TEST(PlatformAgreement, ALibraryWithoutVersionHasNoBlock) {
  const std::u16string file = W(QORB_FIXTURE_NORES);
  DWORD handle = 1;
  SetLastError(0);
  EXPECT_EQ(GetFileVersionInfoSizeW(file.c_str(), &handle), 0u);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
  EXPECT_EQ(handle, 0u);
  char buffer[64];
  EXPECT_EQ(ErrorOf([&] { return GetFileVersionInfoW(file.c_str(), 0, sizeof buffer, buffer); }),
            ERROR_RESOURCE_DATA_NOT_FOUND);
}

TEST(PlatformAgreement, FilesThatAreNoLibraryAreRefusedByTheProbeAndTheLoad) {
  const struct {
    const char* path;
    DWORD error;
  } cases[] = {
      {QORB_FIXTURE_TEXT, ERROR_BAD_EXE_FORMAT},
      {QORB_FIXTURE_EMPTY, ERROR_BAD_EXE_FORMAT},
      {QORB_FIXTURE_TRUNCATED, ERROR_BAD_EXE_FORMAT},
      {QORB_FIXTURE_OTHER_MACHINE, ERROR_BAD_EXE_FORMAT},
  };
  for (const auto& c : cases) {
    const std::u16string file = W(c.path);
    EXPECT_EQ(ErrorOf([&] { return LoadLibraryExW(file.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES); }), c.error)
        << c.path;
    EXPECT_EQ(ErrorOf([&] { return LoadLibraryW(file.c_str()); }), c.error) << c.path;
  }
  const std::u16string missing = W(QORB_FIXTURE_NORES) + u".missing";
  EXPECT_EQ(ErrorOf([&] { return LoadLibraryW(missing.c_str()); }), ERROR_MOD_NOT_FOUND);
}

TEST(PlatformAgreement, AProbedLibraryNamesItsExportsOnlyAndGoesWithItsFree) {
  const std::u16string file = W(QORB_FIXTURE_NORES);
  const HMODULE probe = LoadLibraryExW(file.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(probe, 0u) << GetLastError();
  EXPECT_NE(GetProcAddress(probe, "FixturePlain"), nullptr);
  EXPECT_EQ(ErrorOf([&] { return GetProcAddress(probe, "InitPlugin"); }), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(ErrorOf([&] { return GetProcAddress(probe, "fixtureplain"); }), ERROR_PROC_NOT_FOUND);
  char16_t name[1024];
  const DWORD length = GetModuleFileNameW(probe, name, 1024);
  ASSERT_GT(length, 0u);
  const std::string path = Utf16ToUtf8(std::u16string_view(name, length));
  EXPECT_TRUE(path.ends_with("nores.so") || path.ends_with("nores.dll")) << path;
  // Too small a buffer: cut to its size less one, ended, and said so.
  SetLastError(0);
  EXPECT_EQ(GetModuleFileNameW(probe, name, 5), 5u);
  EXPECT_EQ(std::u16string(name), std::u16string(name, 4));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_TRUE(FreeLibrary(probe));
  EXPECT_FALSE(qorb::winapi::IsModuleMappedAt(probe));
}

// A resource's bytes, or "error N" with the error the search left.
std::string ResourceOf(HMODULE module, LPCWSTR name, LPCWSTR type = RT_RCDATA) {
  SetLastError(0);
  const HRSRC found = FindResourceW(module, name, type);
  if (!found) return "error " + std::to_string(GetLastError());
  const HGLOBAL data = LoadResource(module, found);
  const auto* bytes = static_cast<const char*>(LockResource(data));
  return bytes ? std::string(bytes, SizeofResource(module, found)) : "no data";
}

std::string Utf16Bytes(std::u16string_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
}

TEST(PlatformAgreement, ResourcesFoundByNameInAnyCaseOrByOrdinalAndWhatIsMissingIsNamed) {
  const std::u16string file = W(QORB_FIXTURE_RESOURCED), bare = W(QORB_FIXTURE_NORES);
  const HMODULE lib = LoadLibraryW(file.c_str()), none = LoadLibraryW(bare.c_str());
  ASSERT_TRUE(lib && none) << GetLastError();
  for (const char16_t* name : {u"QorbGreeting", u"QORBGREETING", u"qorbgreeting"})
    EXPECT_EQ(ResourceOf(lib, name), Utf16Bytes(std::u16string_view(u"Hello from a fixture\0", 21)));
  EXPECT_EQ(ResourceOf(lib, MAKEINTRESOURCEW(42)), "forty-two");
  EXPECT_EQ(ResourceOf(lib, u"#42"), "forty-two");
  EXPECT_EQ(ResourceOf(lib, u"Payload", u"#10"), "payload read from a file\n");
  EXPECT_EQ(ResourceOf(lib, u"QorbGreetings"), "error " + std::to_string(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(ResourceOf(lib, MAKEINTRESOURCEW(43)), "error " + std::to_string(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(ResourceOf(lib, MAKEINTRESOURCEW(1), RT_VERSION), "error " + std::to_string(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_EQ(ResourceOf(none, u"QorbGreeting"), "error " + std::to_string(ERROR_RESOURCE_DATA_NOT_FOUND));
  EXPECT_TRUE(FreeLibrary(lib));
  EXPECT_TRUE(FreeLibrary(none));
}

// The loader keeps one module per file: a probe and a load of the same file
// are the same module with one count, whichever came first, and the file
// goes with the last of their frees. A load after a probe runs none of the
// library's code: the module stays as the probe mapped it.
TEST(PlatformAgreement, AProbeAndALoadOfOneFileAreOneModule) {
  const std::u16string file = W(QORB_FIXTURE_NORES);
  for (const bool probeFirst : {true, false}) {
    HMODULE first, second;
    if (probeFirst) {
      first = LoadLibraryExW(file.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
      second = LoadLibraryW(file.c_str());
    } else {
      first = LoadLibraryW(file.c_str());
      second = LoadLibraryExW(file.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    }
    ASSERT_NE(first, 0u) << probeFirst;
    EXPECT_EQ(second, first) << probeFirst;
    EXPECT_NE(GetProcAddress(second, "FixturePlain"), nullptr);
    char16_t name[1024];
    EXPECT_TRUE(FreeLibrary(second));
    EXPECT_GT(GetModuleFileNameW(first, name, 1024), 0u) << probeFirst;
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(GetModuleFileNameW(first, name, 1024), 0u) << probeFirst;
  }
}

// Records what reaches a hidden window; a message 99 posts message 100.
struct TReceiver {
  HWND Wnd = nullptr;
  std::vector<std::pair<UINT, WPARAM>> Seen;
  void Handle(TMessage& m) {
    Seen.emplace_back(m.Msg, m.WParam);
    if (m.Msg == WM_USER && m.WParam == 99) PostMessageW(Wnd, WM_USER, 100, 0);
  }
};

TEST(PlatformAgreement, PostedMessagesArriveInEachPostersOrderAndOnlyForLiveWindows) {
  EXPECT_FALSE(WaitForMessage(0));  // no window: nothing can ever come
  TReceiver receiver;
  receiver.Wnd = AllocateHWnd(BindMethod<&TReceiver::Handle>(&receiver));
  ASSERT_NE(receiver.Wnd, nullptr);
  EXPECT_TRUE(IsWindow(receiver.Wnd));
  EXPECT_FALSE(WaitForMessage(10));

  constexpr WPARAM kEach = 200;
  std::vector<std::thread> posters;
  for (UINT t = 0; t < 2; ++t)
    posters.emplace_back([&, t] {
      for (WPARAM i = 0; i < kEach; ++i) EXPECT_TRUE(PostMessageW(receiver.Wnd, WM_USER + 1 + t, i, 0));
    });
  for (std::thread& p : posters) p.join();
  EXPECT_TRUE(PostMessageW(receiver.Wnd, WM_USER, 99, 0));
  EXPECT_TRUE(WaitForMessage(1000));
  EXPECT_EQ(PendingMessageCount(), int(2 * kEach + 1));

  // What was waiting goes now; what a handler posts waits for the next call.
  EXPECT_EQ(ProcessMessages(), int(2 * kEach + 1));
  WPARAM next[2] = {0, 0};
  for (const auto& [msg, w] : receiver.Seen) {
    if (msg == WM_USER) continue;
    EXPECT_EQ(w, next[msg - WM_USER - 1]++);
  }
  EXPECT_EQ(next[0], kEach);
  EXPECT_EQ(next[1], kEach);
  EXPECT_EQ(receiver.Seen.back(), (std::pair<UINT, WPARAM>{WM_USER, 99}));
  EXPECT_EQ(PendingMessageCount(), 1);
  EXPECT_EQ(ProcessMessages(), 1);
  EXPECT_EQ(receiver.Seen.back(), (std::pair<UINT, WPARAM>{WM_USER, 100}));

  // Gone with its window: what waited for it, and every later post.
  EXPECT_TRUE(PostMessageW(receiver.Wnd, WM_USER, 1, 0));
  const int live = LiveWindowCount();
  DeallocateHWnd(receiver.Wnd);
  EXPECT_EQ(LiveWindowCount(), live - 1);
  EXPECT_FALSE(IsWindow(receiver.Wnd));
  EXPECT_EQ(ProcessMessages(), 0);
  EXPECT_EQ(ErrorOf([&] { return PostMessageW(receiver.Wnd, WM_USER, 2, 0); }), ERROR_INVALID_WINDOW_HANDLE);
}

TEST(PlatformAgreement, BitmapsAreTopDownRowsOfZeroPixelsOnWholeWords) {
  const size_t before = GdiLiveObjectCount();
  for (const WORD bits : {WORD{24}, WORD{32}}) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 3;
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bits;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    ASSERT_NE(bitmap, nullptr) << bits;
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(GdiLiveObjectCount(), before + 1);
    BITMAP bm{};
    EXPECT_EQ(GetObjectW(bitmap, 0, nullptr), int(sizeof(BITMAP)));
    ASSERT_EQ(GetObjectW(bitmap, sizeof bm, &bm), int(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2);
    EXPECT_EQ(bm.bmWidthBytes, 12);
    EXPECT_EQ(bm.bmBitsPixel, bits);
    EXPECT_EQ(bm.bmBits, pixels);
    const auto* p = static_cast<const uint8_t*>(pixels);
    EXPECT_EQ(std::count(p, p + 24, 0), 24);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(GdiLiveObjectCount(), before);
  }
}

}  // namespace
