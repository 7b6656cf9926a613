#include "document.h"

#include "documentview.h"
#include "pagedeclaration.h"
#include "pagereader.h"
#include "platform/dialogs.h"
#include "platform/filesystem.h"
#include "platform/vellumoerror.h"
#include "recoveryfolder.h"

#include <QCryptographicHash>

using namespace Qt::StringLiterals;

Document::Document(DocumentView &view, Dialogs &dialogs, FileSystem &files, const QString &applicationFolder)
    : m_view(view)
    , m_dialogs(dialogs)
    , m_files(files)
    , m_applicationFolder(applicationFolder)
    , m_outsideChanges(view, dialogs, files)
{
}

QString Document::newCaption()
{
    return u"新文件"_s;
}

QString Document::fileFilter()
{
    return u"htm file|*.htm;*.html"_s;
}

QString Document::notCleanMessage()
{
    return u"此网页中有无法识别的字符，已用替代符号显示；保存后这些字符会被改变。\n"
           u"如果网页是用其他编码写的，可以用“文件 > 以其他编码重新打开”换一种编码读入。"_s;
}

QByteArray Document::defaultPage()
{
    return QByteArray("<html>\r\n<head>\r\n<title>TamselVellumo") + u"制作"_s.toUtf8()
        + "</title>\r\n<meta http-equiv=\"Content-Type\" \r\ncontent=\"text/html; \r\ncharset=gb2312\">\r\n"
          "</head>\r\n\r\n<body bgcolor=\"#FFFFFF\" text=\"#000000\">\r\n\r\n</body>\r\n</html>";
}

void Document::showDefaultPage()
{
    m_view.beginLoad(defaultPage().size());
    m_view.appendUtf8(defaultPage());
    m_view.endLoad();
    m_view.setCaption(newCaption());
    m_encoding = PageEncoding::Gb18030;
    m_lineEnds = LineEnds::CrLf;
    m_mixedLineEnds = false;
    m_readDamaged = false;
    m_view.setNewLineEnds(m_lineEnds);
    rememberDeclaration();
    formatChanged();
}

QString Document::tooLargeMessage(const QString &path, qint64 capacity)
{
    return u"网页文件太大，编辑器容纳不下，没有打开：\n%1\n编辑器最多容纳 %2 字节的网页。"_s.arg(path).arg(capacity);
}

QString Document::readOnlyQuestion()
{
    return u"网页文件是只读文件，是否仍要覆盖"_s;
}

bool Document::mayLeavePage()
{
    if (!m_view.isModified())
        return true;
    switch (m_dialogs.ask(u"询问"_s, u"网页文件已经被修改，是否要进行存盘"_s, MessageIcon::Question)) {
    case Answer::Dismissed:
        return false;
    case Answer::No:
        if (m_changesDiscarded)
            m_changesDiscarded();
        return true;
    case Answer::Yes:
        break;
    }
    // A page with a name is offered under it, so that the save puts it back in its own file.
    const QString caption = m_view.caption();
    const QString name = caption == newCaption() ? QString() : caption.mid(caption.lastIndexOf(u'/') + 1);
    return bool(dialogSave(name));
}

namespace {
// The page's text has outgrown what the editor holds.
struct TooLarge
{
};
}

