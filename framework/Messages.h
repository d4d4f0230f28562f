// Message records and numbers. Numbers are the Windows ones, plus the framework's
// own notifications from CM_BASE, so a "handles message X" rule is one `case`.
#pragma once

#include <cstdint>

struct TMessage {
  uint32_t Msg = 0;
  uintptr_t WParam = 0;
  intptr_t LParam = 0;
  intptr_t Result = 0;
};

// Mouse messages carry the client position in LParam (x low word, y high word,
// each signed 16-bit) and the MK_ state in WParam.
inline intptr_t MakeLParam(int32_t x, int32_t y) {
  return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) | (x & 0xFFFF));
}
inline int32_t LParamX(intptr_t lp) { return static_cast<int16_t>(lp & 0xFFFF); }
inline int32_t LParamY(intptr_t lp) { return static_cast<int16_t>((lp >> 16) & 0xFFFF); }

constexpr uint32_t MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8,
                   MK_MBUTTON = 0x10;
// Key messages: LParam bit 29 set when Alt is held (as Windows' context code).
constexpr intptr_t KF_ALTDOWN_LPARAM = 0x20000000;

constexpr uint32_t WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003,
                   WM_SIZE = 0x0005, WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007,
                   WM_KILLFOCUS = 0x0008, WM_ENABLE = 0x000A, WM_SETTEXT = 0x000C,
                   WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUIT = 0x0012,
                   WM_ERASEBKGND = 0x0014, WM_SHOWWINDOW = 0x0018, WM_ACTIVATEAPP = 0x001C,
                   WM_SETCURSOR = 0x0020, WM_WINDOWPOSCHANGED = 0x0047, WM_COPYDATA = 0x004A,
                   WM_NCPAINT = 0x0085, WM_GETDLGCODE = 0x0087, WM_KEYDOWN = 0x0100,
                   WM_KEYUP = 0x0101, WM_CHAR = 0x0102, WM_SYSKEYDOWN = 0x0104,
                   WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106, WM_COMMAND = 0x0111,
                   WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113, WM_MOUSEMOVE = 0x0200,
                   WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203,
                   WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205, WM_RBUTTONDBLCLK = 0x0206,
                   WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208, WM_MBUTTONDBLCLK = 0x0209,
                   WM_MOUSELEAVE = 0x02A3, WM_THEMECHANGED = 0x031A, WM_USER = 0x0400,
                   WM_APP = 0x8000;

constexpr uint32_t DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4,
                   DLGC_WANTCHARS = 0x80;

constexpr uint32_t VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10,
                   VK_CONTROL = 0x11, VK_MENU = 0x12, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
                   VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_F4 = 0x73;

// The framework's notifications.
constexpr uint32_t CM_BASE = 0xB000;
constexpr uint32_t CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1,
                   CM_GOTFOCUS = CM_BASE + 2, CM_LOSTFOCUS = CM_BASE + 3,
                   CM_CANCELMODE = CM_BASE + 4, CM_DIALOGKEY = CM_BASE + 5,
                   CM_DIALOGCHAR = CM_BASE + 6, CM_FOCUSCHANGED = CM_BASE + 7,
                   CM_PARENTFONTCHANGED = CM_BASE + 8, CM_PARENTCOLORCHANGED = CM_BASE + 9,
                   CM_HITTEST = CM_BASE + 10, CM_VISIBLECHANGED = CM_BASE + 11,
                   CM_ENABLEDCHANGED = CM_BASE + 12, CM_COLORCHANGED = CM_BASE + 13,
                   CM_FONTCHANGED = CM_BASE + 14, CM_CURSORCHANGED = CM_BASE + 15,
                   CM_TEXTCHANGED = CM_BASE + 18, CM_MOUSEENTER = CM_BASE + 19,
                   CM_MOUSELEAVE = CM_BASE + 20, CM_BUTTONPRESSED = CM_BASE + 24,
                   CM_SHOWINGCHANGED = CM_BASE + 25, CM_ENTER = CM_BASE + 26,
                   CM_EXIT = CM_BASE + 27, CM_WANTSPECIALKEY = CM_BASE + 30,
                   CM_SHOWHINTCHANGED = CM_BASE + 34, CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
                   CM_SYSCOLORCHANGE = CM_BASE + 36, CM_TABSTOPCHANGED = CM_BASE + 40,
                   CM_CONTROLLISTCHANGE = CM_BASE + 44, CM_CHILDKEY = CM_BASE + 46,
                   CM_HINTSHOW = CM_BASE + 48, CM_RECREATEWND = CM_BASE + 51,
                   CM_INVALIDATE = CM_BASE + 52, CM_CONTROLCHANGE = CM_BASE + 54,
                   CM_BIDIMODECHANGED = CM_BASE + 60, CM_PARENTBIDIMODECHANGED = CM_BASE + 61;

// The skin-aware controls' command message (command in WParam).
constexpr uint32_t SM_SKINCOMMAND = 0xA100;
