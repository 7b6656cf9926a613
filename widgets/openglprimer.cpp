#include "openglprimer.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLWidget>

using namespace Qt::StringLiterals;

namespace {
bool openGLWorks()
{
    // Offscreen and the like draw no native windows: nothing is rebuilt there, and their OpenGL, if
    // any, is not the window's.
    const QString platform = QGuiApplication::platformName();
    if (platform != u"xcb"_s && platform != u"wayland"_s)
        return false;
    static const bool works = [] {
        QOpenGLContext probe;
        return probe.create();
    }();
    return works;
}
}

void composeThroughOpenGL(QWidget *widget)
{
    if (!openGLWorks() || widget->findChild<QOpenGLWidget *>(u"OpenGLPrimer"_s, Qt::FindDirectChildrenOnly))
        return;
    auto *primer = new QOpenGLWidget(widget);
    primer->setObjectName(u"OpenGLPrimer"_s);
    primer->hide();
}
