#include "uistyle.h"

#include <QApplication>
#include <QFont>

using namespace Qt::StringLiterals;

namespace UiStyle {

void install(QApplication &app)
{
    const QStringList cjk{u"AR PL UMing CN"_s, u"Noto Sans CJK SC"_s, u"Noto Serif CJK SC"_s};
    QFont::insertSubstitutions(u"宋体"_s, cjk);
    QFont::insertSubstitutions(u"SimSun"_s, cjk);
    QFont::insertSubstitutions(u"Fixedsys"_s, {u"DejaVu Sans Mono"_s, u"Noto Sans Mono CJK SC"_s});
    QFont::insertSubstitutions(u"Tahoma"_s, {u"DejaVu Sans"_s, u"Noto Sans CJK SC"_s});

    QFont font(u"宋体"_s);
    font.setPixelSize(DefaultPixelSize);
    app.setFont(font);

    // Flat menus: a tinted icon column, an aqua selection with a thin frame.
    app.setStyleSheet(uR"(
QMenuBar { background: #f4f6f9; border-bottom: 1px solid #d4d9e2; }
QMenuBar::item { padding: 3px 8px; background: transparent; }
QMenuBar::item:selected { background: #c8ecf7; border: 1px solid #5fb3d6; }
QMenu { font-family: "Tahoma"; font-size: 8pt; background: qlineargradient(x1:0, y1:0, x2:1, y2:0,
        stop:0 #e3e9f2, stop:0.09 #eef2f7, stop:0.091 #ffffff, stop:1 #ffffff); border: 1px solid #8a9bb5; }
QMenu::item { padding: 4px 24px 4px 30px; border: 1px solid transparent; }
QMenu::item:selected { background: #c8ecf7; border: 1px solid #5fb3d6; color: black; }
QMenu::item:disabled { color: #9aa0a8; }
QMenu::icon { padding-left: 4px; }
QMenu::separator { height: 1px; background: #c9d1dd; margin: 3px 4px 3px 30px; }
)"_s);
}

}
