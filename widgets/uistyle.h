#pragma once

class QApplication;

// The program's look: the Chinese and fixed fonts it asks for mapped to installed ones, and the
// flat menu style.
namespace UiStyle {
void install(QApplication &app);
// Font sizes the windows ask for in pixels (the 宋体 12-pixel default).
constexpr int DefaultPixelSize = 12;
}
