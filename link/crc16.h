#ifndef RQ700_LINK_CRC16_H_
#define RQ700_LINK_CRC16_H_

#include <cstddef>
#include <cstdint>

namespace rq700 {

// CRC-16/GSM: polynomial 0x1021, initial 0, not reflected, final XOR 0xFFFF.
// Check value for "123456789" is 0xCE3C.
uint16_t Crc16Gsm(const uint8_t* data, size_t size);

}  // namespace rq700

#endif  // RQ700_LINK_CRC16_H_
