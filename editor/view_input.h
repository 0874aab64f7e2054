#ifndef RQ700_EDITOR_VIEW_INPUT_H_
#define RQ700_EDITOR_VIEW_INPUT_H_

// The pointer handlers of the editor's view: presses, moves, releases and wheel turns in
// base-canvas coordinates, handed to the open popup or page, or to the main view's
// controls in their fixed order. Each area lives in its own file (preset list, chain,
// popups, model lists, module panel, pages, value entry box); this one only dispatches.

#include "editor/file_actions.h"
#include "editor/input_context.h"
#include "editor/shell.h"
#include "editor/window_logic.h"
#include "protocol/device_state.h"
#include "skin/view_state.h"

namespace rq700 {

class ViewInput final : public PointerInput {
 public:
  ViewInput(DeviceState& device, ViewState& view, Shell& shell, FileActions& files,
            TickClock clock = SteadyTickCount);

  void Press(int x, int y, Modifier modifier) override;
  void Move(int x, int y) override;
  void Release(int x, int y) override;
  void Wheel(int delta) override;
  void PlaceValueEntry() override;
  void EnterValue(std::string_view text) override;

 private:
  void PressMainView(int x, int y, Modifier modifier);
  void PressTopRow(int x, int y);
  void Hover(int x, int y);
  void HoverMainView(int x, int y);
  void Drag(int x, int y);

  InputContext c_;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_VIEW_INPUT_H_
