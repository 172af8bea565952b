// "kvfonds.ini": the global and per-dialog style records.
#include "controls/core/style_record.h"

void ReadGlobalFlags() {}
void LoadGlobalStyle() {}
void ReleaseGlobalStyle() {}
