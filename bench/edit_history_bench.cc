// What the undo history costs the UI thread: a slider drag's mouse move through the view's
// handlers without and with the history around them, and one undo with its redo.
#include <benchmark/benchmark.h>

#include <memory>

#include "editor/edit_history.h"
#include "editor/history_input.h"
#include "editor/view_input.h"

namespace rq700 {
namespace {

struct Desk : Shell {
  void ShowMessage(MessageOwner, std::string_view, std::string_view, MessageIcon) override {}
  bool AskYesNo(MessageOwner, std::string_view, std::string_view, MessageIcon) override {
    return false;
  }
  void SetWaitCursor(bool) override {}
  bool IsWaitCursor() const override { return false; }
  void HideValueEntry() override {}
  void ClearValueEntry() override {}
  void ShowValueEntry(int, int, int, int) override {}
  void SetValueEntryFont(int) override {}
  std::vector<std::string> ChooseOpenFiles(std::string_view, std::string_view, bool) override {
    return {};
  }
  std::string ChooseSaveFile(std::string_view, std::string_view, std::string_view) override {
    return {};
  }
  std::string ChooseFolder(std::string_view) override { return {}; }
  void OpenUrl(std::string_view) override {}
  std::optional<SaveDialogChoice> RunSaveDialog(const SaveDialogSetup&) override { return {}; }
};

struct Editor {
  Editor() {
    ResetToDefaults(*device);
    device->selected_module.Set(kAmp);
  }
  std::unique_ptr<DeviceState> device = std::make_unique<DeviceState>();
  ViewState view;
  Desk shell;
  NoFileActions files;
  ViewInput input{*device, view, shell, files};
  EditHistory history{*device};
  HistoryInput with_history{input, history};
};

// The AMP gain dragged back and forth across its bar, one move per iteration.
void DragMoves(benchmark::State& state, bool with_history) {
  Editor e;
  PointerInput& input = with_history ? static_cast<PointerInput&>(e.with_history)
                                     : static_cast<PointerInput&>(e.input);
  input.Move(200, 267);
  input.Press(200, 267, Modifier::kNone);
  int x = 184;
  for (auto _ : state) {
    input.Move(x, 267);
    x = x == 374 ? 184 : x + 1;
  }
  input.Release(x, 267);
}
void BM_DragMove(benchmark::State& state) { DragMoves(state, false); }
void BM_DragMoveWithHistory(benchmark::State& state) { DragMoves(state, true); }
BENCHMARK(BM_DragMove);
BENCHMARK(BM_DragMoveWithHistory);

void BM_UndoRedo(benchmark::State& state) {
  Editor e;
  e.with_history.Move(200, 267);
  e.with_history.Press(200, 267, Modifier::kNone);
  e.with_history.Release(200, 267);
  for (auto _ : state) {
    benchmark::DoNotOptimize(e.history.Undo());
    benchmark::DoNotOptimize(e.history.Redo());
  }
}
BENCHMARK(BM_UndoRedo);

}  // namespace
}  // namespace rq700

BENCHMARK_MAIN();
