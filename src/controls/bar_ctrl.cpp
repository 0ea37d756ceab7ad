#include "controls/bar_ctrl.h"

#include "host/color.h"

namespace vex::engine {

using namespace vex::host;

void PaintStatusGrip(HDC dc, int w, int h, TColor fill) {
  if (!dc) return;
  HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(fill)));
  HPEN pen = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(ColorToRGB(static_cast<TColor>(0xFF000003))));
  if (!brush || !pen) {
    if (brush) DeleteObject(brush);
    if (pen) DeleteObject(pen);
    return;
  }
  const RECT g{w - 16, h - 15, w - 1, h - 1};
  FillRect(dc, &g, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  MoveToEx(dc, g.left + 1, g.bottom, nullptr);
  LineTo(dc, g.right, g.top);
  for (int i = 0; i < 3; ++i) {
    MoveToEx(dc, g.left + 5 + 4 * i, g.bottom, nullptr);
    LineTo(dc, g.right, g.top + 4 + 4 * i);
  }
  SelectObject(dc, oldPen);
  if (h - 15 > 3) {
    const RECT above{w - 16, 3, w - 1, h - 15};
    FillRect(dc, &above, brush);
  }
  const RECT beside{w - 20, 3, w - 16, h - 1};
  FillRect(dc, &beside, brush);
  DeleteObject(pen);
  DeleteObject(brush);
}

}  // namespace vex::engine
