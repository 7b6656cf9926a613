#pragma once

#include "optionscontext.h"

#include <QWidget>

#include <functional>

class QGroupBox;
class QLabel;
class QListWidget;
class QToolButton;

// A page of the options window: its controls at fixed places and the guard its handlers run in.
class OptionsTab : public QWidget
{
    Q_OBJECT
public:
    OptionsTab(const OptionsContext &context, QWidget *parent);

protected:
    // Runs a handler inside the error guard.
    bool guarded(const std::function<void()> &handler);
    void message(const QString &text);
    // Yes and No, captioned "询问".
    bool ask(const QString &text, bool withQuestionIcon);

    QGroupBox *group(const QString &caption, const QRect &place);
    QToolButton *speedButton(QWidget *parent, const QString &name, const QString &caption, const QRect &place);
    QLabel *caption(QWidget *parent, const QString &text, const QRect &place);
    QListWidget *list(QWidget *parent, const QString &name, const QRect &place);

    OptionsContext m_context;
};
