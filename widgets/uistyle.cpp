#include "uistyle.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>

#include "flatstyle.h"

using namespace Qt::StringLiterals;

namespace UiStyle {

namespace {
// Installed families asked for by name, so that no substitution has to be resolved at start-up.
const QString SongFamily = u"AR PL UMing CN"_s;
const QString FixedFamily = u"DejaVu Sans Mono"_s;

// The song font 12 pixels high, its size given in points for the screen's dots per inch: the page
// editor sizes its default style by the application font's points, and a font given in pixels only
// would make it build one more font at a size of its own.
QFont applicationFont()
{
    QFont font = songFont(12);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal dotsPerInch = screen ? screen->logicalDotsPerInchY() : 96.0;
    font.setPointSizeF(12 * 72.0 / dotsPerInch);
    return font;
}
}

void install(QApplication &app)
{
    // Names that pages and settings may still ask for resolve to the same installed fonts.
    QFont::insertSubstitutions(u"宋体"_s, { SongFamily, u"Noto Sans CJK SC"_s });
    QFont::insertSubstitutions(u"SimSun"_s, { SongFamily, u"Noto Sans CJK SC"_s });
    QFont::insertSubstitutions(u"Fixedsys"_s, { FixedFamily });
    QFont::insertSubstitutions(u"Tahoma"_s, { u"DejaVu Sans"_s });
    app.setFont(applicationFont());
    QFont menu(u"DejaVu Sans"_s);
    menu.setPointSize(8);
    QApplication::setFont(menu, "QMenu");
    QApplication::setFont(menu, "QMenuBar");
    QApplication::setStyle(new FlatStyle);
}

QFont songFont(int pixelSize)
{
    QFont font(SongFamily);
    font.setPixelSize(pixelSize);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QFont fixedFont(int pointSize)
{
    QFont font(FixedFamily);
    font.setPointSize(pointSize);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

}
