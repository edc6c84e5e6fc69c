#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <vector>

namespace kestrova::testing {

// Runs body(i) for i = 0..count-1, each in a child process of its own, all
// at the same time, as several workstations would. The child's exit status
// is what body returns. True when every child ended with 0.
inline bool RunInChildren(int count, const std::function<int(int)>& body) {
  std::vector<pid_t> children;
  for (int i = 0; i < count; ++i) {
    const pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid == 0) ::_exit(body(i));
    children.push_back(pid);
  }
  bool allOk = true;
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!ok) {
      std::fprintf(stderr, "child %d: %s %d\n", static_cast<int>(pid), WIFEXITED(status) ? "exit status" : "signal",
                   WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
    }
    allOk = allOk && ok;
  }
  return allOk;
}

}  // namespace kestrova::testing
