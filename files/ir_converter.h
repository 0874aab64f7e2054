#ifndef RQ700_FILES_IR_CONVERTER_H_
#define RQ700_FILES_IR_CONVERTER_H_

#include <array>
#include <cstdint>

#include "files/wav_reader.h"

namespace rq700::files {

inline constexpr int kIrWordCount = 512;

// The start of a read WAV file as the device's impulse response: 512 samples of 24 bits
// at 44.1 kHz, each in the low 24 bits of a word (upper byte zero). Accepts 44100, 48000,
// 88200 and 96000 Hz, one or two channels (the first is used), 8, 16, 24 or 32-bit (float)
// samples; false for anything else or a reader that has not loaded a file.
bool ConvertImpulseResponse(const WavReader& wav, std::array<uint32_t, kIrWordCount>* out);

}  // namespace rq700::files

#endif  // RQ700_FILES_IR_CONVERTER_H_
