#include "wizard/presentation/window_position.h"

#include <algorithm>

namespace presentation {
namespace {

int KeepInside(int position, int length, int low, int extent) {
    if (position + length > low + extent) {
        position = low + extent - length;
    }
    // Last, so that a window larger than the area starts at its edge.
    if (position < low) {
        position = low;
    }
    return position;
}

}  // namespace

ScreenPoint CentredPosition(const ScreenRect& window, const ScreenRect& workArea,
                            const ScreenRect* reference, int smallIconWidth, int smallIconHeight) {
    const ScreenRect& around = reference != nullptr ? *reference : workArea;
    int x = around.left + (around.width - window.width) / 2;
    int y = around.top + (around.height - window.height) / 2;
    if (reference != nullptr) {
        x = std::max(x, around.left + smallIconWidth);
        y = std::max(y, around.top + smallIconHeight);
    }
    ScreenPoint corner;
    corner.x = KeepInside(x, window.width, workArea.left, workArea.width);
    corner.y = KeepInside(y, window.height, workArea.top, workArea.height);
    return corner;
}

}  // namespace presentation
