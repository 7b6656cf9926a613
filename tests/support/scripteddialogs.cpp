#include "scripteddialogs.h"

using namespace Qt::StringLiterals;

namespace {
QString kindName(ScriptedDialogs::Kind kind)
{
    switch (kind) {
    case ScriptedDialogs::Kind::Message:
        return u"message"_s;
    case ScriptedDialogs::Kind::Question:
        return u"question"_s;
    case ScriptedDialogs::Kind::Error:
        return u"error"_s;
    case ScriptedDialogs::Kind::Notice:
        return u"notice"_s;
    case ScriptedDialogs::Kind::OpenFile:
        return u"open file"_s;
    case ScriptedDialogs::Kind::SaveFile:
        return u"save file"_s;
    case ScriptedDialogs::Kind::BrowseFolder:
        return u"browse folder"_s;
    case ScriptedDialogs::Kind::OpenPicture:
        return u"open picture"_s;
    case ScriptedDialogs::Kind::PickColour:
        return u"pick colour"_s;
    }
    return {};
}
}

ScriptedDialogs::ScriptedDialogs(std::function<void(const QString &)> onUnexpected)
    : m_onUnexpected(std::move(onUnexpected))
{
}

void ScriptedDialogs::expect(Kind kind, const QString &answer)
{
    m_expected.append({ kind, answer });
}

std::optional<QString> ScriptedDialogs::take(const Call &call)
{
    calls.append(call);
    if (m_expected.isEmpty() || m_expected.first().kind != call.kind) {
        const QString what = u"unexpected %1 dialog: \"%2\" \"%3\""_s.arg(kindName(call.kind), call.caption, call.text);
        unexpected.append(what);
        if (m_onUnexpected)
            m_onUnexpected(what);
        return std::nullopt;
    }
    return m_expected.takeFirst().answer;
}

std::optional<QString> ScriptedDialogs::path(const Call &call)
{
    const std::optional<QString> answer = take(call);
    if (!answer || answer->isEmpty())
        return std::nullopt;
    return answer;
}

void ScriptedDialogs::message(const QString &text)
{
    take({ Kind::Message, {}, text, MessageIcon::None, {} });
}

Answer ScriptedDialogs::ask(const QString &caption, const QString &text, MessageIcon icon)
{
    const QString answer = take({ Kind::Question, caption, text, icon, {} }).value_or(QString());
    if (answer == u"yes"_s)
        return Answer::Yes;
    return answer == u"dismiss"_s ? Answer::Dismissed : Answer::No;
}

void ScriptedDialogs::error(const QString &text)
{
    take({ Kind::Error, {}, text, MessageIcon::Error, {} });
}

void ScriptedDialogs::notice(const QString &caption, const QString &text, MessageIcon icon)
{
    take({ Kind::Notice, caption, text, icon, {} });
}

std::optional<QString> ScriptedDialogs::openFile(const FileDialogRequest &request)
{
    return path({ Kind::OpenFile, request.caption, {}, MessageIcon::None, request });
}

std::optional<SaveAnswer> ScriptedDialogs::saveFile(const FileDialogRequest &request)
{
    const std::optional<QString> answer = path({ Kind::SaveFile, request.caption, {}, MessageIcon::None, request });
    if (!answer)
        return std::nullopt;
    const qsizetype bar = answer->lastIndexOf(u'|');
    if (bar < 0)
        return SaveAnswer { *answer, request.choice };
    return SaveAnswer { answer->left(bar), answer->mid(bar + 1).toInt() };
}

std::optional<QString> ScriptedDialogs::browseFolder(const QString &caption)
{
    return path({ Kind::BrowseFolder, caption, {}, MessageIcon::None, {} });
}

std::optional<QString> ScriptedDialogs::openPicture(const FileDialogRequest &request)
{
    return path({ Kind::OpenPicture, request.caption, {}, MessageIcon::None, request });
}

std::optional<QString> ScriptedDialogs::pickColour(const QString &initial)
{
    return path({ Kind::PickColour, {}, initial, MessageIcon::None, {} });
}
