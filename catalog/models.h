#ifndef RQ700_CATALOG_MODELS_H_
#define RQ700_CATALOG_MODELS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

// Model tables of every module. Model numbers count from 1; model m is entry m-1.
// The AMP and CAB tables end in ten user slots whose names change at run time; those names
// live in UserSlotNames, which the drawing code and the threads that replace them share.
namespace rq700::catalog {

inline constexpr int kUserSlotCount = 10;
inline constexpr size_t kSlotNameSize = 15;  // bytes of one slot name from the device
inline constexpr size_t kSlotBlockSize = kUserSlotCount * kSlotNameSize;  // 150

inline constexpr int kFirstUserAmpModel = 56;  // AMP models 56..65 are user slots 1..10
inline constexpr int kFirstUserIrModel = 27;   // CAB models 27..36 are user slots 1..10
inline constexpr int kBuiltInAmpCount = 55;
inline constexpr int kBuiltInCabCount = 26;

// Number of models of module 1..9 (8, 20, 65, 36, 3, 4, 20, 9, 7); 0 outside 1..9.
int ModelCount(int module);

// Name of a fixed (not user-slot) model; empty for a user slot, a model outside
// 1..ModelCount(module), or a module outside 1..9.
std::string_view FixedModelName(int module, int model);

// Names of the ten user amplifier slots and the ten user impulse-response slots.
// Each read copies the name out under the lock and each write swaps in a finished string,
// so a reader on another thread sees either the old or the new name, never a mix.
class UserSlotNames {
 public:
  UserSlotNames();  // "EMPTY" x10 and "IR-1".."IR-10"

  // Slots count from 1; a slot outside 1..10 reads as empty and is not written.
  std::string AmpName(int slot) const;
  std::string IrName(int slot) const;
  void SetAmpName(int slot, std::string_view utf8_name);
  void SetIrName(int slot, std::string_view utf8_name);

  // A 150-byte block from the device: ten 15-byte Latin-1 names, slot 1 first, each read
  // up to its first NUL. All ten are replaced together.
  void SetAmpNamesFromBlock(const uint8_t* block);
  void SetIrNamesFromBlock(const uint8_t* block);

  // Display name of any model, user slots included; empty where there is no model.
  std::string ModelName(int module, int model) const;

 private:
  mutable std::mutex mutex_;
  std::array<std::string, kUserSlotCount> amp_;
  std::array<std::string, kUserSlotCount> ir_;
};

// A device name field (Latin-1 bytes, up to the first NUL within max_len) as UTF-8.
std::string DeviceNameToUtf8(const uint8_t* bytes, size_t max_len);

}  // namespace rq700::catalog

#endif  // RQ700_CATALOG_MODELS_H_
