// rq700 fw find / show / make.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/file_io.h"
#include "files/firmware_builder.h"
#include "files/firmware_image.h"
#include "tools/rq700/commands.h"

namespace rq700::tool {

namespace {

// A decimal or 0x-hexadecimal number no larger than `max`.
bool ParseNumber(const std::string& text, uint64_t max, uint64_t* out) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || v > max) return false;
  *out = v;
  return true;
}

std::vector<std::string> Split(const std::string& text, char sep, size_t max_parts) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (parts.size() + 1 < max_parts) {
    const size_t at = text.find(sep, start);
    if (at == std::string::npos) break;
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}

// Segment data: a file, @N counting bytes, or =TEXT.
bool SegmentData(const std::string& source, std::vector<uint8_t>* data) {
  if (!source.empty() && source[0] == '@') {
    uint64_t n = 0;
    if (!ParseNumber(source.substr(1), files::kFirmwareMaxFileSize, &n)) return false;
    data->resize(n);
    for (uint64_t i = 0; i < n; ++i) (*data)[i] = static_cast<uint8_t>(i);
    return true;
  }
  if (!source.empty() && source[0] == '=') {
    data->assign(source.begin() + 1, source.end());
    return true;
  }
  return files::ReadWholeFile(source, files::kFirmwareMaxFileSize, data);
}

}  // namespace

int FwFind(const Args& args) {
  if (args.size() != 2) return Fail("usage: rq700 fw find DIR MODELTEXT");
  std::string name;
  if (!files::FindFirmwareImage(args[0], args[1], &name))
    return Fail("no firmware image for " + args[1] + " in " + args[0]);
  std::printf("%s\n", name.c_str());
  return 0;
}

int FwShow(const Args& args) {
  if (args.size() != 1) return Fail("usage: rq700 fw show FILE");
  files::FirmwareImage image;
  const size_t size = image.Open(args[0]);
  if (size == 0) return Fail("Open Firware fail! (" + image.error() + ")");
  const files::FirmwareHeader& h = image.header();
  std::printf("file size: %zu\n", size);
  std::printf("model: %s\n", h.model.c_str());
  std::printf("apply command: 0x%02X\n", h.apply_command);
  std::printf("apply reply: 0x%02X\n", h.apply_reply);
  std::printf("apply timeout: %u\n", h.apply_timeout);
  std::printf("apply parameter: %02X %02X %02X %02X\n", h.apply_param[0], h.apply_param[1],
              h.apply_param[2], h.apply_param[3]);
  std::printf("segments: %d\n", h.segment_count);
  for (int k = 1; k <= image.segment_count(); ++k) {
    const files::FirmwareSegment& s = image.segment(k);
    std::printf(
        "segment %d: command 0x%02X reply 0x%02X timeout %u first block %u length %u "
        "blocks %u\n",
        k, s.data_command, s.reply, s.block_timeout, s.first_block, s.length, s.BlockCount());
  }
  std::printf("total blocks: %u\n", image.total_blocks());
  return 0;
}

int FwMake(const Args& args) {
  if (args.empty()) return Fail("usage: rq700 fw make OUT [OPTIONS] SEGMENT...");
  files::FirmwareImagePlan plan;
  plan.apply_command = 0xA0;
  plan.apply_reply = 0xA1;
  plan.apply_timeout = 3000;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    uint64_t n = 0;
    if (a.rfind("--", 0) == 0) {
      if (i + 1 >= args.size()) return Fail(a + " needs a value");
      const std::string& v = args[++i];
      if (a == "--model") {
        if (v.size() > 32) return Fail("--model takes at most 32 characters");
        plan.model = v;
      } else if (a == "--apply-command" && ParseNumber(v, 255, &n)) {
        plan.apply_command = static_cast<uint8_t>(n);
      } else if (a == "--apply-reply" && ParseNumber(v, 255, &n)) {
        plan.apply_reply = static_cast<uint8_t>(n);
      } else if (a == "--apply-timeout" && ParseNumber(v, UINT32_MAX, &n)) {
        plan.apply_timeout = static_cast<uint32_t>(n);
      } else if (a == "--apply-param" && v.size() == 8 && ParseNumber("0x" + v, UINT32_MAX, &n)) {
        for (int b = 0; b < 4; ++b) plan.apply_param[b] = static_cast<uint8_t>(n >> (24 - 8 * b));
      } else {
        return Fail("bad option " + a + " " + v);
      }
      continue;
    }
    const auto parts = Split(a, ',', 5);
    files::FirmwareSegmentPlan s;
    uint64_t command = 0, reply = 0, timeout = 0, first = 0;
    if (parts.size() != 5 || !ParseNumber(parts[0], 255, &command) ||
        !ParseNumber(parts[1], 255, &reply) || !ParseNumber(parts[2], UINT32_MAX, &timeout) ||
        !ParseNumber(parts[3], 65535, &first))
      return Fail("bad segment '" + a + "' (COMMAND,REPLY,TIMEOUT,FIRSTBLOCK,DATA)");
    s.data_command = static_cast<uint8_t>(command);
    s.reply = static_cast<uint8_t>(reply);
    s.block_timeout = static_cast<uint32_t>(timeout);
    s.first_block = static_cast<uint16_t>(first);
    if (!SegmentData(parts[4], &s.data)) return Fail("cannot read segment data " + parts[4]);
    plan.segments.push_back(std::move(s));
  }
  if (plan.segments.empty()) return Fail("fw make needs at least one segment");
  if (plan.segments.size() > 127) return Fail("an image holds at most 127 segments");
  const std::vector<uint8_t> image = files::BuildFirmwareImage(plan);
  if (image.empty()) return Fail("cannot build the image");
  if (!files::WriteFileSafely(args[0], image)) return Fail("cannot write " + args[0]);
  return 0;
}

}  // namespace rq700::tool
