// What loading a library costs beside the loader's own work, counted:
// the system calls of a probe, of the load after it, of the questions the
// host asks a loaded library and of its unload (qorb-ide's check for
// threads left in it included), and the general-heap bytes kept per loaded
// library, each against a bare dlopen or dlclose of the same file.
#include <dlfcn.h>
#include <malloc.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "WinapiTest.h"
#include "winapi/Modules.h"
#include "winapi/Resources.h"
#include "winapi/Version.h"
#include "workbench/PluginThreads.h"

namespace {

// Ends one counted stretch of the child's work; called for nothing else.
void Mark() { ::syscall(SYS_getppid); }

bool Probe(const std::string& path) {
  const HMODULE h = LoadLibraryExW(W(path).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  const bool found = h && GetProcAddress(h, "FixturePlain");
  return FreeLibrary(h) && found;
}

// What the host asks of a plug-in it loaded: its version texts and icon.
bool Question(const std::string& path, HMODULE h) {
  const std::u16string name = W(path);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(name.c_str(), &ignored);
  std::vector<uint8_t> block(size);
  const bool version = size != 0 && GetFileVersionInfoW(name.c_str(), 0, size, block.data());
  const HRSRC res = FindResourceW(h, MAKEINTRESOURCEW(1), RT_VERSION);
  return version && res && LockResource(LoadResource(h, res)) && SizeofResource(h, res) != 0;
}

// The stretches the traced child goes through, in order.
enum Stretch { kProbe, kLoad, kBareLoad, kQuestions, kUnload, kBareUnload, kStretches };

// Runs in a child traced by the test: every system call it makes is seen.
[[noreturn]] void TracedChild(const std::array<std::string, 3>& copies) {
  ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
  ::raise(SIGSTOP);
  // Looks at the threads before every unload, as in qorb-ide.
  const TPluginThreads threads;
  // One round first, so that what is set up once per process is not counted.
  bool ok = Probe(copies[0]);
  const HMODULE warm = LoadLibraryW(W(copies[0]).c_str());
  ok = ok && warm && Question(copies[0], warm) && FreeLibrary(warm);
  Mark();
  ok = ok && Probe(copies[1]);
  Mark();
  const HMODULE h = LoadLibraryW(W(copies[1]).c_str());
  Mark();
  void* bare = ::dlopen(copies[2].c_str(), RTLD_NOW | RTLD_LOCAL);
  Mark();
  ok = ok && h && bare && Question(copies[1], h);
  Mark();
  ok = FreeLibrary(h) && ok;
  Mark();
  ok = ::dlclose(bare) == 0 && ok;
  Mark();
  ::_exit(ok ? 0 : 1);
}

// The allocator's calls (and a sanitizer's) come and go with the state of
// the heap; they are no cost of the file.
bool ManagesMemory(long nr, const user_regs_struct& regs) {
  if (nr == SYS_brk || nr == SYS_munmap || nr == SYS_madvise) return true;
  return nr == SYS_mmap && (regs.r10 & MAP_ANONYMOUS);
}

// System call numbers per stretch, as the tracer saw them enter.
bool TraceChild(pid_t child, std::array<std::vector<long>, kStretches>& calls) {
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFSTOPPED(status)) return false;
  ::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
  int stretch = -1;  // the warm-up round
  bool entering = true;
  for (;;) {
    if (::ptrace(PTRACE_SYSCALL, child, nullptr, nullptr) != 0) return false;
    if (::waitpid(child, &status, 0) != child) return false;
    if (WIFEXITED(status)) return WEXITSTATUS(status) == 0 && stretch == kStretches;
    if (!WIFSTOPPED(status) || WSTOPSIG(status) != (SIGTRAP | 0x80)) continue;
    if (entering) {
      user_regs_struct regs{};
      ::ptrace(PTRACE_GETREGS, child, nullptr, &regs);
      const long nr = static_cast<long>(regs.orig_rax);
      if (nr == SYS_getppid)
        ++stretch;
      else if (stretch >= 0 && stretch < kStretches && !ManagesMemory(nr, regs))
        calls[stretch].push_back(nr);
    }
    entering = !entering;
  }
}

std::string Names(const std::vector<long>& calls) {
  std::string out;
  for (const long nr : calls) out += std::to_string(nr) + " ";
  return out;
}

}  // namespace

