#ifndef RQ700_TESTS_SUPPORT_EMULATOR_PROCESS_H_
#define RQ700_TESTS_SUPPORT_EMULATOR_PROCESS_H_

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace rq700::testing {

// rq700-emu as a child process, announcing itself in `emu_dir` only. Started with
// --no-pacing unless `paced`; stopped with SIGTERM when destroyed.
class EmulatorProcess {
 public:
  EmulatorProcess(const std::string& binary, const std::string& emu_dir,
                  std::vector<std::string> args, bool paced = false) {
    int in_pipe[2], out_pipe[2];
    if (pipe(in_pipe) != 0 || pipe(out_pipe) != 0) return;
    if (!paced) args.insert(args.begin(), "--no-pacing");
    args.insert(args.begin(), binary);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in_pipe[0], 0);
      dup2(out_pipe[1], 1);
      close(in_pipe[1]);
      close(out_pipe[0]);
      setenv("RQ700_EMU_DIR", emu_dir.c_str(), 1);
      std::vector<char*> argv;
      for (std::string& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execv(binary.c_str(), argv.data());
      _exit(127);
    }
    close(in_pipe[0]);
    close(out_pipe[1]);
    stdin_ = in_pipe[1];
    stdout_ = out_pipe[0];
    fcntl(stdin_, F_SETFD, FD_CLOEXEC);
    fcntl(stdout_, F_SETFD, FD_CLOEXEC);
    ready_ = WaitForReady();
  }

  ~EmulatorProcess() { Stop(); }
  EmulatorProcess(const EmulatorProcess&) = delete;
  EmulatorProcess& operator=(const EmulatorProcess&) = delete;

  // True once the emulator printed "ready <socket path>".
  bool ready() const { return ready_; }
  const std::string& socket_path() const { return socket_path_; }

  // One control command on the emulator's input ("preset 5", "save-backup FILE").
  bool Control(const std::string& line) {
    const std::string text = line + "\n";
    return stdin_ >= 0 &&
           write(stdin_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  }

  void Stop() {
    if (pid_ <= 0) return;
    // Its input ends first: the emulator's shutdown waits for a pending read of it.
    close(stdin_);
    stdin_ = -1;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 200; ++i) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
    close(stdout_);
  }

 private:
  bool WaitForReady() {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd entry{stdout_, POLLIN, 0};
      if (poll(&entry, 1, 100) <= 0) continue;
      char c;
      if (read(stdout_, &c, 1) != 1) return false;
      if (c != '\n') {
        line += c;
        continue;
      }
      if (line.rfind("ready ", 0) == 0) {
        socket_path_ = line.substr(6);
        return true;
      }
      line.clear();
    }
    return false;
  }

  pid_t pid_ = -1;
  int stdin_ = -1;
  int stdout_ = -1;
  bool ready_ = false;
  std::string socket_path_;
};

}  // namespace rq700::testing

#endif  // RQ700_TESTS_SUPPORT_EMULATOR_PROCESS_H_
