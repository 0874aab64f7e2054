#ifndef RQ700_FILES_PRESET_DIFF_H_
#define RQ700_FILES_PRESET_DIFF_H_

#include <cstdint>
#include <string>
#include <vector>

#include "catalog/models.h"
#include "catalog/panel_layout.h"

// What differs between two preset records, named and printed as the editor shows presets:
// module and model names from the catalog, the panel's labels and value formats.
namespace rq700::files {

// The value a panel control of `module` shows, read from a preset record.
int StoredControlValue(const uint8_t* record, int module, const catalog::PanelControl& control);

// One line per difference, "what: old -> new", in this order: name, chain positions, each
// module (model, on/off, then its panel's values), volume, EXP switch, the two EXP targets,
// the control page's module switches, and last a count of the other stored bytes that
// differ. No lines: the two records are the same byte for byte.
std::vector<std::string> DiffPresets(const uint8_t* a, const uint8_t* b,
                                     const catalog::UserSlotNames& slots);

}  // namespace rq700::files

#endif  // RQ700_FILES_PRESET_DIFF_H_
