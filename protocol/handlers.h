#ifndef RQ700_PROTOCOL_HANDLERS_H_
#define RQ700_PROTOCOL_HANDLERS_H_

#include <cstddef>
#include <cstdint>

#include "protocol/device_state.h"
#include "protocol/job_hooks.h"
#include "protocol/window_link.h"

namespace rq700 {

// What a response handler may touch. Handlers run on the reader thread, one packet at a
// time; they write current values and last-sent copies together, so nothing is echoed.
struct HandlerContext {
  DeviceState& state;
  WindowLink& window;
  BackupRestoreJobs* jobs = nullptr;
};

// Every handler gets the payload (the whole packet for 0xAA) and its size, which the
// dispatcher has checked against the handler's minimum.
using HandlerFn = void (*)(HandlerContext& context, const uint8_t* payload, size_t size);

// Module parameters (0x90, 0x91, 0x93-0x99); the module type comes from the command.
void HandleModule(HandlerContext& c, uint8_t command, const uint8_t* payload, size_t size);
// The payload size a module message needs (its model decides for DELAY).
size_t ModulePayloadNeeded(int module_type, const uint8_t* payload, size_t size);

// Device and page state (system_handlers.cc).
void HandleVersion(HandlerContext& c, const uint8_t* payload, size_t size);             // 0x81
void HandlePageSync(HandlerContext& c, const uint8_t* payload, size_t size);            // 0x82
void HandleUserIrNames(HandlerContext& c, const uint8_t* payload, size_t size);         // 0x85
void HandleSecondConfirmation(HandlerContext& c, const uint8_t* payload, size_t size);  // 0x89
void HandleChain(HandlerContext& c, const uint8_t* payload, size_t size);               // 0xA0
void HandleSystem(HandlerContext& c, const uint8_t* payload, size_t size);              // 0xA1
void HandleVolume(HandlerContext& c, const uint8_t* payload, size_t size);              // 0xA2
void HandleExpSettings(HandlerContext& c, const uint8_t* payload, size_t size);         // 0xA3
void HandleTempo(HandlerContext& c, const uint8_t* payload, size_t size);               // 0xA4
void HandleExpMerge(HandlerContext& c, const uint8_t* payload, size_t size);            // 0xBB
void HandleUserAmpNames(HandlerContext& c, const uint8_t* payload, size_t size);        // 0xE3

// Presets (preset_handlers.cc).
void HandleCursorRecord(HandlerContext& c, const uint8_t* payload, size_t size);   // 0x86
void HandleDumpRecord(HandlerContext& c, const uint8_t* payload, size_t size);     // 0xA5
void HandleCurrentPreset(HandlerContext& c, const uint8_t* payload, size_t size);  // 0xA6
void HandlePresetName(HandlerContext& c, const uint8_t* payload, size_t size);     // 0xA8
void HandlePresetRecord(HandlerContext& c, const uint8_t* payload, size_t size);   // 0xA9

// Staged jobs (job_handlers.cc).
void HandleIrAck(HandlerContext& c, const uint8_t* payload, size_t size);       // 0xE1
void HandleAmpAck(HandlerContext& c, const uint8_t* payload, size_t size);      // 0xE2
void HandleImportAck(HandlerContext& c, const uint8_t* payload, size_t size);   // 0xE5
void HandleBackupData(HandlerContext& c, const uint8_t* packet, size_t size);   // 0xAA
void HandleRestoreAck(HandlerContext& c, const uint8_t* payload, size_t size);  // 0xAB

}  // namespace rq700

#endif  // RQ700_PROTOCOL_HANDLERS_H_
