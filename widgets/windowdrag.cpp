#include "windowdrag.h"

#include <QMouseEvent>
#include <QWidget>

WindowDrag::WindowDrag(QWidget *window) : QObject(window), m_window(window)
{
}

void WindowDrag::addHandle(QWidget *handle)
{
    handle->installEventFilter(this);
}

bool WindowDrag::eventFilter(QObject *watched, QEvent *event)
{
    const auto *mouse = static_cast<QMouseEvent *>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_dragging = true;
        m_offset = mouse->globalPosition().toPoint() - m_window->frameGeometry().topLeft();
        return true;
    case QEvent::MouseMove:
        if (m_dragging)
            m_window->move(mouse->globalPosition().toPoint() - m_offset);
        return true;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
