#include "spinedit.h"

#include <QLineEdit>
#include <QMouseEvent>

SpinEdit::SpinEdit(QWidget *parent)
    : QSpinBox(parent)
{
    setRange(1, 100);
    setValue(1);
    setMouseTracking(true);
    // The edit inside covers most of the box; its mouse moves count as the box's own.
    lineEdit()->setMouseTracking(true);
    lineEdit()->installEventFilter(this);
}

void SpinEdit::stepBy(int steps)
{
    QSpinBox::stepBy(steps);
    if (steps < 0)
        emit bottomClicked();
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const
{
    if (isReadOnly() || !isEnabled())
        return StepNone;
    return StepUpEnabled | StepDownEnabled;
}

bool SpinEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseMove)
        emit mouseMoved();
    return QSpinBox::eventFilter(watched, event);
}

void SpinEdit::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved();
    QSpinBox::mouseMoveEvent(event);
}
