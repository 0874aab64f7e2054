#ifndef RQ700_EDITOR_INPUT_CONTEXT_H_
#define RQ700_EDITOR_INPUT_CONTEXT_H_

#include "editor/file_actions.h"
#include "editor/shell.h"
#include "editor/tap_tempo.h"
#include "protocol/device_state.h"
#include "skin/view_state.h"

namespace rq700 {

// What every input handler works on. Handlers write the edit model and the view state
// only; the sequencer notices what changed and tells the device.
struct InputContext {
  DeviceState& device;
  ViewState& view;
  Shell& shell;
  FileActions& files;
  TickClock clock;  // for the control page's tap button

  int active_item() const { return ActiveItem(device, view); }
  // Ids above 255 (the backup/restore popup) do not fit the device state's byte: while one
  // is active the byte holds 0, for which the page channel reports nothing, as for the id.
  void set_active_item(int id) {
    view.wide_active_item = id > 255 ? id : 0;
    device.active_item.Set(static_cast<uint8_t>(id > 255 ? 0 : id));
  }
};

}  // namespace rq700

#endif  // RQ700_EDITOR_INPUT_CONTEXT_H_
