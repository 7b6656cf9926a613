#include "imageeffect.h"

#include "definitionfile.h"
#include "snippetsink.h"

using namespace Qt::StringLiterals;

ImageEffect::ImageEffect(FileSystem &files, const DefinitionFile &definition)
    : m_definition(definition)
    , m_flow(files, definition)
{
}

QString ImageEffect::sizesCompleteMessage()
{
    return u"图像文件已经达到饱和，无文件可再设置"_s;
}

QString ImageEffect::zeroSizeMessage()
{
    return u"长或宽的设置不能为0"_s;
}

QString ImageEffect::notReadyMessage()
{
    return u"未能达到设置文件数目要求"_s;
}

ImageEffect::SizeResult ImageEffect::setSize(const QString &width, const QString &height)
{
    if (heights.size() >= state.images.size() || state.sizeCounter >= state.images.size())
        return SizeResult::Saturated;
    if (width == u"0"_s || height == u"0"_s)
        return SizeResult::Zero;
    widths.append(width);
    heights.append(height);
    ++state.sizeCounter;
    return SizeResult::Set;
}

bool ImageEffect::readyToCopy() const
{
    const int images = DefinitionFile::number(state.imageCount);
    if (state.images.size() != images || state.sizeCounter != images)
        return false;
    return state.textFiles.size() == DefinitionFile::number(state.textCount);
}

void ImageEffect::assemble(SnippetSink &sink) const
{
    m_flow.walkSteps([&](const QString &token) { offer(token, sink); });
}

void ImageEffect::offer(const QString &token, SnippetSink &sink) const
{
    const QString n = m_definition.countText(u"imgfilet"_s);
    const int count = DefinitionFile::number(n);
    const EffectTokens::Rule *rule = EffectTokens::find(EffectTokens::of(EffectKind::Image).steps, token, n);
    // A definition file changed since the checks cannot make the loop run past the lists.
    const int listed = int(qMax(state.images.size(), widths.size()));
    for (int k = 0; rule && k < qMin(count, listed); ++k) {
        // An image or size pair the lists do not hold (a definition file changed since opening)
        // stands as an empty value.
        const auto at = [k](const QStringList &list) { return k < list.size() ? list[k] : QString(); };
        if (rule->element == EffectTokens::Element::ImageNames)
            sink.appendLine(m_definition.wrapped(*rule, SetupFlow::fileNameOf(at(state.images)), n));
        else
            sink.appendLine(
                m_definition.wrapped(*rule, u" WIDTH=\""_s + at(widths) + u"\" HEIGHT=\""_s + at(heights), n));
    }
    // An empty piece adds nothing and leaves the clipboard as it is, as in the other windows.
    if (const Explained<QString> text = m_flow.piece(token); text && !text->isEmpty())
        sink.appendRaw(*text);
}
