#include "setupflow.h"

#include "definitionfile.h"
#include "library/effecttokens.h"
#include "library/librarynames.h"
#include "platform/filesystem.h"
#include "snippetsink.h"
#include "textpiece.h"

using namespace Qt::StringLiterals;

SetupFlow::SetupFlow(FileSystem &files, const DefinitionFile &definition)
    : m_files(files)
    , m_definition(definition)
{
}

QString SetupFlow::statusLine(const QString &images, const QString &texts, const QString &hint)
{
    return u"本特效需图像文件"_s + images + u"个，需文本文件"_s + texts + u"个。"_s + hint;
}

QString SetupFlow::completeMessage()
{
    return u"图像文件已经达到饱和，无需再增多文件"_s;
}

QString SetupFlow::pictureFilter()
{
    return u"All (*.jpg;*.gif;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.jpg;*.gif;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
           "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
           "Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|gif(*.gif)|*.gif"_s;
}

void SetupFlow::open(SetupState &state, bool skipImageNames) const
{
    state.opened = m_definition.exists();
    if (!state.opened)
        return;
    state.imageCount = m_definition.countText(u"imgfilet"_s);
    state.textCount = m_definition.countText(u"txtfilet"_s);
    const QString folder = m_definition.categoryFolder();
    if (!skipImageNames) {
        const int n = m_definition.walkedCount(u"file"_s, u"imgfilename"_s, DefinitionFile::number(state.imageCount));
        for (int k = 1; k <= n; ++k) {
            const QString name = m_definition.file(u"imgfilename"_s + QString::number(k));
            if (name == u"0"_s)
                continue;
            state.images.append(folder + name);
            if (!LibraryNames::namesOwnFile(name))
                state.outside.append(folder + name);
        }
    }
    const int m = m_definition.walkedCount(u"file"_s, u"txtfilename"_s, DefinitionFile::number(state.textCount));
    for (int k = 1; k <= m; ++k) {
        const QString name = m_definition.file(u"txtfilename"_s + QString::number(k));
        if (name == u"0"_s)
            continue;
        state.textFiles.append(folder + name);
        if (!LibraryNames::namesOwnFile(name))
            state.outside.append(folder + name);
    }
    state.hint = m_definition.file(u"hbu"_s);
    const QString sizes = m_definition.file(u"szwc"_s);
    state.sizeCounter = sizes.isEmpty() ? 0 : DefinitionFile::number(sizes);
    state.status = statusLine(state.imageCount, state.textCount, state.hint);
}

bool SetupFlow::canAddImage(const SetupState &state)
{
    return state.images.size() < DefinitionFile::number(state.imageCount);
}

QString SetupFlow::destinationFolder(const QString &chosen)
{
    return chosen.endsWith(u'/') ? chosen : chosen + u'/';
}

QString SetupFlow::fileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QList<SetupFlow::FileToCopy> SetupFlow::filesToCopy(const SetupState &state) const
{
    QList<FileToCopy> files;
    for (const QString &image : state.images)
        if (!state.outside.contains(image))
            files.append({ m_files.resolveName(image), fileNameOf(image) });
    for (const QString &text : state.textFiles) {
        if (state.outside.contains(text))
            continue;
        const QString name = fileNameOf(text);
        files.append({ m_files.resolveName(m_definition.categoryFolder() + name), name });
    }
    return files;
}

int SetupFlow::copyFiles(const SetupState &state, const QString &destination) const
{
    int copied = 0;
    for (const FileToCopy &file : filesToCopy(state))
        if (m_files.copyWithoutOverwrite(file.source, destination + file.name))
            ++copied;
    return copied;
}

bool SetupFlow::hasFilesToCopy(const SetupState &state)
{
    return !state.images.isEmpty() || !state.textFiles.isEmpty();
}

void SetupFlow::buildRow(SnippetSink &rows, const std::function<QString(const QString &token, int i)> &element) const
{
    const int total
        = m_definition.walkedCount(u"list"_s, u"list"_s, DefinitionFile::number(m_definition.rows(u"total"_s)));
    for (int i = 1; i <= total; ++i) {
        const QString text = element(m_definition.rows(u"list"_s + QString::number(i)), i);
        if (!text.isEmpty())
            rows.appendRaw(text);
    }
}

void SetupFlow::walkSteps(const std::function<void(const QString &token)> &offer) const
{
    const int total
        = m_definition.walkedCount(u"abcd"_s, u"open"_s, DefinitionFile::number(m_definition.steps(u"total"_s)));
    for (int i = 1; i <= total; ++i)
        offer(m_definition.steps(u"open"_s + QString::number(i)));
}

Explained<QString> SetupFlow::piece(const QString &token) const
{
    const int pieces = DefinitionFile::number(m_definition.file(u"ft"_s));
    const int j = EffectTokens::numbered(token, EffectTokens::PieceStem);
    if (j < 1 || j > pieces)
        return Explained<QString>::none();
    const std::optional<QString> loaded = TextPiece::load(m_files, m_definition.piecePath(j));
    if (!loaded)
        return Explained<QString>::none();
    return *loaded;
}
