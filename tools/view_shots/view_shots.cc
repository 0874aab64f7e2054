// Renders the editor's view off screen, with the virtual device's factory presets, into
// JPEG files: the main view and every popup and page. Used for the pictures in docs/.
// Usage: view_shots <editor img dir> <output dir> [<scale>]
// With a scale (2 for a dense screen) the view is drawn at that scale, as the window draws
// it there, into "<name>@<scale>x.jpg".

#include <QDir>
#include <QGuiApplication>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "catalog/text_styles.h"
#include "editor/skin_loader.h"
#include "emulator/device_state.h"
#include "protocol/device_state.h"
#include "skin/qt_canvas.h"
#include "skin/view_painter.h"

namespace rq700 {
namespace {

void LoadFactoryPresets(DeviceState& state) {
  auto device = std::make_unique<emu::DeviceState>();
  emu::FactoryReset(*device);
  for (int i = 0; i < kPresetCount; ++i) {
    WriteRecord(state, i, device->presets[i].data());
    SetPresetName(state, i, device->presets[i].data() + 12, 16);
  }
  for (int b = 0; b < kSystemBytes; ++b) state.system[b].SetBoth(device->system[b]);
  {
    std::lock_guard<std::mutex> lock(state.text_lock);
    for (int s = 0; s < kUserSlots; ++s) {
      const auto ir = emu::SlotListName(device->ir[s]);
      const auto amp = emu::SlotListName(device->amp[s]);
      state.user_ir_names[s] = Latin1Text(ir.data(), ir.size());
      state.user_amp_names[s] = Latin1Text(amp.data(), amp.size());
    }
    state.version_text = "Version 2.0.0";
  }
  state.tempo.SetBoth(device->tempo);
  state.exp_low.SetBoth(device->exp_low);
  state.exp_high.SetBoth(device->exp_high);
  state.exp_tab.store(device->exp_tab);
}

void Choose(DeviceState& state, int preset) {
  SelectPreset(state, preset);
  state.current_preset.store(preset);
  state.list_cursor.SetBoth(preset);
}

}  // namespace
}  // namespace rq700

int main(int argc, char** argv) {
  using namespace rq700;
  if (argc < 3) {
    std::fprintf(stderr, "usage: view_shots <editor img dir> <output dir> [<scale>]\n");
    return 2;
  }
  const double scale = argc > 3 ? std::atof(argv[3]) : 1.0;
  if (!(scale > 0.1 && scale <= 8)) {
    std::fprintf(stderr, "view_shots: the scale must be above 0.1 and at most 8\n");
    return 2;
  }
  const QString suffix =
      scale == 1.0 ? QString() : QStringLiteral("@%1x").arg(QString::number(scale));
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QtImageSet images = LoadEditorSkin(QString::fromLocal8Bit(argv[1]));
  const QString out_dir = QString::fromLocal8Bit(argv[2]);
  QDir().mkpath(out_dir);
  std::array<catalog::TextStyle, catalog::kTextStyleCount> styles{};
  for (int i = 0; i < catalog::kTextStyleCount; ++i) styles[i] = catalog::GetTextStyle(i);

  auto state = std::make_unique<DeviceState>();
  ResetToDefaults(*state);
  LoadFactoryPresets(*state);
  ViewState view;
  EditorViewPainter painter(*state, view);

  bool ok = true;
  auto shot = [&](const char* name, const std::function<void()>& setup) {
    // Every picture starts from the same main view.
    Choose(*state, 0);
    view = ViewState{};
    state->active_item.Set(255);
    state->active_sub_item.Set(255);
    state->dirty.store(0);
    setup();
    QtBackBuffer buffer = QtBackBuffer::CreateScaled(1232, 779, scale, scale);
    {
      QtCanvas canvas(buffer, images, styles);
      painter.Paint(canvas);
    }
    ok = buffer.pixels.save(out_dir + "/" + name + suffix + ".jpg", "JPG", 90) && ok;
  };

  shot("main", [&] {
    state->selected_module.Set(3);
    view.hover_item = 14;
    view.hover_row = 4;
    view.list_selected[2] = view.list_selected[3] = 1;
  });
  shot("main-delay", [&] {
    Choose(*state, 5);
    state->selected_module.Set(8);
    state->module[8].model.Set(9);
    state->dirty.store(1);
    view.list_top = 3;
  });
  shot("main-eq", [&] {
    Choose(*state, 9);
    state->selected_module.Set(6);
    state->module[6].model.Set(1);
  });
  shot("main-drag", [&] {
    state->selected_module.Set(2);
    view.button_down = 1;
    view.pressed_item = 12;
    view.hover_item = 16;
    view.last_mouse_x = 700;
    view.last_mouse_y = 640;
    view.grab_offset_x = 40;
    view.grab_offset_y = 50;
  });
  shot("popup-volume", [&] {
    state->active_item.Set(20);
    view.hover_item = 21;
  });
  shot("popup-version", [&] {
    state->active_item.Set(4);
    view.version_entry_marker = 0;
  });
  shot("popup-backup", [&] {
    view.wide_active_item = 500;
    view.hover_item = 501;
    view.transfer_percent = 37;
  });
  shot("page-system", [&] {
    state->active_item.Set(6);
    view.hover_item = 23;
  });
  shot("page-system-confirm", [&] {
    state->active_item.Set(6);
    state->active_sub_item.Set(23);
  });
  shot("page-system-calibrate", [&] {
    state->active_item.Set(6);
    state->active_sub_item.Set(22);
  });
  shot("page-control-switch", [&] {
    state->active_item.Set(7);
    state->tab_marker.store(1);
    view.hover_item = 45;
  });
  shot("page-control-tempo", [&] {
    state->active_item.Set(7);
    state->tab_marker.store(0);
    view.hover_item = 200;
  });
  shot("page-exp", [&] {
    state->active_item.Set(8);
    state->exp_tab.store(1);
    state->exp1_module.Set(7);
    state->exp1_param[7].Set(5);
  });
  shot("page-exp-settings", [&] {
    state->active_item.Set(8);
    state->active_sub_item.Set(56);
    state->exp_settings_marker.store(1);
    state->exp_switch.Set(1);
    state->exp_low.Set(20);
    state->exp_high.Set(85);
  });
  shot("list-amp", [&] {
    state->selected_module.Set(3);
    state->module[3].model.Set(40);
    state->active_item.Set(90);
    view.amp_list_offset = 34;
    view.model_list_hover[3] = 8;
  });
  shot("list-cab", [&] {
    state->selected_module.Set(4);
    state->active_item.Set(90);
    view.cab_list_offset = 10;
  });
  shot("list-mod", [&] {
    state->selected_module.Set(7);
    state->active_item.Set(90);
    view.model_list_hover[7] = 6;
  });
  shot("list-microphone", [&] {
    state->selected_module.Set(4);
    state->module[4].model.Set(6);
    state->active_item.Set(117);
    view.mic_list_hover = 3;
  });
  return ok ? 0 : 1;
}
