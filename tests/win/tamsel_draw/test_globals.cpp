// Library state that the drawing sources built into this test program share with the library.
#include "controls/core/library.h"

namespace tamsel {
HBRUSH dotPatternBrush = nullptr;
}  // namespace tamsel
