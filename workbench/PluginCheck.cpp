#include "workbench/PluginCheck.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <ostream>

#include "workbench/CRuntime.h"
#include "workbench/LinkInfo.h"
#include "workbench/LibrarySearch.h"
#include "workbench/NotAFile.h"
#include "plugins/Qorb.Main.PluginGraphics.h"
#include "rtl/Format.h"
#include "rtl/UnicodeString.h"
#include "vcl/Bitmap.h"
#include "winapi/FileMask.h"
#include "winapi/LastError.h"
#include "winapi/Modules.h"
#include "winapi/Resources.h"
#include "winapi/Version.h"
#include "winapi/VersionBlock.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kEntries[] = {"InitPlugin", "Shutdown"};

class TProbe {
 public:
  explicit TProbe(const fs::path& File)
      : h_(LoadLibraryExW(File.u16string().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES)) {}
  ~TProbe() {
    if (h_) FreeLibrary(h_);
  }
  TProbe(const TProbe&) = delete;
  TProbe& operator=(const TProbe&) = delete;
  HMODULE get() const { return h_; }

 private:
  HMODULE h_;
};

std::string Demangled(const std::string& name) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> text(abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status),
                                                   &std::free);
  return status == 0 && text ? std::string(text.get()) : name;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// Why Entry is not exported, as far as the file's symbols tell.
void EntryHints(const TLinkInfo& info, const std::string& entry, std::vector<std::string>& hints) {
  for (const TLinkSymbol& s : info.Symbols) {
    if (!s.Defined) continue;
    const std::string plain = Demangled(s.Name);
    if (s.Name == entry) {
      hints.push_back(entry + " is defined but not exported (hidden or local): mark it QORB_PLUGIN_EXPORT "
                              "(QORB_EXPORT in C) or give it default visibility");
      return;
    }
    if (s.Name != plain && plain.rfind(entry + "(", 0) == 0) {
      hints.push_back(entry + " is " + (s.Exported ? "exported" : "defined") + " under its C++ name \"" + s.Name +
                      "\" (" + plain + "): declare it extern \"C\"");
      return;
    }
    if (s.Name != entry && EqualsNoCase(s.Name, entry)) {
      hints.push_back("\"" + s.Name + "\" is spelt differently: export names match case-sensitively, write " + entry);
      return;
    }
  }
}

// The folder rules come first: the host lists only "*.dll" files directly
// in Plugins/.
void PlaceReasons(const fs::path& file, std::vector<std::string>& reasons) {
  if (!MatchesDllMask(file.filename().u16string()))
    reasons.push_back("not named *.dll: the host looks only at files named so (rename it to " +
                      file.stem().string() + ".dll)");
  const fs::path parent = file.parent_path();
  if (!EqualsNoCase(parent.filename().string(), "Plugins")) {
    for (fs::path p = parent.parent_path(); !p.empty() && p != p.parent_path(); p = p.parent_path())
      if (p.filename() == "Plugins") {
        reasons.push_back("in a sub-folder of Plugins/ (" + fs::relative(file, p).string() +
                          "): the host does not search sub-folders; put it directly in " + p.string() + "/");
        break;
      }
  }
}

std::string ProbeFailure(const fs::path& file, const TLinkInfo& info, DWORD error) {
  if (!info.NotALibrary.empty()) return "not a library for this machine: " + info.NotALibrary;
  std::string text = Utf16ToUtf8(SysErrorMessage(error));
  if (const size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, file.filename().string());
  return "not a library for this machine: " + text;
}

std::string Missing(const TMissingLibrary& m, const fs::path& file) {
  std::string text = "needs " + m.Name;
  if (m.NeededBy != file) text += " (through " + m.NeededBy.filename().string() + ")";
  text += ", which the loader cannot find; searched:";
  for (const std::string& s : m.Searched) text += " " + s;
  // The commonest mistake on Windows, where a full-path load does not look
  // beside the library for what it imports.
  std::error_code ec;
  if (fs::exists(m.NeededBy.parent_path() / m.Name, ec))
    text += "; " + m.Name + " lies in the folder of " + m.NeededBy.filename().string() +
            ", where the loader does not look: put it where it looks, or load it yourself by its full path";
  return text;
}

