#include "outsidechanges.h"

#include "documentview.h"
#include "platform/dialogs.h"
#include "platform/filesystem.h"

using namespace Qt::StringLiterals;

OutsideChanges::OutsideChanges(DocumentView &view, Dialogs &dialogs, const FileSystem &files)
    : m_view(view)
    , m_dialogs(dialogs)
    , m_files(files)
{
}

QString OutsideChanges::changedQuestion(const QString &path)
{
    return u"网页文件已被其他程序修改：\n%1\n是否重新载入？选“否”则保留编辑器中的内容。"_s.arg(path);
}

QString OutsideChanges::reloadLosesEditsQuestion()
{
    return u"编辑器中未保存的修改将会丢失，是否仍要重新载入？"_s;
}

QString OutsideChanges::goneMessage(const QString &path)
{
    return u"网页文件已被删除或移走：\n%1\n编辑器中的内容仍在，保存时将重新创建此文件。"_s.arg(path);
}

QString OutsideChanges::overwriteQuestion(const QString &path)
{
    return u"网页文件已被其他程序修改：\n%1\n是否仍要覆盖？"_s.arg(path);
}

void OutsideChanges::read(const QString &path, const FileStamp &stamp, const QByteArray &digest, std::int64_t takenNs)
{
    m_path = path;
    m_version.remember(stamp, digest, takenNs);
}

void OutsideChanges::written(const QString &path, const QByteArray &bytes, std::int64_t takenNs)
{
    m_path = path;
    m_version.remember(m_files.stamp(path), DiskVersion::digest(bytes), takenNs);
}

void OutsideChanges::textKeptOver(const QString &path)
{
    m_path = path;
    m_version.adopt(m_files, path);
}

bool OutsideChanges::reloadWanted(const QString &path)
{
    if (path.isEmpty() || path != m_path)
        return false;
    switch (m_version.compare(m_files, path)) {
    case DiskVersion::Change::None:
        return false;
    case DiskVersion::Change::Gone:
        keepOwnText(path);
        m_dialogs.message(goneMessage(path));
        return false;
    case DiskVersion::Change::Changed:
        break;
    }
    switch (m_dialogs.ask(u"询问"_s, changedQuestion(path), MessageIcon::Question)) {
    case Answer::Dismissed:
        // No choice made: the change is said again next time, and a save still asks.
        return false;
    case Answer::No:
        keepOwnText(path);
        return false;
    case Answer::Yes:
        break;
    }
    if (!m_view.isModified())
        return true;
    switch (m_dialogs.ask(u"询问"_s, reloadLosesEditsQuestion(), MessageIcon::Warning)) {
    case Answer::Dismissed:
        return false;
    case Answer::No:
        keepOwnText(path);
        return false;
    case Answer::Yes:
        break;
    }
    return true;
}

void OutsideChanges::keepOwnText(const QString &path)
{
    // The editor's text now differs from the file, which is no longer news.
    textKeptOver(path);
    m_view.markModified();
}

bool OutsideChanges::mayOverwrite(const QString &path)
{
    if (path.isEmpty() || path != m_path)
        return true;
    // A file gone from under the page is written anew: nothing of another program's is lost.
    return m_version.compare(m_files, path) != DiskVersion::Change::Changed
        || m_dialogs.question(u"询问"_s, overwriteQuestion(path), MessageIcon::Question);
}
