#include "focusonhover.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QEvent>
#include <QLineEdit>

FocusOnHover::FocusOnHover(QWidget *control, std::function<void(bool taken)> moved)
    : QObject(control)
    , m_control(control)
    , m_moved(std::move(moved))
{
}

void FocusOnHover::install(QWidget *control, std::function<void(bool taken)> moved)
{
    installOver(control, control, std::move(moved));
}

void FocusOnHover::installOver(QWidget *surface, QWidget *control, std::function<void(bool taken)> moved)
{
    auto *filter = new FocusOnHover(control, std::move(moved));
    filter->watch(surface);
    if (auto *area = qobject_cast<QAbstractScrollArea *>(surface))
        filter->watch(area->viewport());
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(surface))
        filter->watch(spin->findChild<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly));
}

void FocusOnHover::watch(QWidget *surface)
{
    if (!surface)
        return;
    surface->setMouseTracking(true);
    surface->installEventFilter(this);
}

bool FocusOnHover::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        const bool taken = m_control->window()->focusWidget() != m_control;
        if (taken)
            m_control->setFocus(Qt::MouseFocusReason);
        if (m_moved)
            m_moved(taken);
    }
    return QObject::eventFilter(watched, event);
}
