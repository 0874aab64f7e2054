#ifndef RQ700_EDITOR_INTERACTION_H_
#define RQ700_EDITOR_INTERACTION_H_

#include <array>
#include <cstdint>

namespace rq700 {

// Item ids the window itself looks at.
inline constexpr int kItemNothing = 0;
inline constexpr int kItemPresetList = 5;

// What the mouse is doing with the view, kept on the UI thread. The active item, the
// active sub-item, the list cursor and the list row live in the device state, because
// the sequencer sends them.
struct Interaction {
  int32_t pressed_item = 0;
  int32_t hover_item = 0;
  int32_t button_down = 0;
  int32_t drag_started = 0;
  int16_t last_mouse_x = 0;
  int16_t last_mouse_y = 0;
  int16_t grab_offset_x = 0;
  int16_t grab_offset_y = 0;
  int32_t last_released_slot = 0;
  int32_t list_top = 0;
  int32_t hover_row = 255;
  std::array<uint8_t, 200> list_selected{};
  int32_t thumb_start_top = 0;
  int32_t thumb_start_y = 0;
  int32_t last_thumb_step = 0;
  int32_t amp_list_offset = 0;
  int32_t cab_list_offset = 0;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_INTERACTION_H_
