#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Dialogs for tests: answers from a queue the test fills, records every call, and reports
// any dialog the test did not expect.
class ScriptedDialogs : public Dialogs
{
public:
    enum class Kind { Message, Question, Error, Notice, OpenFile, SaveFile, BrowseFolder, OpenPicture, PickColour };

    struct Call
    {
        Kind kind;
        QString caption;
        QString text;
        MessageIcon icon = MessageIcon::None;
        FileDialogRequest request;
    };

    explicit ScriptedDialogs(std::function<void(const QString &)> onUnexpected = {});

    // Queues the answer to the next dialog of this kind: for a question "yes", "no" or "dismiss" (Escape
    // or the box's close box), for a file dialog the path or an empty string for cancel, for the colour
    // chooser "#RRGGBB" or empty for cancel; boxes with one button need no answer. A save dialog's
    // answer may end in "|" and the choice made beside the name (the first is 0).
    void expect(Kind kind, const QString &answer = {});
    bool allAnswersUsed() const { return m_expected.isEmpty(); }

    QList<Call> calls;
    QStringList unexpected;

    void message(const QString &text) override;
    Answer ask(const QString &caption, const QString &text, MessageIcon icon) override;
    void error(const QString &text) override;
    void notice(const QString &caption, const QString &text, MessageIcon icon) override;
    std::optional<QString> openFile(const FileDialogRequest &request) override;
    std::optional<SaveAnswer> saveFile(const FileDialogRequest &request) override;
    std::optional<QString> browseFolder(const QString &caption) override;
    std::optional<QString> openPicture(const FileDialogRequest &request) override;
    std::optional<QString> pickColour(const QString &initial) override;

private:
    std::optional<QString> take(const Call &call);
    std::optional<QString> path(const Call &call);

    struct Expected
    {
        Kind kind;
        QString answer;
    };
    QList<Expected> m_expected;
    std::function<void(const QString &)> m_onUnexpected;
};