TEST(LoadingCost, AProbeReadsTheFileOnceTheLoadAfterItOnlyLooksQuestionsAskTheKernelNothingAndAnUnloadListsTheThreadsOnce) {
  ScratchDir dir("qorb-cost");
  std::array<std::string, 3> copies;
  for (size_t i = 0; i < copies.size(); ++i) {
    copies[i] = (dir.path / ("copy" + std::to_string(i) + ".so")).string();
    fs::copy_file(QORB_FIXTURE_VERSIONED, copies[i]);
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) TracedChild(copies);
  std::array<std::vector<long>, kStretches> calls;
  const bool traced = TraceChild(child, calls);
  if (!traced) ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, WNOHANG);
  ASSERT_TRUE(traced) << "the traced child failed or could not be traced";

  // open, fstat, one read of the whole small file, close.
  EXPECT_EQ(calls[kProbe], (std::vector<long>{SYS_openat, SYS_newfstatat, SYS_pread64, SYS_close}))
      << Names(calls[kProbe]);
  // The loader's own work, and one stat to see that the file is still the
  // one the probe read.
  std::vector<long> expected = calls[kBareLoad];
  expected.insert(expected.begin(), SYS_newfstatat);
  EXPECT_EQ(calls[kLoad], expected) << "ours: " << Names(calls[kLoad]) << "bare: " << Names(calls[kBareLoad]);
  // Read where the loader mapped them.
  EXPECT_TRUE(calls[kQuestions].empty()) << Names(calls[kQuestions]);
  // The threads listed in one read, and the loader's own work.
  expected = calls[kBareUnload];
  expected.insert(expected.begin(), {SYS_lseek, SYS_getdents64});
  EXPECT_EQ(calls[kUnload], expected) << "ours: " << Names(calls[kUnload]) << "bare: " << Names(calls[kBareUnload]);
}

// A sanitizer's allocator keeps its own books.
#if !defined(__SANITIZE_ADDRESS__)
namespace {
size_t HeapInUse() { return mallinfo2().uordblks; }
}  // namespace

TEST(LoadingCost, TheGeneralHeapKeepsLittleMoreForALoadedLibraryThanTheLoaderAloneKeeps) {
  constexpr int kCopies = 40, kWarm = 10;
  ScratchDir dir("qorb-heap");
  std::vector<std::string> copies;
  for (int i = 0; i < 2 * kCopies + kWarm; ++i) {
    copies.push_back((dir.path / ("copy" + std::to_string(i) + ".so")).string());
    fs::copy_file(QORB_FIXTURE_VERSIONED, copies.back());
  }
  // Whatever is set up once, and the few recent files' images kept for
  // whoever asks about them next.
  for (int i = 2 * kCopies; i < 2 * kCopies + kWarm; ++i) ASSERT_TRUE(Probe(copies[i]));
  ScopedLibrary warm(copies.back());
  ASSERT_TRUE(warm.h && Question(copies.back(), warm.h));

  std::vector<void*> bare;
  const size_t beforeBare = HeapInUse();
  for (int i = 0; i < kCopies; ++i) bare.push_back(::dlopen(copies[i].c_str(), RTLD_NOW | RTLD_LOCAL));
  const size_t bareKept = HeapInUse() - beforeBare;

  std::vector<HMODULE> ours;
  const size_t beforeOurs = HeapInUse();
  for (int i = kCopies; i < 2 * kCopies; ++i) {
    ASSERT_TRUE(Probe(copies[i]));
    ours.push_back(LoadLibraryW(W(copies[i]).c_str()));
    ASSERT_TRUE(ours.back() && Question(copies[i], ours.back()));
  }
  const size_t oursKept = HeapInUse() - beforeOurs;
  for (auto it = ours.rbegin(); it != ours.rend(); ++it) FreeLibrary(*it);
  for (auto it = bare.rbegin(); it != bare.rend(); ++it) ::dlclose(*it);

  // The handle table's record and the path it is known by; the file's
  // image (its exports, its resources) is not kept.
  const double extra = (static_cast<double>(oursKept) - static_cast<double>(bareKept)) / kCopies;
  EXPECT_LT(extra, 512) << "ours " << oursKept / kCopies << " bytes a library, the loader's " << bareKept / kCopies;
}
#endif
