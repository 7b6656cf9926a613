#include "windowdrag.h"

#include <QMouseEvent>
#include <QWidget>

WindowDrag::WindowDrag(QWidget *window)
    : QObject(window)
    , m_window(window)
{
}

void WindowDrag::addHandle(QWidget *handle)
{
    handle->installEventFilter(this);
}

bool WindowDrag::eventFilter(QObject *watched, QEvent *event)
{
    // Only mouse events are looked at as such; the handle gets every other kind too.
    const auto globalPoint = [event] { return static_cast<QMouseEvent *>(event)->globalPosition().toPoint(); };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_dragging = true;
        m_offset = globalPoint() - m_window->frameGeometry().topLeft();
        return true;
    case QEvent::MouseMove:
        if (m_dragging)
            m_window->move(globalPoint() - m_offset);
        return true;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
