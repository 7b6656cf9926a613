#include "returnwatch.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

ReturnWatch::ReturnWatch(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    // The application's state, not the window's activation: the window is also deactivated and
    // activated again by each of the program's own boxes and dialogs.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &ReturnWatch::stateChanged);
    window->installEventFilter(this);
}

void ReturnWatch::stateChanged(Qt::ApplicationState state)
{
    if (state != Qt::ApplicationActive)
        return;
    m_pending = true;
    tellWhenFree();
}

bool ReturnWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::ActivationChange)
        tellWhenFree();
    return QObject::eventFilter(watched, event);
}

void ReturnWatch::tellWhenFree()
{
    if (!m_pending || QApplication::activeModalWidget() || !m_window->isActiveWindow())
        return;
    m_pending = false;
    emit returned();
}
