#pragma once

#include <QObject>

#include <functional>

class QWidget;

// A control of the program's windows takes the keyboard focus as soon as the mouse moves over it,
// without a click. The mouse moves over the parts it is drawn in (a scrolled area's viewport, a spin
// box's edit) count as its own.
class FocusOnHover : public QObject
{
    Q_OBJECT
public:
    // moved runs after each such move; taken says whether the control has just taken the focus.
    static void install(QWidget *control, std::function<void(bool taken)> moved = {});
    // The same for the mouse moves over another widget: they give control the focus.
    static void installOver(QWidget *surface, QWidget *control, std::function<void(bool taken)> moved = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FocusOnHover(QWidget *control, std::function<void(bool taken)> moved);
    void watch(QWidget *surface);

    QWidget *m_control;
    std::function<void(bool taken)> m_moved;
};
