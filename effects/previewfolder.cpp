#include "previewfolder.h"

#include "editor/pagedeclaration.h"
#include "platform/ansi.h"
#include "platform/filesystem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
const QString FolderPattern = u"vellumo-preview-XXXXXX"_s;
// A folder of a running preview is written at every change; one left this long has no program.
constexpr qint64 StaleAfterSeconds = 24 * 60 * 60;

// The previews alive now, so that an ending program can take their folders with it.
QSet<PreviewFolder *> &liveFolders()
{
    static QSet<PreviewFolder *> folders;
    return folders;
}
}

PreviewFolder::PreviewFolder(FileSystem &files)
    : m_files(files)
{
    liveFolders().insert(this);
}

PreviewFolder::~PreviewFolder()
{
    liveFolders().remove(this);
}

void PreviewFolder::removeEveryFolder()
{
    for (PreviewFolder *folder : std::as_const(liveFolders()))
        folder->remove();
}

int PreviewFolder::clearStale(const QString &temporaryFolder)
{
    static const QRegularExpression name(u"^vellumo-preview-[A-Za-z0-9]{6}$"_s);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    int removed = 0;
    QDir folder(temporaryFolder);
    for (const QString &entry : folder.entryList({ u"vellumo-preview-*"_s }, QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!name.match(entry).hasMatch())
            continue;
        const QString path = folder.filePath(entry);
        struct stat st;
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()
            || now - st.st_mtime < StaleAfterSeconds)
            continue;
        if (QDir(path).removeRecursively())
            ++removed;
    }
    return removed;
}

QString PreviewFolder::pageName()
{
    return u"preview.htm"_s;
}

QString PreviewFolder::path() const
{
    return m_dir ? m_dir->path() + u'/' : QString();
}

Explained<QString> PreviewFolder::make()
{
    // Another program's clean-up may have taken a folder left alone for long; the page gets a new one.
    if (m_dir && QFileInfo(m_dir->path()).isDir())
        return path();
    auto dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + u'/' + FolderPattern);
    if (!dir->isValid())
        return Explained<QString>::none(u"无法建立预览用的临时文件夹："_s + dir->errorString());
    m_dir = std::move(dir);
    return path();
}

Explained<QString> PreviewFolder::writePage(const PreviewContent &content, const QString &newPageText)
{
    if (const Explained<QString> folder = make(); !folder)
        return folder;
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
        page = u"<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"gb18030\">\r\n</head>\r\n<body>\r\n"_s
            + content.code + u"</body>\r\n</html>\r\n"_s;
    return write(page);
}

Explained<QString> PreviewFolder::writeProblem(const QString &text)
{
    if (const Explained<QString> folder = make(); !folder)
        return folder;
    return write(u"<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"gb18030\">\r\n</head>\r\n"
                 "<body style=\"font-family: sans-serif; font-size: 12px; color: #a00; margin: 8px\">\r\n"
                 "<p id=\"vellumo-preview-problem\">"_s
        + text.toHtmlEscaped() + u"</p>\r\n</body>\r\n</html>\r\n"_s);
}

Explained<QString> PreviewFolder::write(const QString &page)
{
    const QString target = path() + pageName();
    // Written in the ANSI code page, GB18030, and said so: a page labelled GB2312 is read by browsers
    // as GBK, which shows what GB18030 adds (©, €, emoji) as garbage.
    const QString declared = QString::fromUtf8(PageDeclaration::declaring(page.toUtf8(), u"gb18030"_s));
    if (!m_files.writeAtomically(target, Ansi::encode(declared)))
        return Explained<QString>::none(u"无法写入预览页："_s + target);
    return target;
}

void PreviewFolder::remove()
{
    m_dir.reset();
}
