#pragma once
// What a plain program does to load a folder of plug-ins: list it, load
// every *.dll and look up "InitPlugin" and "Shutdown", then close them all,
// last first. The yardstick the loading benchmarks measure us against.
#include <dirent.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

// Where the bare loader's time went, in nanoseconds over all libraries.
struct TBarePhases {
  double Open = 0;   // dlopen
  double Close = 0;  // dlclose
};

// Calls use(path) for every *.dll of dir, in listing order; false when dir
// cannot be listed.
template <class TUse>
bool ForEachLibrary(const std::string& dir, TUse use) {
  std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(dir.c_str()), &::closedir);
  if (!listing) return false;
  while (const dirent* entry = ::readdir(listing.get())) {
    const std::string name = entry->d_name;
    if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".dll") == 0) use(dir + "/" + name);
  }
  return true;
}

// False when a library lacks one of the two exports.
inline bool BareLoadFolder(const std::string& dir, TBarePhases* phases = nullptr) {
  using Clock = std::chrono::steady_clock;
  auto since = [](Clock::time_point t) { return std::chrono::duration<double, std::nano>(Clock::now() - t).count(); };
  std::vector<void*> handles;
  bool complete = true;
  const bool listed = ForEachLibrary(dir, [&](const std::string& path) {
    const auto start = Clock::now();
    void* h = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (phases) phases->Open += since(start);
    if (!h) return;
    complete = complete && ::dlsym(h, "InitPlugin") && ::dlsym(h, "Shutdown");
    handles.push_back(h);
  });
  if (!listed) return false;
  for (auto it = handles.rbegin(); it != handles.rend(); ++it) {
    const auto start = Clock::now();
    ::dlclose(*it);
    if (phases) phases->Close += since(start);
  }
  return complete;
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}
