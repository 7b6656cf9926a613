#include "spinedit.h"

SpinEdit::SpinEdit(QWidget *parent)
    : QSpinBox(parent)
{
    setRange(1, 100);
    setValue(1);
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
