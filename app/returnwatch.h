#pragma once

#include <QObject>

class QWidget;

// Tells once each time the user comes back to the program from another one. Going between the
// program's own windows and boxes is no return; a return while one of its boxes is open is told once
// no box is open and the window is active again, so that nothing is asked over another question.
class ReturnWatch : public QObject
{
    Q_OBJECT
public:
    explicit ReturnWatch(QWidget *window);

signals:
    void returned();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void stateChanged(Qt::ApplicationState state);
    void tellWhenFree();

    QWidget *m_window;
    bool m_pending = false;
};
