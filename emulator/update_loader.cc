// The update loader of the virtual RQ700: a strict state machine that takes the firmware
// image it was given, each block once and in order, and refuses everything else.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "emulator/emulator.h"

namespace rq700::emu {
namespace {

constexpr uint8_t kStartCommand = 0xAA;
constexpr uint8_t kIdentityCommand = 0x00;
constexpr uint8_t kIdentityReply = 0x01;
constexpr uint8_t kFinishCommand = 0xFF;
constexpr size_t kWakeUpSize = 8;
constexpr size_t kBlockSize = 512;

const char* StateName(LoaderState state) {
  switch (state) {
    case LoaderState::kAsleep:
      return "asleep";
    case LoaderState::kAwake:
      return "awake";
    case LoaderState::kStarted:
      return "started";
    case LoaderState::kIdentified:
      return "identified";
    case LoaderState::kReceiving:
      return "receiving blocks";
    case LoaderState::kComplete:
      return "complete";
  }
  return "?";
}

std::string Hex2(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof(text), "%02X", value & 0xFF);
  return text;
}

void PutText(std::vector<uint8_t>& out, const std::string& text, size_t width) {
  for (size_t i = 0; i < width; ++i) out.push_back(i < text.size() ? text[i] : 0);
}

}  // namespace

void DeviceEmulator::ResetLoader(LoaderState state) {
  loader_state_ = state;
  loader_segment_ = 0;
  loader_block_ = 0;
  blocks_received_ = 0;
  received_.clear();
}

void DeviceEmulator::Reboot(Mode mode) {
  // May run inside the parser's delivery: the parser itself is reset by the next Connect.
  mode_ = mode;
  outbox_.clear();
  outbox_packets_.clear();
  queued_reports_ = 0;
  // What the loader took stays readable after the reboot; the next wake-up clears it.
  loader_state_ = LoaderState::kAsleep;
  loader_segment_ = 0;
  loader_block_ = 0;
  disconnect_ = true;
  mode_changed_ = true;
}

void DeviceEmulator::SendIdentityReply() {
  std::vector<uint8_t> reply;
  PutText(reply, options_.model + "_V" + version_, 32);          // packet bytes 5-36
  reply.push_back(static_cast<uint8_t>(options_.release >> 8));  // 37-38
  reply.push_back(static_cast<uint8_t>(options_.release & 0xFF));
  PutText(reply, "BL1.0", 5);   // 39-43: loader version
  PutText(reply, version_, 7);  // 44-50
  PutText(reply, "", 9);        // 51-59
  Answer(kIdentityCommand, kIdentityReply, reply.data(), reply.size());
}

// A report outside any packet: only the wake-up report (eight zero bytes) means something.
// It wakes the loader from any state, so a launcher started again after a failed update
// begins afresh.
void DeviceEmulator::OnLoaderRaw(const uint8_t* payload, size_t count) {
  const bool wake_up = count == kWakeUpSize &&
                       std::all_of(payload, payload + count, [](uint8_t b) { return b == 0; });
  if (!wake_up) {
    Refuse("a report of " + std::to_string(count) +
           " bytes that is neither a packet nor the wake-up");
    return;
  }
  ResetLoader(LoaderState::kAwake);
}

