#ifndef RQ700_CATALOG_PANEL_LABELS_H_
#define RQ700_CATALOG_PANEL_LABELS_H_

#include <string_view>

// The names printed beside a module panel's sliders and list fields, as the panel cards
// carry them: one per control of the model's panel layout, in the layout's order. The skin
// generator prints the cards from them and the command line names values by them.
namespace rq700::catalog {

// Label of control `index` (0-based, in GetPanelLayout's order) of module 1..9 and one of
// its models; empty where the layout has no such control.
std::string_view ControlLabel(int module, int model, int index);

}  // namespace rq700::catalog

#endif  // RQ700_CATALOG_PANEL_LABELS_H_