void ReadVersion(const fs::path& file, TPluginCheck& check) {
  check.Version = GetQorbVersionInfo(UnicodeString(file.u16string()));
  const std::u16string name = file.u16string();
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(name.c_str(), &handle);
  if (size == 0) return;
  std::vector<uint8_t> block(size);
  if (!GetFileVersionInfoW(name.c_str(), 0, size, block.data())) return;
  void* value = nullptr;
  UINT len = 0;
  if (VerQueryValueW(block.data(), u"\\", &value, &len) && len >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* f = static_cast<const VS_FIXEDFILEINFO*>(value);
    check.FixedVersion = std::to_string(f->dwFileVersionMS >> 16) + "." + std::to_string(f->dwFileVersionMS & 0xFFFF) +
                         "." + std::to_string(f->dwFileVersionLS >> 16) + "." +
                         std::to_string(f->dwFileVersionLS & 0xFFFF);
  }
  const std::span<const uint8_t> bytes(block.data(), qorb::winapi::VersionBlockLength(block));
  for (const std::u16string& key : qorb::winapi::VersionChildKeys(bytes, u"\\StringFileInfo")) {
    TStringBlock table{UnicodeString(key).ToUtf8(), false, {}};
    for (const std::u16string& name : qorb::winapi::VersionChildKeys(bytes, u"\\StringFileInfo\\" + key)) {
      const std::u16string path = u"\\StringFileInfo\\" + key + u"\\" + name;
      if (VerQueryValueW(block.data(), path.c_str(), &value, &len))
        table.Strings.push_back({UnicodeString(name).ToUtf8(), std::u16string(static_cast<const char16_t*>(value))});
    }
    check.StringBlocks.push_back(std::move(table));
  }
  if (!VerQueryValueW(block.data(), u"\\VarFileInfo\\Translation", &value, &len) || len < 4) return;
  const auto* words = static_cast<const uint16_t*>(value);
  check.HostBlock = Format(u"%.4x%.4x", {words[0], words[1]}).ToUtf8();
  for (TStringBlock& table : check.StringBlocks)
    if (EqualsNoCase(table.Key, check.HostBlock)) {
      table.ReadByHost = true;
      break;
    }
  for (const char* key :
       {"ProductName", "FileVersion", "CompanyName", "LegalCopyright", "FileDescription", "Comments"}) {
    const std::u16string wideKey = Utf8ToUtf16(key);
    const UnicodeString path =
        Format(u"\\StringFileInfo\\%.4x%.4x\\%s", {words[0], words[1], std::u16string_view(wideKey)});
    if (VerQueryValueW(block.data(), path.c_str(), &value, &len) && len > 0)
      check.RawStrings.push_back({key, std::u16string(static_cast<const char16_t*>(value))});
  }
}

void ReadIcon(HMODULE probe, TPluginCheck& check) {
  if (HRSRC res = FindResourceW(probe, u"QORBPLUGINICON", RT_RCDATA)) check.IconBytes = SizeofResource(probe, res);
  if (check.IconBytes == 0) return;
  if (const std::unique_ptr<TBitmap> icon = LoadPngResourceBitmap(probe, UnicodeString(u"QORBPLUGINICON"))) {
    check.IconWidth = icon->Width();
    check.IconHeight = icon->Height();
  }
}

// A value as stored, its blanks and control characters made visible.
std::string Quoted(const std::u16string& value) {
  std::string out = "\"";
  for (const char ch : Utf16ToUtf8(value)) {
    if (ch == '\t')
      out += "\\t";
    else if (ch == '\n')
      out += "\\n";
    else if (ch == '\r')
      out += "\\r";
    else if (ch == '"' || ch == '\\')
      out += std::string("\\") + ch;
    else if (static_cast<unsigned char>(ch) < 32)
      out += Format(u"\\x%.2x", {static_cast<int>(ch)}).ToUtf8();
    else
      out += ch;
  }
  return out + "\"";
}

}  // namespace

TPluginCheck CheckPluginFile(const fs::path& File) {
  TPluginCheck check;
  std::error_code ec;
  check.File = fs::absolute(File, ec);
  if (ec) check.File = File;
  const fs::path& file = check.File;
  if (std::string notAFile = NotAFileReason(file); !notAFile.empty()) {
    check.Reasons.push_back(std::move(notAFile));
    return check;
  }
  PlaceReasons(file, check.Reasons);

  TLinkInfo info;
  std::string readError;
  if (!ReadLinkInfo(file, {kEntries[0], kEntries[1], "initplugin", "INITPLUGIN", "shutdown", "SHUTDOWN"}, info,
                       readError)) {
    check.Reasons.push_back("cannot be read: " + readError);
    return check;
  }
  TProbe probe(file);
  if (!probe.get()) {
    check.Reasons.push_back(ProbeFailure(file, info, GetLastError()));
    return check;
  }
  check.IsLibrary = true;
  check.CRuntime = CRuntimeOf(info.Needed);
  const bool init = GetProcAddress(probe.get(), kEntries[0]) != nullptr;
  const bool shutdown = GetProcAddress(probe.get(), kEntries[1]) != nullptr;
  if (!init) {
    check.Reasons.push_back("exports no InitPlugin");
    EntryHints(info, kEntries[0], check.Hints);
  }
  // The host loads the library only once the probe found InitPlugin; a
  // missing library stops that load.
  if (const std::optional<TMissingLibrary> missing = FindMissingLibrary(file))
    check.Reasons.push_back(Missing(*missing, file));
  if (!shutdown) {
    check.Reasons.push_back("exports no Shutdown");
    EntryHints(info, kEntries[1], check.Hints);
  }
  ReadVersion(file, check);
  ReadIcon(probe.get(), check);
  return check;
}

