#pragma once

#include "setupcontext.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QToolButton;

// The frame the setup windows share: no system frame, a title strip that drags the window, a close
// button at its right end, a one-panel status line; centred on the desktop.
class SetupWindow : public QDialog
{
    Q_OBJECT
public:
    SetupWindow(const SetupContext &context, QSize clientSize, QWidget *parent = nullptr);

    QLabel *Image1;
    QLabel *Label3;
    QToolButton *SpeedButton1;
    QLabel *spanle;

protected:
    // Runs a handler inside the error guard: a run-time error ends it and shows the error box.
    bool guarded(const std::function<void()> &handler);
    void message(const QString &text);
    // A list inside a captioned group box at the given place.
    QListWidget *groupedList(const QString &caption, const QRect &place, const QString &listName);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

    SetupContext m_context;

private:
    QPoint m_dragOffset;
    bool m_dragging = false;
};