void DeviceEmulator::HandleUpdate(uint8_t command, const uint8_t* p, size_t size) {
  const std::string code = Hex2(command);
  auto out_of_turn = [&](const char* what) {
    Refuse(code + ": " + what + " while the loader is " + StateName(loader_state_));
  };
  auto one_zero = [&]() { return ExactSize(command, size, 1); };

  if (command == kStartCommand && loader_state_ != LoaderState::kReceiving) {
    // Not while blocks are coming: 0xAA could as well be a block's data command then.
    if (!one_zero()) return;
    if (loader_state_ == LoaderState::kAsleep) return out_of_turn("start request");
    ResetLoader(LoaderState::kStarted);
    return;
  }
  if (command == kIdentityCommand && loader_state_ != LoaderState::kReceiving) {
    if (!one_zero()) return;
    switch (loader_state_) {
      case LoaderState::kAwake:  // the launcher's question before any start request
      case LoaderState::kIdentified:
        break;
      case LoaderState::kStarted:
        loader_state_ = LoaderState::kIdentified;
        break;
      default:
        return out_of_turn("identity request");
    }
    SendIdentityReply();
    return;
  }
  if (!has_loader_image_) {
    Refuse(code + ": the loader was given no firmware image (--firmware)");
    return;
  }
  const LoaderImage& image = loader_image_;
  if (loader_state_ == LoaderState::kReceiving && size == 2 + kBlockSize) {
    OnLoaderBlock(command, p);
    return;
  }
  if (command == image.apply_command && loader_state_ != LoaderState::kReceiving) {
    if (!ExactSize(command, size, 4)) return;
    if (loader_state_ != LoaderState::kIdentified) return out_of_turn("apply request");
    const bool accepted =
        !options_.faults.refuse_update && std::equal(p, p + 4, image.apply_param.begin());
    if (options_.faults.refuse_update) {
      Refuse(code + ": apply refused (--refuse-update)");
    } else if (!accepted) {
      Refuse(code + ": apply parameter " + Hex2(p[0]) + Hex2(p[1]) + Hex2(p[2]) + Hex2(p[3]) +
             " is not the image's");
    }
    if (accepted) {
      ResetLoader(LoaderState::kReceiving);
      received_.resize(image.segments.size());
      // Segments without a whole block send nothing: start at the first that has one.
      while (loader_segment_ < image.segments.size() &&
             image.segments[loader_segment_].blocks() == 0) {
        ++loader_segment_;
      }
      if (loader_segment_ == image.segments.size()) loader_state_ = LoaderState::kComplete;
    }
    const uint8_t reply =
        static_cast<uint8_t>(options_.apply_reply >= 0 ? options_.apply_reply : image.apply_reply);
    const uint8_t answer[1] = {static_cast<uint8_t>(accepted ? 1 : 0)};
    Answer(command, reply, answer, 1);
    return;
  }
  if (command == kFinishCommand) {
    if (!one_zero()) return;
    if (loader_state_ != LoaderState::kComplete) return out_of_turn("finish request");
    OnLoaderFinish();
    return;
  }
  if (loader_state_ == LoaderState::kReceiving) {
    Refuse(code + ": payload of " + std::to_string(size) + " bytes, a block wants 514");
    return;
  }
  out_of_turn("packet");
}

// Each block once and in order: the expected segment's data command, the block number
// the segment's count has reached, and the image's bytes.
void DeviceEmulator::OnLoaderBlock(uint8_t command, const uint8_t* p) {
  const LoaderImage::Segment& segment = loader_image_.segments[loader_segment_];
  const uint16_t number = static_cast<uint16_t>((p[0] << 8) | p[1]);
  const uint16_t expected = static_cast<uint16_t>(segment.first_block + loader_block_);
  const std::string where =
      "segment " + std::to_string(loader_segment_ + 1) + " block " + std::to_string(loader_block_);
  if (command != segment.data_command) {
    Refuse(Hex2(command) + ": " + where + " comes with command " + Hex2(segment.data_command));
    return;
  }
  if (number != expected) {
    Refuse(Hex2(command) + ": block number " + std::to_string(number) + " where " + where +
           " is number " + std::to_string(expected));
    return;
  }
  const uint8_t* data = segment.data.data() + loader_block_ * kBlockSize;
  if (!std::equal(p + 2, p + 2 + kBlockSize, data)) {
    Refuse(Hex2(command) + ": the data of " + where + " differs from the image");
    return;
  }
  std::vector<uint8_t>& taken = received_[loader_segment_];
  taken.insert(taken.end(), p + 2, p + 2 + kBlockSize);
  ++blocks_received_;
  if (++loader_block_ == segment.blocks()) {
    loader_block_ = 0;
    do {
      ++loader_segment_;
    } while (loader_segment_ < loader_image_.segments.size() &&
             loader_image_.segments[loader_segment_].blocks() == 0);
    if (loader_segment_ == loader_image_.segments.size()) loader_state_ = LoaderState::kComplete;
  }
  const uint8_t reply =
      static_cast<uint8_t>(options_.block_reply >= 0 ? options_.block_reply : segment.reply);
  Answer(command, reply, p, 2);
}

void DeviceEmulator::OnLoaderFinish() {
  if (!options_.received_dir.empty()) {
    std::error_code ignored;
    std::filesystem::create_directories(options_.received_dir, ignored);
    for (size_t k = 0; k < received_.size(); ++k) {
      const std::string path = options_.received_dir + "/segment-" + std::to_string(k + 1) + ".bin";
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(received_[k].data()),
                static_cast<std::streamsize>(received_[k].size()));
    }
  }
  // The new firmware names itself: the model text, "_V" and the version.
  const std::string tag = options_.model + "_V";
  for (const std::vector<uint8_t>& data : received_) {
    const auto found = std::search(data.begin(), data.end(), tag.begin(), tag.end());
    if (found == data.end()) continue;
    std::string version;
    for (auto it = found + static_cast<long>(tag.size());
         it != data.end() && version.size() < 5 && *it >= 0x21 && *it <= 0x7E; ++it) {
      version.push_back(static_cast<char>(*it));
    }
    if (!version.empty()) version_ = version;
    break;
  }
  Reboot(Mode::kNormal);
}

}  // namespace rq700::emu
