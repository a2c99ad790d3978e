#include "workbench/CRuntime.h"

namespace {
std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}
}  // namespace

std::string CRuntimeOf(const std::vector<std::string>& Needed) {
  bool msvcrt = false, ucrt = false;
  std::string libc;
  for (const std::string& name : Needed) {
    const std::string n = Lower(name);
    if (n == "msvcrt.dll") msvcrt = true;
    if (n == "ucrtbase.dll" || n.rfind("api-ms-win-crt-", 0) == 0) ucrt = true;
    if (n.rfind("libc.so", 0) == 0) libc = name;
  }
  if (msvcrt && ucrt) return "msvcrt.dll and the UCRT";
  if (msvcrt) return "msvcrt.dll";
  if (ucrt) return "the UCRT";
  return libc.empty() ? "none" : libc;
}
