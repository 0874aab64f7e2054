// Time to paint one whole frame of the editor's view into the back buffer, with the real
// skin and the Qt canvas: the main view, and the view with its busiest popups open; and the
// main view drawn for a dense or enlarged screen, at 2x (2464 x 1558) and 1.5x.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QGuiApplication>
#include <array>
#include <memory>
#include <string>

#include "catalog/text_styles.h"
#include "protocol/device_state.h"
#include "skin/image_paths.h"
#include "skin/qt_canvas.h"
#include "skin/view_painter.h"

namespace rq700 {
namespace {

struct Scene {
  std::unique_ptr<DeviceState> device = std::make_unique<DeviceState>();
  ViewState view;
  QtImageSet images;
  std::array<catalog::TextStyle, catalog::kTextStyleCount> styles{};

  Scene() {
    ResetToDefaults(*device);
    for (int i = 0; i < kChainLength; ++i) device->chain_order[i].SetBoth(i + 1);
    for (int i = 0; i < kPresetCount; ++i) {
      const uint8_t name[16] = {'P', 'R', 'E', 'S', 'E', 'T', ' ', uint8_t('A' + i % 26)};
      SetPresetName(*device, i, name, sizeof name);
    }
    device->current_preset.store(3);
    device->selected_module.Set(3);
    const QDir dir(QString(RQ700_DIST_DIR) + "/ZORVA_RQ700/img");
    images.resize(kEditorImageCount);
    for (int n = 0; n < kEditorImageCount; ++n) {
      images[n].Load(dir.filePath(QString::fromStdString(EditorImagePath(n))));
      images[n].Premultiply();
    }
    for (int i = 0; i < catalog::kTextStyleCount; ++i) styles[i] = catalog::GetTextStyle(i);
  }
};

void PaintFrames(benchmark::State& st, Scene& scene, double scale = 1.0) {
  EditorViewPainter painter(*scene.device, scene.view);
  QtBackBuffer buffer = QtBackBuffer::CreateScaled(1232, 779, scale, scale);
  {
    // The first frame at a scale reads (and at 1.5x rescales) the 2x pictures once, as a
    // running window does on its first paint; the frames timed are the ones after it.
    QtCanvas canvas(buffer, scene.images, scene.styles);
    painter.Paint(canvas);
  }
  for (auto _ : st) {
    QtCanvas canvas(buffer, scene.images, scene.styles);
    painter.Paint(canvas);
    benchmark::DoNotOptimize(buffer.pixels.constBits());
  }
  st.SetLabel(std::to_string(buffer.pixels.width()) + "x" + std::to_string(buffer.pixels.height()));
}

void BM_MainView(benchmark::State& st) {
  Scene scene;
  PaintFrames(st, scene);
}

// At a scale: arg is the scale in percent.
void BM_MainViewScaled(benchmark::State& st) {
  Scene scene;
  PaintFrames(st, scene, static_cast<double>(st.range(0)) / 100.0);
}

// The amplifier list: 26 rows of names over the whole main view.
void BM_AmpListOpen(benchmark::State& st) {
  Scene scene;
  scene.device->active_item.Set(90);
  scene.view.amp_list_offset = 39;
  PaintFrames(st, scene);
}

// The EXP page with its settings sub-page: the most images and two more sliders.
void BM_ExpSettingsOpen(benchmark::State& st) {
  Scene scene;
  scene.device->active_item.Set(8);
  scene.device->active_sub_item.Set(56);
  scene.device->exp_tab.store(1);
  scene.device->exp1_module.Set(6);
  scene.device->exp_switch.Set(1);
  PaintFrames(st, scene);
}

void BM_SystemPageOpen(benchmark::State& st) {
  Scene scene;
  scene.device->active_item.Set(6);
  PaintFrames(st, scene);
}

BENCHMARK(BM_MainView)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_MainViewScaled)
    ->Arg(200)
    ->Arg(150)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_AmpListOpen)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ExpSettingsOpen)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SystemPageOpen)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace rq700

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
