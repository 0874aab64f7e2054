#ifndef RQ700_TESTS_TOOLS_TOOL_RUNNER_H_
#define RQ700_TESTS_TOOLS_TOOL_RUNNER_H_

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/files/temp_dir.h"

namespace rq700::testing {

// One run of the rq700 tool: exit status and what it printed.
struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline std::string Slurp(const std::string& path) {
  auto bytes = files::ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// Runs `tool` with `args` as a user would from a shell, with `env` ("NAME=value" words)
// set for it; its output is kept in `dir`.
inline ToolRun RunTool(const std::string& tool, const std::vector<std::string>& args,
                       const files::TempDir& dir, const std::vector<std::string>& env = {}) {
  std::string cmd;
  for (const auto& e : env) cmd += e + " ";
  cmd += ShellQuote(tool);
  for (const auto& a : args) cmd += " " + ShellQuote(a);
  cmd += " >" + ShellQuote(dir.Path("stdout")) + " 2>" + ShellQuote(dir.Path("stderr"));
  ToolRun run;
  const int rc = std::system(cmd.c_str());
  run.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  run.out = Slurp(dir.Path("stdout"));
  run.err = Slurp(dir.Path("stderr"));
  return run;
}

}  // namespace rq700::testing

#endif  // RQ700_TESTS_TOOLS_TOOL_RUNNER_H_