bool Document::load(const QString &path, Source source, std::optional<PageEncoding> chosen, const QString &caption)
{
    const qint64 capacity = m_view.capacity();
    const std::int64_t readFromNs = m_files.nowNs();
    // Refused by its size before anything is read: the text is no smaller than the file but for a UTF-8
    // mark (a GB18030 page shrinks only by four-byte characters below U+0800, which no page is made of).
    const FileStamp before = m_files.stamp(path);
    if (before.exists && before.size - 3 > capacity) {
        m_dialogs.message(tooLargeMessage(path, capacity));
        return false;
    }
    // A first reading tells the encoding and the size; a file that cannot be read changes nothing.
    PageCodec::Detector detector;
    QCryptographicHash digest(DiskVersion::Algorithm);
    qint64 size = 0;
    if (!m_files.readPieces(path, [&detector, &digest, &size](QByteArrayView piece) {
            detector.feed(piece);
            digest.addData(piece);
            size += piece.size();
        }))
        throw VellumoError::cannotOpen(path);
    // The new page is the program's own file, in its ANSI code page with CR LF line breaks.
    const PageEncoding encoding
        = source == Source::NewPage ? PageEncoding::Gb18030 : chosen.value_or(detector.encoding());
    const auto breaks
        = source == Source::NewPage ? PageCodec::Decoder::Breaks::CrLf : PageCodec::Decoder::Breaks::AsRead;
    PageReader::Result result;
    try {
        m_view.beginLoad(qMin(detector.utf8SizeEstimate(), capacity));
        qint64 taken = 0;
        result = PageReader::read(
            m_files, path, encoding,
            [this, &taken, capacity](QByteArrayView piece) {
                taken += piece.size();
                if (taken > capacity)
                    throw TooLarge {};
                m_view.appendUtf8(piece);
            },
            breaks);
    } catch (const TooLarge &) {
        m_view.abandonLoad();
        m_dialogs.message(tooLargeMessage(path, capacity));
        return false;
    } catch (...) {
        // No memory for the page, say: the error guard tells, the previous page stays.
        m_view.abandonLoad();
        throw;
    }
    // A file that failed, changed, moved or was cut short while it was read is not the page.
    if (!result.read || result.size != size || m_files.stamp(path) != before) {
        m_view.abandonLoad();
        throw VellumoError::cannotOpen(path);
    }
    m_view.endLoad();
    // The preview of the page before is no longer shown.
    removePreview();
    if (!caption.isEmpty())
        m_view.setCaption(caption);
    m_outsideChanges.read(path, before, digest.result(), readFromNs);
    // A page read in an encoding with a mark that its file lacks is saved without one, as it was.
    m_encoding = encoding.mark() && !result.markFound ? PageEncoding(encoding.name(), false) : encoding;
    m_lineEnds = source == Source::NewPage ? LineEnds::CrLf : result.lineEnds.mostCommon();
    m_mixedLineEnds = source != Source::NewPage && result.lineEnds.mixed();
    m_view.setNewLineEnds(m_lineEnds);
    m_readDamaged = !result.clean;
    rememberDeclaration();
    formatChanged();
    if (!result.clean)
        m_dialogs.message(notCleanMessage());
    return true;
}

QString Document::formatText() const
{
    const QString ends = LineEndText::shown(m_lineEnds);
    return m_encoding.shown() + u" · "_s + (m_mixedLineEnds ? ends + u"（混合）"_s : ends);
}

void Document::rememberDeclaration()
{
    const std::optional<PageDeclaration::Charset> declared = PageDeclaration::find(m_view.utf8());
    m_declaredOnDisk = declared ? declared->label.toLower() : QString();
}

void Document::formatChanged()
{
    if (m_formatChanged)
        m_formatChanged();
}

void Document::declare(const QString &label)
{
    if (const std::optional<PageDeclaration::Charset> declared = PageDeclaration::find(m_view.utf8()))
        m_view.replaceText(declared->at, declared->length, label.toLatin1());
}

QString Document::beyondDeclarationQuestion(const QString &label, const PageCodec::Unheld &characters)
{
    return u"网页声明的字符集是 %1，其中有 GB2312/GBK 无法表示的字符：%2（第 %3 行起）。浏览器会把它们显示成乱码。\n"
           u"选“是”改用 UTF-8 保存，并把网页的声明改为 utf-8；选“否”仍按 GB18030 保存。"_s.arg(
               label, characters.characters.join(u"、"_s), QString::number(characters.firstLine));
}

QString Document::unheldQuestion(const PageEncoding &encoding, const PageCodec::Unheld &characters, bool declared)
{
    return u"网页的编码 %1 无法表示其中的字符：%2（第 %3 行起），保存会丢失它们。\n"
           u"选“是”改用 UTF-8 保存%4；选“否”不保存。"_s.arg(encoding.shown(), characters.characters.join(u"、"_s),
               QString::number(characters.firstLine), declared ? u"（网页的声明也改为 utf-8）"_s : QString());
}

