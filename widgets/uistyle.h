#pragma once

#include <QFont>
#include <QString>

class QApplication;

// The program's look: the fonts its windows ask for ("宋体", "Fixedsys", "Tahoma") mapped to
// installed ones, and the flat style of edits, boxes and menus.
namespace UiStyle {
void install(QApplication &app);
// "宋体" at the given pixel height: a Song (Ming) style CJK font.
QFont songFont(int pixelSize);
// "Fixedsys": the monospace font of the page source.
QFont fixedFont(int pointSize);
}
