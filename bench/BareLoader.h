#pragma once
// What a plain program does to load a folder of plug-ins: list it, load
// every *.dll and look up "InitPlugin" and "Shutdown", then close them all,
// last first. The yardstick the loading benchmarks measure us against.
#include <dirent.h>
#include <dlfcn.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// False when a library lacks one of the two exports.
inline bool BareLoadFolder(const std::string& dir) {
  std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(dir.c_str()), &::closedir);
  if (!listing) return false;
  std::vector<void*> handles;
  bool complete = true;
  while (const dirent* entry = ::readdir(listing.get())) {
    const std::string name = entry->d_name;
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".dll") != 0) continue;
    void* h = ::dlopen((dir + "/" + name).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) continue;
    complete = complete && ::dlsym(h, "InitPlugin") && ::dlsym(h, "Shutdown");
    handles.push_back(h);
  }
  for (auto it = handles.rbegin(); it != handles.rend(); ++it) ::dlclose(*it);
  return complete;
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}
