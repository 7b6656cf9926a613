#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

// Lets a window without a system frame be moved by pressing the mouse on a title strip and
// dragging, as if its caption were dragged.
class WindowDrag : public QObject
{
    Q_OBJECT
public:
    explicit WindowDrag(QWidget *window);
    // A widget that drags the window when the mouse is pressed on it.
    void addHandle(QWidget *handle);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QPoint m_offset;
    bool m_dragging = false;
};
