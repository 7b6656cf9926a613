#pragma once

#include <QString>
#include <QStringList>

#include <optional>

enum class MessageIcon { None, Question, Information, Warning, Error };
// Dismissed: the box was closed without a button (Escape, its close box): the user goes back.
enum class Answer { Yes, No, Dismissed };

struct FileDialogRequest
{
    QString caption;
    QString filter; // description and pattern pairs separated by "|"
    QString defaultExtension;
    QString folder; // where the dialog opens; empty for the folder the user last chose in
    QString fileName;
    // A choice the save dialog offers beside the name (the page's encoding, say): its label, the
    // choices, and the one chosen at first.
    QString choiceLabel;
    QStringList choices;
    int choice = -1;
};

// The file a save dialog chose, and the choice made beside it (-1 without one).
struct SaveAnswer
{
    QString path;
    int choice = -1;
};

// The standard boxes and dialogs; each answer is a choice or a path, or nothing on cancel.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // The text, one OK button, no icon, captioned with the application title.
    virtual void message(const QString &text) = 0;
    // Yes and No; true only for Yes.
    bool question(const QString &caption, const QString &text, MessageIcon icon)
    {
        return ask(caption, text, icon) == Answer::Yes;
    }
    // The same box, telling No from a box dismissed without an answer.
    virtual Answer ask(const QString &caption, const QString &text, MessageIcon icon) = 0;
    // The generic error box: error icon, application title, one OK button.
    virtual void error(const QString &text) = 0;
    // A box with its own caption and icon and one OK button.
    virtual void notice(const QString &caption, const QString &text, MessageIcon icon) = 0;
    virtual std::optional<QString> openFile(const FileDialogRequest &request) = 0;
    virtual std::optional<SaveAnswer> saveFile(const FileDialogRequest &request) = 0;
    virtual std::optional<QString> browseFolder(const QString &caption) = 0;
    virtual std::optional<QString> openPicture(const FileDialogRequest &request) = 0;
    // A colour chooser starting at initial; the choice as "#RRGGBB".
    virtual std::optional<QString> pickColour(const QString &initial) = 0;
};
