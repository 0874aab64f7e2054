#ifndef RQ700_SKIN_VIEW_STATE_H_
#define RQ700_SKIN_VIEW_STATE_H_

// What the mouse and the open popups are doing with the view, as the painter reads it, and
// the little the input handlers keep beside it. The input handlers own and write these
// fields on the UI thread; everything that the device or the sequencer also sees (active
// item and sub-item, list cursor, current preset, page bytes, the EXP tab) lives in
// DeviceState instead.

#include <array>
#include <cstdint>

#include "protocol/device_state.h"

namespace rq700 {

struct ViewState {
  // Items under the mouse and under the last press (item ids of the hit tables).
  int32_t hover_item = 0;
  int32_t pressed_item = 0;
  int32_t button_down = 0;
  int32_t drag_started = 0;
  int16_t last_mouse_x = 0;
  int16_t last_mouse_y = 0;
  int16_t grab_offset_x = 0;
  int16_t grab_offset_y = 0;
  int32_t last_released_slot = 0;
  int32_t tap_key_held = 0;
  // Tap tempo: when the last tap came (monotonic milliseconds) and the gap before it.
  uint32_t last_tap_time = 0;
  int32_t tap_interval = 0;

  // Preset list.
  int32_t list_top = 0;
  int32_t hover_row = 255;
  std::array<uint8_t, 200> list_selected{};
  // Scroll-thumb drags (the preset list's, and the two scrolling model lists'): where the
  // list and the mouse stood at the press, and the last step applied.
  int32_t thumb_start_top = 0;
  int32_t thumb_start_y = 0;
  int32_t last_thumb_step = 0;

  // Model lists: first visible rows of the scrolling lists, and each list's hover marker
  // (row + 1 under the mouse, 0 when none), indexed by module type.
  int32_t amp_list_offset = 0;
  int32_t cab_list_offset = 0;
  std::array<int32_t, 10> model_list_hover{};
  // Sub-selector lists keep the row last hovered (0 before any hover); the two sync-note
  // lists of the two-head delay share one marker.
  int32_t mic_list_hover = 0;
  int32_t tube_list_hover = 0;
  int32_t sync_list_hover = 0;
  int32_t sync_ab_list_hover = 0;
  // Version popup: 0 while the mouse is over its one entry.
  int32_t version_entry_marker = 1;

  // User-slot jobs marked by the model lists: amplifier imports (bit n-1 for slot n) and
  // impulse-response imports (bit n-1) and deletions (bit n+9).
  uint32_t amp_import_mask = 0;
  uint32_t ir_mask = 0;

  // The active item when it does not fit the device state's byte (500, the backup/restore
  // popup); 0 otherwise, and then the device state's active item counts.
  int32_t wide_active_item = 0;

  // Percentage of the running backup or restore, 0 while none runs.
  int32_t transfer_percent = 0;

  // A preset import gave preset `imported_name_index` the name of its file; its former 16
  // name bytes are kept here, so that declining to save puts them back.
  int32_t imported_name_pending = 0;
  int32_t imported_name_index = 0;
  std::array<uint8_t, record::kNameSize> previous_name{};

  // The window repaints when the view state differs from the one its last frame showed.
  friend bool operator==(const ViewState&, const ViewState&) = default;
};

// The open popup or page, or the last pressed item: the wide item while one is set.
inline int ActiveItem(const DeviceState& device, const ViewState& view) {
  return view.wide_active_item != 0 ? view.wide_active_item : device.active_item.Get();
}

}  // namespace rq700

#endif  // RQ700_SKIN_VIEW_STATE_H_
