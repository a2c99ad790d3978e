#pragma once
// What a library file says about how it is linked, read and never mapped:
// the libraries it needs, where it asks the loader to look for them, and
// the symbols that bear on a plug-in's entry points. ELF files on Linux
// (libelf; hidden symbols included), PE files on Windows (the export and
// import tables).
#include <filesystem>
#include <string>
#include <vector>

struct TLinkSymbol {
  std::string Name;  // as stored (mangled for C++)
  bool Defined = false;
  bool Exported = false;  // ELF: global or weak with default or protected visibility, in the dynamic table; PE: in the export table
};

struct TLinkInfo {
  // Empty when the file is a 64-bit x86-64 library; otherwise what it is
  // instead ("not an ELF file", "a 32-bit file", ...).
  std::string NotALibrary;
  std::string SoName;
  std::vector<std::string> Needed;
  std::string RunPath;  // ELF's DT_RUNPATH, as written ($ORIGIN unexpanded)
  std::string RPath;    // ELF's DT_RPATH
  // Every symbol whose name holds one of the Interesting words.
  std::vector<TLinkSymbol> Symbols;
};

// False when the file cannot be read at all (Error says why).
bool ReadLinkInfo(const std::filesystem::path& File, const std::vector<std::string>& Interesting, TLinkInfo& Info,
                  std::string& Error);
