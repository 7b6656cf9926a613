#include "previewfolder.h"

#include "platform/ansi.h"
#include "platform/filesystem.h"

#include <QDir>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

PreviewFolder::PreviewFolder(FileSystem &files)
    : m_files(files)
{
}

PreviewFolder::~PreviewFolder() = default;

QString PreviewFolder::pageName()
{
    return u"preview.htm"_s;
}

QString PreviewFolder::path() const
{
    return m_dir ? m_dir->path() + u'/' : QString();
}

bool PreviewFolder::make(QString *problem)
{
    if (m_dir)
        return true;
    auto dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + u"/vellumo-preview-XXXXXX"_s);
    if (!dir->isValid()) {
        *problem = u"无法建立预览用的临时文件夹："_s + dir->errorString();
        return false;
    }
    m_dir = std::move(dir);
    return true;
}

std::optional<QString> PreviewFolder::writePage(
    const PreviewContent &content, const QString &newPageText, QString *problem)
{
    if (!make(problem))
        return std::nullopt;
    // A file the page already has beside it is the same file: the windows only ever add files.
    for (const SetupFlow::FileToCopy &file : content.files) {
        const QString target = path() + file.name;
        if (!m_files.fileExists(target))
            m_files.copyWithoutOverwrite(file.source, target);
    }
    QString page = newPageText;
    const qsizetype body = page.lastIndexOf(u"</body>"_s, -1, Qt::CaseInsensitive);
    if (body >= 0)
        page.insert(body, content.code);
    else
        page = u"<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"gb2312\">\r\n</head>\r\n<body>\r\n"_s
            + content.code + u"</body>\r\n</html>\r\n"_s;
    return write(page, problem);
}

std::optional<QString> PreviewFolder::writeProblem(const QString &text, QString *problem)
{
    if (!make(problem))
        return std::nullopt;
    return write(u"<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"gb2312\">\r\n</head>\r\n"
                 "<body style=\"font-family: sans-serif; font-size: 12px; color: #a00; margin: 8px\">\r\n"
                 "<p id=\"vellumo-preview-problem\">"_s
            + text.toHtmlEscaped() + u"</p>\r\n</body>\r\n</html>\r\n"_s,
        problem);
}

std::optional<QString> PreviewFolder::write(const QString &page, QString *problem)
{
    const QString target = path() + pageName();
    if (!m_files.writeAtomically(target, Ansi::encode(page))) {
        *problem = u"无法写入预览页："_s + target;
        return std::nullopt;
    }
    return target;
}

void PreviewFolder::remove()
{
    m_dir.reset();
}
