#ifndef RQ700_SKIN_VIEW_PAINTER_H_
#define RQ700_SKIN_VIEW_PAINTER_H_

// Paints the editor's whole view, one frame at a time, from the device state, the view
// state and the skin images, through a Canvas. Platform-free.

#include <functional>
#include <string>

#include "protocol/device_state.h"
#include "skin/canvas.h"
#include "skin/view_state.h"

namespace rq700 {

// Colours of the view.
namespace view_colour {
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kHighlight{246, 174, 69};
inline constexpr Rgb kDarkGrey{95, 95, 95};
inline constexpr Rgb kLightGrey{207, 207, 207};
inline constexpr Rgb kSelectionTint{251, 213, 158};
inline constexpr Rgb kPanelGrey{238, 238, 238};
inline constexpr Rgb kListGrey{136, 136, 136};
inline constexpr Rgb kDisabledGrey{128, 128, 128};
inline constexpr Rgb kThumbGrey{45, 45, 45};
}  // namespace view_colour

// A slider: its bar filled dark left of the knob and light right of it, the knob white (or
// highlighted while the mouse is over `id`), and its value box. A value above `maximum` is
// drawn at the end of the bar; a maximum of 0 draws the knob at the left end.
void PaintSlider(Canvas& canvas, int hover_item, int id, unsigned value, int left, int top,
                 int right, int bottom, unsigned maximum);
// The same over 0..100 and without the value box.
void PaintVolumeSlider(Canvas& canvas, int hover_item, int id, unsigned value, int left, int top,
                       int right, int bottom);

// Display name of `model` of module `type`, user slots included (their device names, or
// "EMPTY" and "IR-n" until the device reports them); empty where there is no such model.
std::string ModelDisplayName(const DeviceState& device, int type, int model);

class EditorViewPainter {
 public:
  // The painter reads `device` and `view`; it writes the device state in one place only:
  // on the EXP settings page, an EXP low value above the high value is brought down to it.
  EditorViewPainter(DeviceState& device, const ViewState& view);

  // Called when a running backup or restore has shown the same percentage for more than
  // 150 frames: the owner abandons the transfer and reports the failure.
  std::function<void()> on_transfer_stalled;

  // Paints one whole frame.
  void Paint(Canvas& canvas);

  // The painter's own memory: the chain slot of the selection frame (-1 before one was
  // found) and the stall watch over the transfer percentage.
  int remembered_slot() const { return remembered_slot_; }
  int stall_count() const { return stall_count_; }

 private:
  void PaintBase(Canvas& c);
  void PaintTopButtons(Canvas& c);
  void PaintPageButtons(Canvas& c);
  void PaintPresetList(Canvas& c);
  void PaintChain(Canvas& c);
  void PaintModelField(Canvas& c);
  void PaintModulePanel(Canvas& c);
  void PaintPopup(Canvas& c);
  void PaintExpLabels(Canvas& c);

  void PaintBackupPopup(Canvas& c);
  void PaintVersionPopup(Canvas& c);
  void PaintControlPage(Canvas& c);
  void PaintExpPage(Canvas& c);
  void PaintSystemPage(Canvas& c);
  void PaintModelList(Canvas& c);
  void PaintSubList(Canvas& c, int item);

  void PaintField(Canvas& c, int rect, int hover_id);
  void Mark(Canvas& c, int rect, int dx = 0, int dy = 0);
  void Image(Canvas& c, int image, int rect, int dx = 0, int dy = 0);
  bool Hover(int id) const { return view_.hover_item == id; }

  DeviceState& device_;
  const ViewState& view_;
  int remembered_slot_ = -1;
  int stall_count_ = 0;
  int stall_last_ = 0;
};

}  // namespace rq700

#endif  // RQ700_SKIN_VIEW_PAINTER_H_
