#include "placementstore.h"

#include "library/inifile.h"
#include "platform/vellumoerror.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {
const QString Section = u"form"_s;
enum ShowCmd { ShowNormal = 1, ShowMinimized = 2, ShowMaximized = 3 };

QString fourNumbers(int a, int b, int c, int d)
{
    return u"%1,%2,%3,%4"_s.arg(a).arg(b).arg(c).arg(d);
}

bool parseFour(const QString &text, int values[4])
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return false;
    }
    return true;
}
}

PlacementStore::PlacementStore(FileSystem &files, const QString &path, QWidget *window)
    : m_files(files)
    , m_path(path)
    , m_window(window)
{
}

QString PlacementStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/Vellumo/mainform"_s;
}

void PlacementStore::restore()
{
    IniFile file(m_files, m_path);
    int pos[4];
    if (parseFour(file.readString(Section, u"NormPos"_s), pos)) {
        const QRect rect(QPoint(pos[0], pos[1]), QPoint(pos[2] - 1, pos[3] - 1));
        bool onScreen = false;
        for (const QScreen *screen : QGuiApplication::screens())
            onScreen = onScreen || screen->availableGeometry().intersects(rect);
        if (rect.width() >= 100 && rect.height() >= 100 && onScreen)
            m_window->setGeometry(rect);
    }
    // A window that was closed minimised comes back normal, so it is never lost from sight.
    if (file.readString(Section, u"ShowCmd"_s) == QString::number(ShowMaximized))
        m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
    const QString active = file.readString(Section, u"ActiveControl"_s);
    if (!active.isEmpty())
        if (QWidget *control = m_window->findChild<QWidget *>(active); control && control->focusPolicy() != Qt::NoFocus)
            control->setFocus(Qt::OtherFocusReason);
}

void PlacementStore::save()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    const Qt::WindowStates state = m_window->windowState();
    const int showCmd = state & Qt::WindowMinimized ? ShowMinimized
        : state & Qt::WindowMaximized               ? ShowMaximized
                                                    : ShowNormal;
    const QRect normal = m_window->normalGeometry().isValid() ? m_window->normalGeometry() : m_window->geometry();
    const QWidget *focus = m_window->focusWidget();
    try {
        IniFile file(m_files, m_path);
        file.beginBatch();
        file.writeString(Section, u"Flags"_s, u"0"_s);
        file.writeString(Section, u"ShowCmd"_s, QString::number(showCmd));
        file.writeString(Section, u"PixelsPerInch"_s, QString::number(m_window->logicalDpiY()));
        file.writeString(Section, u"MinMaxPos"_s, fourNumbers(-1, -1, -1, -1));
        file.writeString(Section, u"NormPos"_s,
            fourNumbers(normal.left(), normal.top(), normal.left() + normal.width(), normal.top() + normal.height()));
        file.writeString(Section, u"ActiveControl"_s, focus ? focus->objectName() : QString());
        file.commit();
    } catch (const VellumoError &) {
    }
}
