// rq700 ir name / ir convert / amp check.
#include <array>
#include <cstdio>
#include <string>

#include "catalog/models.h"
#include "files/amp_file.h"
#include "files/ir_converter.h"
#include "files/slot_name.h"
#include "files/wav_reader.h"
#include "tools/rq700/commands.h"

namespace rq700::tool {

namespace {

int FileError() {
  std::fprintf(stderr, "%s\n", std::string(files::kImportFileError).c_str());
  return 1;
}

std::string Utf8(const std::string& latin1) {
  return catalog::DeviceNameToUtf8(reinterpret_cast<const uint8_t*>(latin1.data()), latin1.size());
}

}  // namespace

int IrName(const Args& args) {
  if (args.size() != 1) return Fail("usage: rq700 ir name FILE");
  files::WavReader wav;
  if (!wav.Read(args[0])) return FileError();
  std::printf("%s\n", Utf8(wav.slot_name()).c_str());
  return 0;
}

int IrConvert(const Args& args) {
  if (args.size() != 1) return Fail("usage: rq700 ir convert FILE");
  files::WavReader wav;
  std::array<uint32_t, files::kIrWordCount> words;
  if (!wav.Read(args[0]) || !files::ConvertImpulseResponse(wav, &words)) return FileError();
  for (uint32_t w : words) std::printf("0x%.8X\n", w);
  return 0;
}

int AmpCheck(const Args& args) {
  if (args.size() != 1) return Fail("usage: rq700 amp check FILE");
  files::AmpFile amp;
  if (!amp.Read(args[0])) return FileError();
  std::printf("ok\n%s\n", Utf8(amp.slot_name()).c_str());
  return 0;
}

}  // namespace rq700::tool