QString Document::replacementQuestion()
{
    return u"此网页读入时有无法识别的字节，显示为替代符号“\uFFFD”。保存会把替代符号写入文件，原来的字节将丢失。\n"
           u"是否仍要保存？选“否”不保存，可以先用“文件 > 以其他编码重新打开”换一种编码读入。"_s;
}

PageEncoding Document::declaredEncoding()
{
    // A declaration the user changed names the encoding the page is now meant to be read in.
    const std::optional<PageDeclaration::Charset> declared = PageDeclaration::find(m_view.utf8());
    if (declared && declared->label.toLower() != m_declaredOnDisk) {
        if (const std::optional<PageEncoding> wanted = PageEncoding::writtenFor(declared->label))
            return wanted->isUtf8() && m_encoding.isUtf8() ? m_encoding : *wanted;
    }
    return m_encoding;
}

std::optional<Document::Written> Document::bytesToWrite(PageEncoding encoding, bool chosen)
{
    std::optional<PageDeclaration::Charset> declared = PageDeclaration::find(m_view.utf8());
    if (!chosen)
        encoding = declaredEncoding();
    PageCodec::Encoded encoded = PageCodec::fromUtf8(m_view.utf8(), encoding);
    const auto toUtf8 = [&] {
        encoding = encoding.isUtf8() ? encoding : PageEncoding::Utf8;
        declare(u"utf-8"_s);
        encoded = PageCodec::fromUtf8(m_view.utf8(), encoding);
    };
    // A page labelled GB2312 or GBK is read by browsers as GBK, which lacks what GB18030 adds. The
    // bytes tell whether there is any such character; only then is the text searched for which.
    if (declared && encoding.isGb18030() && PageEncoding::writtenFor(declared->label) == PageEncoding::Gb18030
        && declared->label.toLower() != u"gb18030"_s && PageCodec::beyondGbkBytes(encoded.bytes)) {
        const PageCodec::Unheld beyond = PageCodec::beyondGbk(m_view.utf8());
        switch (m_dialogs.ask(u"询问"_s, beyondDeclarationQuestion(declared->label, beyond), MessageIcon::Warning)) {
        case Answer::Dismissed:
            return std::nullopt;
        case Answer::Yes:
            toUtf8();
            break;
        case Answer::No:
            break;
        }
    }
    if (!encoded.whole) {
        const PageCodec::Unheld unheld = PageCodec::unheldIn(m_view.utf8(), encoding);
        if (m_dialogs.ask(u"询问"_s, unheldQuestion(encoding, unheld, declared.has_value()), MessageIcon::Warning)
            != Answer::Yes)
            return std::nullopt;
        toUtf8();
    }
    if (m_readDamaged && PageCodec::holdsReplacementCharacter(m_view.utf8())
        && m_dialogs.ask(u"询问"_s, replacementQuestion(), MessageIcon::Warning) != Answer::Yes)
        return std::nullopt;
    return Written { encoding, std::move(encoded.bytes) };
}

void Document::writePage(const QString &path, const Written &page)
{
    const std::int64_t writtenFromNs = m_files.nowNs();
    const QByteArray &bytes = page.bytes;
    // A page keeps what its file was (links, owner, attributes), written in place where it must be.
    QString keptCopy;
    if (!m_files.writeKeeping(path, bytes, &keptCopy)) {
        if (!keptCopy.isEmpty())
            qWarning(
                "the old text of %s could not be put back; it is kept in %s", qPrintable(path), qPrintable(keptCopy));
        throw VellumoError::cannotCreate(path);
    }
    m_outsideChanges.written(path, bytes, writtenFromNs);
    // The file now holds what the page holds: its characters, its declaration, in this encoding.
    m_encoding = page.encoding;
    m_readDamaged = false;
    rememberDeclaration();
    formatChanged();
    // What a save that was killed left beside a page goes when a page there is next saved or opened.
    m_files.clearStaleTemporaries(path.left(path.lastIndexOf(u'/') + 1));
}

