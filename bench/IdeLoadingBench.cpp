// What a plug-in author waits for: `qorb-ide --quiet --plugins DIR` with N
// copies of the loading benchmark's plug-in, minus the same with an empty
// folder, beside a bare program (this one, run as `--bare DIR`) that does
// dlopen, dlsym of "InitPlugin" and "Shutdown" and dlclose over the same
// files, minus the same on an empty folder. Every run is a process of its
// own; the variants take turns and medians are compared.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/BareLoader.h"

namespace fs = std::filesystem;

extern char** environ;

namespace {

// Wall time of one run in milliseconds; negative when it failed.
double TimeRun(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (rc != 0 || ::waitpid(pid, &status, 0) != pid) return -1;
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double, std::milli>(end - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--bare") == 0) return BareLoadFolder(argv[2]) ? 0 : 1;
  const std::string self = fs::canonical("/proc/self/exe").string();
  const std::string ide = QORB_IDE_EXECUTABLE;
  const fs::path copies = QORB_LOADING_DIR;
  const fs::path empty = fs::temp_directory_path() / ("qorb-ide-loading-" + std::to_string(::getpid()));
  fs::create_directories(empty);
  const std::map<int, int> runs = {{0, 41}, {10, 41}, {100, 21}, {1000, 7}};
  std::map<int, std::vector<double>> ours, bare;
  bool failed = false;
  for (const auto& [n, count] : runs) {
    const std::string dir = n == 0 ? empty.string() : (copies / ("plugins-" + std::to_string(n))).string();
    for (int i = 0; i < count && !failed; ++i) {
      const double o = TimeRun({ide, "--quiet", "--plugins", dir});
      const double b = TimeRun({self, "--bare", dir});
      failed = o < 0 || b < 0;
      ours[n].push_back(o);
      bare[n].push_back(b);
    }
  }
  fs::remove_all(empty);
  if (failed) {
    std::fprintf(stderr, "a run of qorb-ide or of the bare loader failed\n");
    return 1;
  }
  const double ours0 = Median(ours[0]), bare0 = Median(bare[0]);
  std::printf("%6s %10s %10s %6s %18s %18s\n", "N", "qorb-ide", "bare", "ratio", "qorb-ide us/plug-in",
              "bare us/plug-in");
  for (const int n : {10, 100, 1000}) {
    const double o = Median(ours[n]) - ours0, b = Median(bare[n]) - bare0;
    std::printf("%6d %8.2f ms %7.2f ms %6.2f %18.1f %18.1f\n", n, o, b, o / b, o * 1000 / n, b * 1000 / n);
  }
  std::printf("with no plug-ins: qorb-ide --quiet %.2f ms, the bare program %.2f ms\n", ours0, bare0);
  return 0;
}
