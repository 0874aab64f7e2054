#include "editor/value_entry_input.h"

namespace rq700 {

void PlaceValueEntry(InputContext&, int) {}

}  // namespace rq700
