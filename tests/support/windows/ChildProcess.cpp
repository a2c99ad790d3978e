#include <windows.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/support/ChildRun.h"

namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

// The quoting CommandLineToArgvW and the C runtime undo.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
  if (!line.empty()) line += L' ';
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line += L'"';
  size_t slashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    line.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
    slashes = 0;
    line += c;
  }
  line.append(slashes * 2, L'\\');
  line += L'"';
}

// The environment block: ours with the extra variables replacing those of
// the same name (Windows' names ignore case), sorted as the system keeps it.
std::wstring Environment(const std::vector<std::string>& extra) {
  std::map<std::wstring, std::wstring, bool (*)(const std::wstring&, const std::wstring&)> vars(
      [](const std::wstring& a, const std::wstring& b) { return ::_wcsicmp(a.c_str(), b.c_str()) < 0; });
  if (wchar_t* block = ::GetEnvironmentStringsW()) {
    for (const wchar_t* e = block; *e; e += wcslen(e) + 1) {
      const std::wstring entry(e);
      const size_t eq = entry.find(L'=', 1);
      if (eq != std::wstring::npos) vars[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    ::FreeEnvironmentStringsW(block);
  }
  for (const std::string& x : extra) {
    const std::wstring entry = Wide(x);
    const size_t eq = entry.find(L'=');
    vars[entry.substr(0, eq)] = eq == std::wstring::npos ? L"" : entry.substr(eq + 1);
  }
  std::wstring block;
  for (const auto& [name, value] : vars) block += name + L"=" + value + L'\0';
  return block + L'\0';
}

class THandle {
 public:
  explicit THandle(HANDLE h = nullptr) : h_(h) {}
  ~THandle() {
    if (h_ && h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
  }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

std::wstring TempFile(const wchar_t* prefix) {
  wchar_t folder[MAX_PATH + 1], file[MAX_PATH + 1];
  ::GetTempPathW(MAX_PATH + 1, folder);
  ::GetTempFileNameW(folder, prefix, 0, file);
  return file;
}

HANDLE Inheritable(const std::wstring& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string Slurp(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

namespace {

TChildRun RunOnce(const std::vector<std::string>& Argv, const std::vector<std::string>& ExtraEnv,
                  std::chrono::seconds Patience) {
  TChildRun run;
  const std::wstring outPath = TempFile(L"qco"), errPath = TempFile(L"qce");
  {
    const THandle out(Inheritable(outPath)), err(Inheritable(errPath));
    std::wstring line;
    for (const std::string& a : Argv) AppendQuoted(line, Wide(a));
    std::wstring env = Environment(ExtraEnv);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    PROCESS_INFORMATION child{};
    const std::wstring program = Wide(Argv.at(0));
    if (::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT, env.data(),
                         nullptr, &startup, &child)) {
      const THandle process(child.hProcess), thread(child.hThread);
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Patience).count();
      if (::WaitForSingleObject(process.get(), static_cast<DWORD>(ms)) == WAIT_TIMEOUT) {
        run.TimedOut = true;
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), INFINITE);
      }
      DWORD code = 0;
      if (::GetExitCodeProcess(process.get(), &code)) run.ExitStatus = static_cast<int>(code);
    }
  }
  run.Out = Slurp(outPath);
  run.Err = Slurp(errPath);
  ::DeleteFileW(outPath.c_str());
  ::DeleteFileW(errPath.c_str());
  return run;
}

// Under Wine a child now and then never runs: it is gone from Wine's
// processes at once, with status -1 and not a byte printed. Wine's, not
// the child's (qorb-ide ends with a status of its own or an exception's
// code): such a run is run once more, saying so. Never on Windows itself.
bool NeverRanUnderWine(const TChildRun& run) {
  static const bool wine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine && run.Out.empty() && run.Err.empty() && !run.TimedOut && run.ExitStatus == -1;
}

}  // namespace

TChildRun RunChild(const std::vector<std::string>& Argv, const std::vector<std::string>& ExtraEnv,
                   std::chrono::seconds Patience) {
  TChildRun run = RunOnce(Argv, ExtraEnv, Patience);
  if (NeverRanUnderWine(run)) {
    std::fprintf(stderr, "%s printed nothing and ended with status -1 under Wine: run again\n", Argv.at(0).c_str());
    run = RunOnce(Argv, ExtraEnv, Patience);
  }
  return run;
}
