#ifndef RQ700_UPDATER_UPDATE_WORKER_H_
#define RQ700_UPDATER_UPDATE_WORKER_H_

#include <cstddef>
#include <cstdint>

#include "updater/update_session.h"

namespace rq700 {

// How many delay units the worker waits for the identity reply.
inline constexpr int kIdentityWaitUnits = 499;

// Command codes of the fixed requests and of the identity reply.
inline constexpr uint8_t kStartRequestCommand = 0xAA;
inline constexpr uint8_t kIdentityRequestCommand = 0x00;
inline constexpr uint8_t kIdentityReplyCommand = 0x01;
inline constexpr uint8_t kFinishRequestCommand = 0xFF;

// Runs the whole update: checks the image, asks the device who it is, applies for the
// update, sends every block and waits for its acknowledgement, finishes. Posts progress
// and exactly one final status; ends with the link inactive and the device closed.
// Returns 1 on success, 0 otherwise.
int UpdateWorker(UpdateSession& session);

// Reads the device's replies while the link is active and raises the session's flags.
// Returns 170 when it stopped after reading, 0 when the link never became active.
int UpdateReader(UpdateSession& session);

// The reply handler: one good packet from the device (command at offset 4).
void HandleUpdateReply(UpdateSession& session, const uint8_t* packet, size_t size);

// The delay primitive of the program. It counts on a coarse millisecond tick that moves
// 1/64 s at a time and ends once the tick has moved by more than `ms`, so one delay unit
// (ms = 1) lasts one tick, about 15.6 ms: the time-outs in firmware images count such
// units, and the device's loader needs that long to erase and write.
void SleepDelay(int ms);

// The coarse tick the delay primitive counts on, in milliseconds.
uint64_t CoarseTickMs();

}  // namespace rq700

#endif  // RQ700_UPDATER_UPDATE_WORKER_H_
