#ifndef RQ700_EMULATOR_PACKET_LOG_H_
#define RQ700_EMULATOR_PACKET_LOG_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace rq700::emu {

// The packet log: one line per packet in the order the device saw or sent them, flushed
// after each line so that a test can read it while the emulator runs.
class PacketLog {
 public:
  PacketLog() = default;
  ~PacketLog();
  PacketLog(const PacketLog&) = delete;
  PacketLog& operator=(const PacketLog&) = delete;

  bool Open(const std::string& path);
  bool is_open() const { return file_ != nullptr; }

  void Host(const uint8_t* packet, size_t size) { Line("H>D ", packet, size); }
  void Device(const uint8_t* packet, size_t size) { Line("D>H ", packet, size); }
  void Raw(const uint8_t* payload, size_t size) { Line("H>D RAW ", payload, size); }
  // Why the device refused the host's last packet or report.
  void Refused(const std::string& reason);

  // "AA 55 01" for the three bytes AA 55 01.
  static std::string Hex(const uint8_t* bytes, size_t size);

 private:
  void Line(const char* prefix, const uint8_t* bytes, size_t size);
  std::FILE* file_ = nullptr;
};

}  // namespace rq700::emu

#endif  // RQ700_EMULATOR_PACKET_LOG_H_
