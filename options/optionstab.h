#pragma once

#include "optionscontext.h"

#include <QWidget>

#include <functional>

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

    OptionsContext m_context;
};
