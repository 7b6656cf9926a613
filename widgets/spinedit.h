#pragma once

#include <QSpinBox>

// A count box from 1 to 100 with up and down arrows, drawn flat. After the down arrow (or the Down
// key, or the wheel turned down) has lowered the value it reports bottomClicked, so a window can add
// its own rule to the lowering.
class SpinEdit : public QSpinBox
{
    Q_OBJECT
public:
    explicit SpinEdit(QWidget *parent = nullptr);

    void stepBy(int steps) override;
    // The number shown, as the checks compare it.
    QString shownText() const { return QString::number(value()); }

signals:
    void bottomClicked();

protected:
    // Both arrows always step, so a window's rule for the down arrow runs at the lowest value too.
    StepEnabled stepEnabled() const override;
};
