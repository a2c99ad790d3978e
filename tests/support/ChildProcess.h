#pragma once
// A program run to its end with a few more environment variables, its
// standard output and error kept: for tests of what a whole process does
// when it faults or exits.
#include "tests/support/ChildRun.h"
#include "tests/support/TestSupport.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

// A run that has not ended after Patience is killed: a hang fails the test
// that waits for it instead of holding the whole suite.
inline TChildRun RunChild(const std::vector<std::string>& Argv, const std::vector<std::string>& ExtraEnv = {},
                          std::chrono::seconds Patience = std::chrono::seconds(120)) {
  ScratchDir dir("qorb-child");
  const std::string out = (dir / "out").string(), err = (dir / "err").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  // The extra variables replace those of the same name.
  std::vector<std::string> env(ExtraEnv);
  for (char** e = environ; *e; ++e) {
    const std::string_view entry(*e);
    const std::string_view name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const std::string& x : ExtraEnv) replaced |= x.starts_with(name) && x.size() > name.size() && x[name.size()] == '=';
    if (!replaced) env.emplace_back(entry);
  }
  std::vector<char*> argv, envp;
  for (const std::string& a : Argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  TChildRun run;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + Patience;
  for (;;) {
    const pid_t ended = ::waitpid(pid, &status, WNOHANG);
    if (ended == pid) break;
    if (ended < 0 && errno != EINTR) break;
    if (std::chrono::steady_clock::now() > deadline && !run.TimedOut) {
      run.TimedOut = true;
      ::kill(pid, SIGKILL);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(status)) run.ExitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.Signal = WTERMSIG(status);
  auto slurp = [](const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  };
  run.Out = slurp(out);
  run.Err = slurp(err);
  return run;
}
#endif
