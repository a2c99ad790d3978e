// What a plug-in author waits for: `qorb-ide --quiet --plugins DIR` with N
// copies of the loading benchmark's plug-in, minus the same with an empty
// folder, beside a bare program (this one, run as `--bare DIR`) that does
// dlopen, dlsym of "InitPlugin" and "Shutdown" and dlclose over the same
// files, minus the same on an empty folder. Beside both, the floor
// (bench_loading_floor): the steps qorb-ide owes each plug-in, done the
// cheapest way by a plain program, so that what is ours stands apart from
// what any such program must pay. Every run is a process of its own; the
// variants take turns and medians are compared.
//
// Then where the time goes: `qorb-ide --profile` per phase beside the bare
// program's own dlopen and dlclose time, and what the phases leave out.
//
// --old IDE adds another qorb-ide (a build of an earlier commit) to every
// turn, so that old and new are measured side by side in one run.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BareLoader.h"

namespace fs = std::filesystem;

extern char** environ;

namespace {

// Wall time of one run in milliseconds; negative when it failed. Its
// standard output goes to output, or nowhere.
double TimeRun(std::vector<std::string> args, const std::string& output = "/dev/null") {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
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

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// probe, load, InitPlugin, version, icon, unload (ms), from the profile's
// totals row.
constexpr size_t kPhases = 6;
const char* const kPhaseNames[kPhases] = {"probe", "load", "InitPlugin", "version", "icon", "unload"};
using TPhases = std::array<double, kPhases>;

bool ParseProfileTotals(const std::string& text, TPhases& out) {
  const size_t at = text.find("\n  total ");
  if (at == std::string::npos) return false;
  TPhases p{};
  if (std::sscanf(text.c_str() + at, " total %lf %lf %lf %lf %lf %lf", &p[0], &p[1], &p[2], &p[3], &p[4], &p[5]) != 6)
    return false;
  out = p;
  return true;
}

struct TVariant {
  std::string name;
  std::vector<std::string> args;  // before the folder
};

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--bare") == 0) return BareLoadFolder(argv[2]) ? 0 : 1;
  if (argc == 3 && std::strcmp(argv[1], "--bare-phases") == 0) {
    TBarePhases phases;
    if (!BareLoadFolder(argv[2], &phases)) return 1;
    std::printf("%.6f %.6f\n", phases.Open / 1e6, phases.Close / 1e6);
    return 0;
  }
  std::string oldIde;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--old") == 0 && i + 1 < argc) {
      oldIde = argv[++i];
    } else {
      std::fprintf(stderr, "usage: %s [--old OLD_QORB_IDE]\n", argv[0]);
      return 2;
    }
  }
  const std::string self = fs::canonical("/proc/self/exe").string();
  std::vector<TVariant> ides = {{"qorb-ide", {QORB_IDE_EXECUTABLE, "--quiet"}}};
  if (!oldIde.empty()) ides.push_back({"old", {oldIde, "--quiet"}});
  const fs::path copies = QORB_LOADING_DIR;
  const fs::path empty = fs::temp_directory_path() / ("qorb-ide-loading-" + std::to_string(::getpid()));
  const std::string output =
      (fs::temp_directory_path() / ("qorb-ide-loading-" + std::to_string(::getpid()) + ".out")).string();
  fs::create_directories(empty);
  auto folder = [&](int n) {
    return n == 0 ? empty.string() : (copies / ("plugins-" + std::to_string(n))).string();
  };

  // Whole processes: every variant in turn, every turn; the IDEs, bare, floor.
  std::vector<TVariant> variants;
  for (TVariant v : ides) {
    v.args.push_back("--plugins");
    variants.push_back(std::move(v));
  }
  variants.push_back({"bare", {self, "--bare"}});
  variants.push_back({"floor", {QORB_LOADING_FLOOR}});
  const std::map<int, int> runs = {{0, 41}, {10, 41}, {100, 21}, {1000, 7}};
  std::map<int, std::vector<std::vector<double>>> whole;  // per N, per variant
  bool failed = false;
  for (const auto& [n, count] : runs) {
    whole[n].resize(variants.size());
    for (int i = 0; i < count && !failed; ++i) {
      for (size_t v = 0; v < variants.size() && !failed; ++v) {
        std::vector<std::string> args = variants[v].args;
        args.push_back(folder(n));
        const double t = TimeRun(args);
        failed = t < 0;
        whole[n][v].push_back(t);
      }
    }
  }

  // Phases: the profile's totals beside the bare program's own timing.
  const std::map<int, int> phaseRuns = {{100, 9}, {1000, 5}};
  std::map<int, std::vector<std::array<std::vector<double>, kPhases>>> phases;  // per N, per IDE
  std::map<int, std::array<std::vector<double>, 2>> barePhases;
  for (const auto& [n, count] : phaseRuns) {
    phases[n].resize(ides.size());
    for (int i = 0; i < count && !failed; ++i) {
      for (size_t v = 0; v < ides.size() && !failed; ++v) {
        std::vector<std::string> args = ides[v].args;
        args.insert(args.end(), {"--profile", "--plugins", folder(n)});
        TPhases p{};
        failed = TimeRun(args, output) < 0 || !ParseProfileTotals(ReadAll(output), p);
        for (size_t k = 0; k < kPhases; ++k) phases[n][v][k].push_back(p[k]);
      }
      double open = 0, close = 0;
      failed = failed || TimeRun({self, "--bare-phases", folder(n)}, output) < 0 ||
               std::sscanf(ReadAll(output).c_str(), "%lf %lf", &open, &close) != 2;
      barePhases[n][0].push_back(open);
      barePhases[n][1].push_back(close);
    }
  }
  fs::remove_all(empty);
  fs::remove(output);
  if (failed) {
    std::fprintf(stderr, "a run of qorb-ide or of the bare loader failed\n");
    return 1;
  }

  const size_t bare = ides.size(), floor = bare + 1;
  std::printf("Whole process, empty-folder runs subtracted (ms, medians of %d/%d/%d runs at N = 10/100/1000);\n"
              "ratios to the bare loader, and of qorb-ide to the floor\n",
              runs.at(10), runs.at(100), runs.at(1000));
  std::printf("%6s", "N");
  for (const TVariant& v : ides) std::printf(" %10s %6s", v.name.c_str(), "ratio");
  std::printf(" %10s %10s %6s %8s %14s %14s\n", "bare", "floor", "ratio", "to floor", "us/plug-in", "bare us/p-in");
  std::map<int, std::vector<double>> net;
  for (const int n : {10, 100, 1000}) {
    for (size_t v = 0; v <= floor; ++v) net[n].push_back(Median(whole[n][v]) - Median(whole[0][v]));
    std::printf("%6d", n);
    for (size_t v = 0; v < bare; ++v) std::printf(" %10.2f %6.2f", net[n][v], net[n][v] / net[n][bare]);
    std::printf(" %10.2f %10.2f %6.2f %8.2f %14.1f %14.1f\n", net[n][bare], net[n][floor],
                net[n][floor] / net[n][bare], net[n][0] / net[n][floor], net[n][0] * 1000 / n,
                net[n][bare] * 1000 / n);
  }
  std::printf("with no plug-ins:");
  for (size_t v = 0; v < bare; ++v) std::printf(" %s --quiet %.2f ms,", ides[v].name.c_str(), Median(whole[0][v]));
  std::printf(" the bare program %.2f ms, the floor %.2f ms\n", Median(whole[0][bare]), Median(whole[0][floor]));

  for (const auto& [n, count] : phaseRuns) {
    std::printf("\nPhases at N = %d (ms over all plug-ins, medians of %d runs of --profile and of the bare program)\n", n,
                count);
    std::printf("  %-34s", "phase");
    for (const TVariant& v : ides) std::printf(" %10s", v.name.c_str());
    std::printf(" %10s %6s\n", "bare", "ratio");
    std::vector<double> accounted(ides.size(), 0);
    for (size_t k = 0; k < kPhases; ++k) {
      const bool paired = k == 1 || k == 5;
      std::string label = kPhaseNames[k];
      if (paired) label += k == 1 ? " (bare: dlopen)" : " (bare: dlclose)";
      std::printf("  %-34s", label.c_str());
      for (size_t v = 0; v < ides.size(); ++v) {
        const double m = Median(phases[n][v][k]);
        accounted[v] += m;
        std::printf(" %10.3f", m);
      }
      if (paired) {
        const double b = Median(barePhases[n][k == 1 ? 0 : 1]);
        std::printf(" %10.3f %6.2f\n", b, Median(phases[n][0][k]) / b);
      } else {
        std::printf("\n");
      }
    }
    // The rest: listing, the host's records, the icon's decoding, the IDE's
    // own start and end, as the whole-process medians see them.
    std::printf("  %-34s", "outside the phases (whole - phases)");
    for (size_t v = 0; v < ides.size(); ++v) std::printf(" %10.3f", net[n][v] - accounted[v]);
    const double bareRest = net[n][bare] - Median(barePhases[n][0]) - Median(barePhases[n][1]);
    std::printf(" %10.3f\n", bareRest);
  }
  return 0;
}