std::vector<std::string> ExportHints(const fs::path& File) {
  TLinkInfo info;
  std::string error;
  std::vector<std::string> hints;
  if (!ReadLinkInfo(File, {kEntries[0], kEntries[1], "initplugin", "INITPLUGIN", "shutdown", "SHUTDOWN"}, info,
                       error))
    return hints;
  const TProbe probe(File);
  if (!probe.get()) return hints;
  for (const char* entry : kEntries)
    if (!GetProcAddress(probe.get(), entry)) EntryHints(info, entry, hints);
  return hints;
}

std::string FormatPluginCheck(const TPluginCheck& c) {
  std::string out = c.File.string() + ": ";
  if (c.WouldLoad()) {
    out += "would load\n";
  } else {
    out += "would not load: " + c.Reasons.front() + "\n";
    for (size_t i = 1; i < c.Reasons.size(); ++i) out += "  then: " + c.Reasons[i] + "\n";
  }
  for (const std::string& h : c.Hints) out += "  hint: " + h + "\n";
  if (!c.IsLibrary) return out;
  const TQorbVersionInfo& v = c.Version;
  const std::pair<const char*, const UnicodeString*> shown[] = {
      {"Name", &v.ProductName}, {"Version", &v.Version},         {"Company", &v.Company},
      {"Copyright", &v.Copyright}, {"Description", &v.Description}, {"Comments", &v.Comments}};
  out += "  as the host shows it:\n";
  for (const auto& [label, value] : shown)
    out += std::string("    ") + label + ":" + (value->IsEmpty() ? "" : " " + value->ToUtf8()) + "\n";
  if (c.FixedVersion.empty() && c.StringBlocks.empty() && c.HostBlock.empty()) {
    out += "  version resource: none\n";
  } else {
    out += "  version resource as stored:\n";
    out += "    fixed file version: " + (c.FixedVersion.empty() ? std::string("none") : c.FixedVersion) + "\n";
    for (const TStringBlock& b : c.StringBlocks) {
      out += "    string block " + b.Key + (b.ReadByHost ? ", the one the host reads" : ", not read by the host") +
             (b.Strings.empty() ? ", empty\n" : ":\n");
      for (const TRawVersionString& s : b.Strings) out += "      " + s.Key + ": " + Quoted(s.Value) + "\n";
    }
    if (c.HostBlock.empty())
      out += "    no Translation entry: the host reads no string block, so its texts are empty\n";
    else if (c.HostBlockMissing())
      out += "    the host reads string block " + c.HostBlock +
             " (the first Translation entry names it), which is missing: its texts are empty\n";
  }
  if (c.IconBytes == 0)
    out += "  icon: no QORBPLUGINICON resource\n";
  else if (c.IconWidth == 0)
    out += "  icon: QORBPLUGINICON, " + std::to_string(c.IconBytes) + " bytes, does not decode as PNG\n";
  else
    out += "  icon: QORBPLUGINICON, " + std::to_string(c.IconBytes) + " bytes, PNG " + std::to_string(c.IconWidth) +
           "x" + std::to_string(c.IconHeight) + "\n";
  out += "  C runtime: " + c.CRuntime + "\n";
  return out;
}

bool TPluginCheck::HostBlockMissing() const {
  if (HostBlock.empty()) return false;
  for (const TStringBlock& b : StringBlocks)
    if (b.ReadByHost) return false;
  return true;
}

std::vector<std::string> ResourceMistakes(const TPluginCheck& c) {
  std::vector<std::string> mistakes;
  if (c.HostBlockMissing() && !c.StringBlocks.empty()) {
    std::string held;
    for (const TStringBlock& b : c.StringBlocks) held += (held.empty() ? "" : ", ") + b.Key;
    mistakes.push_back("its version texts show empty: the host reads string block " + c.HostBlock +
                       ", named by the first Translation entry, and the resource holds only " + held);
  }
  if (c.HostBlock.empty() && !c.StringBlocks.empty())
    mistakes.push_back("its version texts show empty: it has no Translation entry to name the string block the "
                       "host reads");
  if (c.IconBytes > 0 && c.IconWidth == 0)
    mistakes.push_back("its icon resource QORBPLUGINICON (" + std::to_string(c.IconBytes) + " bytes) is not a PNG");
  return mistakes;
}

int RunPluginCheck(const std::vector<fs::path>& Files, std::ostream& Out, std::ostream& Err) {
  if (Files.empty()) {
    Err << "qorb-ide: check needs at least one file\n";
    return 2;
  }
  int status = 0;
  for (const fs::path& f : Files) {
    const TPluginCheck c = CheckPluginFile(f);
    if (!c.WouldLoad()) status = 1;
    Out << FormatPluginCheck(c);
  }
  Out.flush();
  if (!Out) {
    Err << "qorb-ide: cannot write the report to standard output\n";
    return 1;
  }
  return status;
}
