#ifndef RQ700_EDITOR_HISTORY_INPUT_H_
#define RQ700_EDITOR_HISTORY_INPUT_H_

#include <string_view>

#include "editor/edit_history.h"
#include "editor/window_logic.h"

namespace rq700 {

// The view's pointer handlers with the undo history around them: what each call changes
// joins the open step, and a release or an Enter closes it. A press closes a step whose
// release never came (a message box took it).
class HistoryInput final : public PointerInput {
 public:
  HistoryInput(PointerInput& inner, EditHistory& history) : inner_(inner), history_(history) {}

  void Press(int x, int y, Modifier modifier) override {
    history_.Commit();
    history_.BeforeInput();
    inner_.Press(x, y, modifier);
    history_.AfterInput();
  }
  void Move(int x, int y) override {
    history_.BeforeInput();
    inner_.Move(x, y);
    history_.AfterInput();
  }
  void Release(int x, int y) override {
    history_.BeforeInput();
    inner_.Release(x, y);
    history_.AfterInput();
    history_.Commit();
  }
  void Wheel(int delta) override { inner_.Wheel(delta); }
  void PlaceValueEntry() override { inner_.PlaceValueEntry(); }
  void EnterValue(std::string_view text) override {
    history_.BeforeInput();
    inner_.EnterValue(text);
    history_.AfterInput();
    history_.Commit();
  }

 private:
  PointerInput& inner_;
  EditHistory& history_;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_HISTORY_INPUT_H_
