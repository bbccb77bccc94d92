#pragma once
// A label that draws its own text: no mnemonic prefixes, no ellipsis, on the
// button face. It tells its parent of a left button press at once, as
// WM_COMMAND with STN_CLICKED.
#include <windows.h>

namespace tamsel {

inline constexpr DWORD kLabelWrapRed = 0x0001;  // 标签3: red, wrapped from the top left

// Creates a label child window; flags is 0 or kLabelWrapRed.
HWND create_label(HWND parent, int id, const char* text, int x, int y, int width, int height,
                  DWORD ex_style, DWORD flags);

}  // namespace tamsel
