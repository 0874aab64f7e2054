// What one repaint of the editor's window costs: the back buffer stretched smoothly onto
// the client area at 1x and 1.5x, and the window's whole repaint around it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <memory>

#include "editor/main_window.h"
#include "editor/skin_loader.h"
#include "skin/view_painter.h"

namespace rq700 {
namespace {

QApplication* App() {
  static int argc = 1;
  static char name[] = "bench_editor_present";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return app;
}

QImage BaseCanvas() {
  QImage image(kBaseCanvasWidth, kBaseCanvasHeight, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) row[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
  }
  return image;
}

// The present step alone: back buffer to a window-sized surface.
void BM_PresentBackBuffer(benchmark::State& state) {
  App();
  const double scale = static_cast<double>(state.range(0)) / 100.0;
  const QImage back_buffer = BaseCanvas();
  const QSize size(static_cast<int>(kBaseCanvasWidth * scale),
                   static_cast<int>(kBaseCanvasHeight * scale));
  QImage surface(size, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&surface);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (size == back_buffer.size()) {
      painter.drawImage(QPoint(0, 0), back_buffer);
    } else {
      painter.drawImage(QRect(QPoint(0, 0), size), back_buffer);
    }
    painter.end();
    benchmark::DoNotOptimize(surface.constBits());
  }
  state.SetLabel(std::to_string(size.width()) + "x" + std::to_string(size.height()));
}
BENCHMARK(BM_PresentBackBuffer)
    ->Arg(100)
    ->Arg(150)
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// The window's whole repaint as the 50 ms timer asks for it: the main view painted into
// the back buffer with the built skin, then presented.
void BM_WindowRepaint(benchmark::State& state) {
  App();
  auto device = std::make_unique<DeviceState>();
  ViewState ui;
  class NoShell : public Shell {
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
    std::optional<SaveDialogChoice> RunSaveDialog(const SaveDialogSetup&) override {
      return std::nullopt;
    }
  } shell;
  QtImageSet images = LoadEditorSkin(RQ700_DIST_DIR "/ZORVA_RQ700/img");
  MainWindow::Options options;
  options.run_timers = false;
  ResetToDefaults(*device);
  MainWindow window(*device, ui, shell, std::move(images), options);
  EditorViewPainter painter(*device, ui);
  window.set_painter([&painter](Canvas& canvas) { painter.Paint(canvas); });
  window.show();
  const double scale = static_cast<double>(state.range(0)) / 100.0;
  window.resize(static_cast<int>(kBaseCanvasWidth * scale),
                static_cast<int>(kBaseCanvasHeight * scale));
  QCoreApplication::processEvents();
  for (auto _ : state) {
    window.repaint();
  }
  state.SetLabel(std::to_string(window.width()) + "x" + std::to_string(window.height()));
}
BENCHMARK(BM_WindowRepaint)
    ->Arg(100)
    ->Arg(150)
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// A frame after a change, as the 50 ms tick makes it: the view repainted into the back
// buffer, the changed part rescaled and presented. Arg 1 picks the change: 0 the mouse
// moving on and off a top button, 1 the system page opening and closing.
void BM_FrameAfterChange(benchmark::State& state) {
  App();
  auto device = std::make_unique<DeviceState>();
  ViewState ui;
  class NoShell : public Shell {
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
    std::optional<SaveDialogChoice> RunSaveDialog(const SaveDialogSetup&) override {
      return std::nullopt;
    }
  } shell;
  QtImageSet images = LoadEditorSkin(RQ700_DIST_DIR "/ZORVA_RQ700/img");
  MainWindow::Options options;
  options.run_timers = false;
  ResetToDefaults(*device);
  MainWindow window(*device, ui, shell, std::move(images), options);
  EditorViewPainter painter(*device, ui);
  window.set_painter([&painter](Canvas& canvas) { painter.Paint(canvas); });
  window.show();
  const double scale = static_cast<double>(state.range(0)) / 100.0;
  window.resize(static_cast<int>(kBaseCanvasWidth * scale),
                static_cast<int>(kBaseCanvasHeight * scale));
  QCoreApplication::processEvents();
  bool on = false;
  for (auto _ : state) {
    on = !on;
    if (state.range(1) == 0) {
      ui.hover_item = on ? 1 : 0;
    } else {
      device->active_item.Set(on ? 6 : 255);
    }
    window.RepaintTick();
    QCoreApplication::processEvents();
  }
  state.SetLabel(std::to_string(window.width()) + "x" + std::to_string(window.height()) +
                 (state.range(1) == 0 ? " hover" : " page"));
}
BENCHMARK(BM_FrameAfterChange)
    ->Args({100, 0})
    ->Args({150, 0})
    ->Args({100, 1})
    ->Args({150, 1})
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace rq700

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
