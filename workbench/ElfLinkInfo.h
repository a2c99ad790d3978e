#pragma once
// What an ELF file says about how it is linked, read with libelf and never
// mapped: the libraries it needs, where it asks the loader to look for them,
// and the symbols that bear on a plug-in's entry points, hidden ones
// included.
#include <filesystem>
#include <string>
#include <vector>

struct TElfSymbol {
  std::string Name;  // as stored (mangled for C++)
  bool Defined = false;
  bool Exported = false;  // global or weak with default or protected visibility, in the dynamic table
};

struct TElfLinkInfo {
  // Empty when the file is a 64-bit little-endian x86-64 shared object;
  // otherwise what it is instead ("not an ELF file", "a 32-bit file", ...).
  std::string NotALibrary;
  std::string SoName;
  std::vector<std::string> Needed;
  std::string RunPath;  // DT_RUNPATH, as written ($ORIGIN unexpanded)
  std::string RPath;    // DT_RPATH
  // Every symbol, from the dynamic and the full symbol table, whose name
  // holds one of the Interesting words.
  std::vector<TElfSymbol> Symbols;
};

// False when the file cannot be read at all (Error says why).
bool ReadElfLinkInfo(const std::filesystem::path& File, const std::vector<std::string>& Interesting,
                     TElfLinkInfo& Info, std::string& Error);
