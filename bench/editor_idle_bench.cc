// The CPU the running editor uses while nothing happens: the real ZORVA_RQ700 against a
// real rq700-emu, each as its own process; the editor's user + system time over a quiet
// stretch after its start-up dump. Linux (reads /proc).
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// utime + stime of process `pid` in clock ticks; -1 when unreadable.
long long CpuTicks(qint64 pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const auto close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  long long utime = 0, stime = 0;
  // Fields after the name start at 3 (state); utime is 14 and stime 15.
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stoll(field);
    if (i == 15) stime = std::stoll(field);
  }
  return utime + stime;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int quiet_seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  const QString dist = RQ700_DIST_DIR;
  QTemporaryDir dir;
  const QString socket = dir.filePath("idle.sock");

  QProcess emulator;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("RQ700_EMU_DIR", dir.filePath("announce"));
  emulator.setProcessEnvironment(env);
  emulator.start(dist + "/rq700-emu", {"--socket", socket});
  if (!emulator.waitForReadyRead(10000) || !emulator.readLine().startsWith("ready")) {
    std::fprintf(stderr, "rq700-emu did not get ready\n");
    return 1;
  }

  QProcess editor;
  env.insert("QT_QPA_PLATFORM", "offscreen");
  editor.setProcessEnvironment(env);
  editor.setWorkingDirectory(dist + "/ZORVA_RQ700");
  editor.start(dist + "/ZORVA_RQ700/ZORVA_RQ700", {"emu:" + socket});
  if (!editor.waitForStarted(10000)) {
    std::fprintf(stderr, "ZORVA_RQ700 did not start\n");
    return 1;
  }
  const qint64 pid = editor.processId();

  // The dump and the first start-up tick after it are over well within this.
  QThread::sleep(5);
  const long long start_ticks = CpuTicks(pid);
  QElapsedTimer wall;
  wall.start();
  QThread::sleep(static_cast<unsigned long>(quiet_seconds));
  const long long end_ticks = CpuTicks(pid);
  const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;

  const bool alive = editor.state() == QProcess::Running;
  editor.kill();
  editor.waitForFinished(5000);
  emulator.kill();
  emulator.waitForFinished(5000);
  if (!alive || start_ticks < 0 || end_ticks < 0) {
    std::fprintf(stderr, "the editor ended early\n%s\n", editor.readAllStandardError().constData());
    return 1;
  }
  const double cpu_seconds =
      static_cast<double>(end_ticks - start_ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
  std::printf("editor idle against rq700-emu: %.2f s CPU over %.1f s = %.1f%% of one core\n",
              cpu_seconds, seconds, 100.0 * cpu_seconds / seconds);
  return 0;
}
