// rq700-emu: a virtual RQ700 on a local socket.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "emulator/backup_image.h"
#include "emulator/options.h"
#include "emulator/server.h"
#include "files/backup_reader.h"

namespace {

rq700::emu::EmulatorServer* g_server = nullptr;

extern "C" void OnSignal(int) {
  // Stop() only stores a lock-free atomic, which is safe here.
  if (g_server != nullptr) g_server->Stop();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  rq700::emu::Options options;
  std::string error;
  if (!rq700::emu::ParseOptions(args, &options, &error)) {
    std::fprintf(stderr, "rq700-emu: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(rq700::emu::HelpText(), stdout);
    return 0;
  }

  // The server lives until the process ends: the input reader below may still hand it a
  // line while the process is leaving. Run() itself withdraws the announcement and writes
  // the state file.
  auto* server = new rq700::emu::EmulatorServer(options);
  if (!options.backup_file.empty()) {
    bool wrong_format = false;
    const bool loaded = server->WithDevice([&](rq700::emu::DeviceEmulator& device) {
      return rq700::emu::LoadBackupFile(options.backup_file, device.state(), &error, &wrong_format);
    });
    if (!loaded) {
      if (!wrong_format) {
        std::fprintf(stderr, "rq700-emu: %s\n", error.c_str());
        return 1;
      }
      // The restore's own message, with the line break a terminal shows.
      const std::string_view message = rq700::files::kWrongBackupFormat;
      const size_t crlf = message.find("\r\n");
      const std::string text =
          crlf == std::string_view::npos
              ? std::string(message)
              : std::string(message.substr(0, crlf)) + "\n" + std::string(message.substr(crlf + 2));
      std::fprintf(stderr, "rq700-emu: %s: %s (%s)\n", options.backup_file.c_str(), text.c_str(),
                   error.c_str());
      return 3;
    }
  }
  server->SetMessageSink(
      [](const std::string& text) { std::fprintf(stderr, "rq700-emu: %s\n", text.c_str()); });
  if (!server->Start(&error)) {
    std::fprintf(stderr, "rq700-emu: %s\n", error.c_str());
    return 1;
  }
  g_server = server;
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::printf("ready %s\n", server->socket_path().c_str());
  std::fflush(stdout);

  // Control commands from standard input. The end of input is not a quit (the emulator
  // often runs in the background with nothing on its input) unless --exit-with-input.
  std::thread reader([server, exit_with_input = options.exit_with_input] {
    std::string line;
    while (std::getline(std::cin, line)) server->Post(line);
    if (exit_with_input) server->Post("quit");
  });
  reader.detach();

  server->Run();
  // Leave without running static destructors under the input reader. Flush only the
  // output streams: the reader holds standard input's lock while it waits for a line.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(0);
}