QString Document::pageFolder() const
{
    const QString caption = m_view.caption();
    if (caption == newCaption())
        return QString();
    return caption.left(caption.lastIndexOf(u'/') + 1);
}

bool Document::mayOverwrite(const QString &path)
{
    return !m_files.writableDespiteItsMode(path)
        || m_dialogs.question(u"询问"_s, readOnlyQuestion(), MessageIcon::Question);
}

Explained<QString> Document::dialogSave(const QString &suggestedName)
{
    FileDialogRequest request;
    request.filter = fileFilter();
    request.folder = pageFolder();
    request.defaultExtension = u"htm"_s;
    request.fileName = suggestedName;
    // The page's encoding can be chosen beside the name; one the list lacks (a page reopened in
    // another encoding) is offered first.
    // What a save would write is what the dialog offers first.
    const PageEncoding expected = declaredEncoding();
    QList<PageEncoding> encodings = PageEncoding::saveChoices();
    if (!encodings.contains(expected))
        encodings.prepend(expected);
    request.choiceLabel = u"编码："_s;
    for (const PageEncoding &encoding : encodings)
        request.choices << encoding.shown();
    request.choice = int(encodings.indexOf(expected));
    const std::optional<SaveAnswer> answer = m_dialogs.saveFile(request);
    if (!answer)
        return Explained<QString>::none();
    std::optional<QString> path = answer->path;
    const PageEncoding picked
        = answer->choice >= 0 && answer->choice < encodings.size() ? encodings[answer->choice] : expected;
    // A name typed without an extension is saved as a page.
    const qsizetype slash = path->lastIndexOf(u'/');
    if (!path->mid(slash + 1).contains(u'.'))
        *path += u".htm"_s;
    if (m_files.fileExists(*path)
        && !m_dialogs.question(u"询问"_s, u"网页文件已经存在，是否要覆盖"_s, MessageIcon::Question))
        return Explained<QString>::none();
    if (!m_outsideChanges.mayOverwrite(*path) || !mayOverwrite(*path))
        return Explained<QString>::none();
    // An encoding the user chose is what the page says it is in, so browsers read it so.
    const bool chosen = picked != expected;
    if (chosen)
        declare(picked.label());
    const std::optional<Written> page = bytesToWrite(picked, chosen);
    if (!page)
        return Explained<QString>::none();
    writePage(*path, *page);
    return *path;
}

void Document::newPage()
{
    if (mayLeavePage())
        load(m_applicationFolder + u"lines.txt"_s, Source::NewPage, std::nullopt, newCaption());
}

void Document::newPageFrom(const QString &templatePath)
{
    // The template's own encoding and line ends; the page has no name yet.
    if (mayLeavePage())
        load(templatePath, Source::Template, std::nullopt, newCaption());
}

void Document::openPage()
{
    if (!mayLeavePage())
        return;
    FileDialogRequest request;
    request.filter = fileFilter();
    request.folder = pageFolder();
    const std::optional<QString> path = m_dialogs.openFile(request);
    if (path)
        openChosen(*path);
}

void Document::openPageAt(const QString &path)
{
    if (mayLeavePage())
        openChosen(path);
}

void Document::openChosen(const QString &path)
{
    if (m_recovery) {
        const std::optional<RecoveryCopy> live = m_recovery->liveCopyOf(path);
        if (live
            && m_dialogs.ask(u"询问"_s, liveCopyQuestion(path, live->written), MessageIcon::Warning) != Answer::Yes)
            return;
    }
    if (load(path, Source::Page, std::nullopt, path))
        m_files.clearStaleTemporaries(pageFolder());
}

void Document::savePage()
{
    if (m_view.caption() == newCaption()) {
        savePageAs();
        return;
    }
    if (!m_outsideChanges.mayOverwrite(m_view.caption()) || !mayOverwrite(m_view.caption()))
        return;
    const std::optional<Written> page = bytesToWrite(m_encoding, false);
    if (!page)
        return;
    writePage(m_view.caption(), *page);
    m_view.setUnmodified();
}

