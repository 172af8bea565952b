#include "retouch/imaging/dib_adjust.h"

#include "retouch/imaging/image_adjust.h"

int AdjustImage(DibHandle source, DibHandle destination, int a, int b, int c, int d) {
  if (!source) return 0;
  DibLock from(source);
  if (!from.ok()) return 0;
  if (!destination || destination == source) return dib::AdjustImage(from.view(), nullptr, a, b, c, d) ? 1 : 0;
  DibLock to(destination);
  if (!to.ok()) return 0;
  return dib::AdjustImage(from.view(), &to.view(), a, b, c, d) ? 1 : 0;
}