void Document::reopenIn(const PageEncoding &encoding)
{
    const QString path = m_view.caption();
    if (path == newCaption() || !mayLeavePage())
        return;
    load(path, Source::Page, encoding);
}

void Document::convertLineEnds(LineEnds ends)
{
    m_view.convertLineEnds(ends);
    m_lineEnds = ends;
    m_mixedLineEnds = false;
    formatChanged();
}

void Document::savePageAs()
{
    const Explained<QString> chosen = dialogSave();
    if (!chosen)
        return;
    m_view.setCaption(*chosen);
    m_view.setUnmodified();
}

bool Document::confirmClose()
{
    // A save that does not happen (cancelled, refused, failed) keeps the window and the changes.
    return mayLeavePage();
}

std::optional<RecoveryCopy> Document::recoverySnapshot(QByteArray reuse)
{
    if (!m_view.isModified())
        return std::nullopt;
    RecoveryCopy copy;
    const QString caption = m_view.caption();
    copy.pagePath = caption == newCaption() ? QString() : caption;
    copy.encoding = m_encoding;
    copy.lineEnds = m_lineEnds;
    copy.utf8 = m_view.copyUtf8(std::move(reuse));
    return copy;
}

void Document::restore(const RecoveryCopy &copy)
{
    m_view.beginLoad(copy.utf8.size());
    m_view.appendUtf8(copy.utf8);
    m_view.endLoad();
    m_view.setCaption(copy.pagePath.isEmpty() ? newCaption() : copy.pagePath);
    m_encoding = copy.encoding;
    m_lineEnds = copy.lineEnds;
    m_mixedLineEnds = false;
    m_readDamaged = false;
    m_view.setNewLineEnds(m_lineEnds);
    rememberDeclaration();
    formatChanged();
    m_view.markModified();
    if (!copy.pagePath.isEmpty())
        m_outsideChanges.textKeptOver(copy.pagePath);
}

QString Document::liveCopyQuestion(const QString &path, const QDateTime &written)
{
    return u"另一个正在运行的 Vellumo 中有此网页未保存的修改（恢复副本写于 %1）：\n%2\n"
           u"两边各自保存时，后保存的会覆盖先保存的。是否仍要打开？"_s.arg(
               written.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s), path);
}

void Document::checkFileOnDisk()
{
    // The same safe load as Open: a failed reload leaves the page as it was.
    if (m_view.caption() != newCaption() && m_outsideChanges.reloadWanted(m_view.caption()))
        load(m_view.caption(), Source::Page);
}

QString Document::previewPath() const
{
    const QString caption = m_view.caption();
    if (caption == newCaption())
        return m_applicationFolder + u"TEM~~CHO.HTM"_s;
    QString folder = caption.left(caption.lastIndexOf(u'/') + 1);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + u"TEM~~CHO.HTM"_s;
}

void Document::writePreview()
{
    // The preview is read by a browser: it is told the encoding the copy is in, and a page in an
    // encoding that cannot hold all its characters is previewed in UTF-8.
    PageEncoding encoding = m_encoding;
    if (PageCodec::unheldIn(m_view.utf8(), encoding, 1).any())
        encoding = PageEncoding::Utf8;
    const QByteArray page = PageDeclaration::declaring(m_view.utf8(), encoding.label());
    const QString path = previewPath();
    if (path != m_previewPath)
        removePreview();
    if (!m_files.writeAtomically(path, PageCodec::fromUtf8(page, encoding).bytes))
        throw VellumoError::cannotCreate(path);
    m_previewPath = path;
    m_previewStamp = m_files.stamp(path);
}

void Document::removePreview()
{
    // A file another program wrote or changed there since is not the program's to remove.
    if (!m_previewPath.isEmpty() && m_files.stamp(m_previewPath) == m_previewStamp)
        m_files.remove(m_previewPath);
    m_previewPath.clear();
}
