#include "previewassembly.h"

#include "definitionfile.h"
#include "imageeffect.h"
#include "library/effectindex.h"
#include "library/effectkind.h"
#include "library/linebreaks.h"
#include "menueffect.h"
#include "platform/ansi.h"
#include "platform/filesystem.h"
#include "platform/vellumoerror.h"
#include "texteffect.h"
#include "textsink.h"

using namespace Qt::StringLiterals;

namespace {
const QString SampleFolder = u"示例图片/"_s;
constexpr int SamplePictureCount = 4;
// Submenus of the sample menu, with the parent menu before them where the effect has one.
const QString SampleParentMenu = u"栏目"_s;
const QStringList SampleSubmenus { u"首页"_s, u"新闻动态"_s, u"联系我们"_s };
const QString SampleRow = u"示例文字"_s;

bool isZero(const QString &size)
{
    return size.isEmpty() || size == u"0"_s;
}
}

PreviewAssembly::PreviewAssembly(QStringList samplePictures)
    : m_samplePictures(std::move(samplePictures))
{
}

QStringList PreviewAssembly::samplePictures(FileSystem &files, const QString &applicationFolder)
{
    QStringList pictures;
    for (int k = 1; k <= SamplePictureCount; ++k) {
        const QString path
            = files.resolveName(applicationFolder + SampleFolder + u"示例"_s + QString::number(k) + u".jpg"_s);
        if (files.fileExists(path))
            pictures.append(path);
    }
    return pictures;
}

QString PreviewAssembly::sampleWidth()
{
    return u"160"_s;
}

QString PreviewAssembly::sampleHeight()
{
    return u"120"_s;
}

MenuInputs PreviewAssembly::openingMenuInputs()
{
    return { u"0"_s, u"0"_s, QString(), QString(), u"http://"_s, u"1"_s };
}

TextInputs PreviewAssembly::openingTextInputs()
{
    return { u"输入要设置的文字"_s, u"宋体"_s, u"#0000000"_s, u"1"_s };
}

QString PreviewAssembly::samplePicture(int index) const
{
    // Without sample pictures the slot names a picture that is not there, as an empty slot would.
    if (m_samplePictures.isEmpty())
        return SampleFolder + u"示例"_s + QString::number(index % SamplePictureCount + 1) + u".jpg"_s;
    return m_samplePictures[index % m_samplePictures.size()];
}

PreviewContent PreviewAssembly::image(const ImageEffect &effect, const QString &width, const QString &height) const
{
    ImageEffect copy(effect);
    PreviewContent content;
    const int count = DefinitionFile::number(copy.state.imageCount);
    while (copy.state.images.size() < count) {
        copy.state.images.append(samplePicture(int(copy.state.images.size())));
        content.samples = true;
    }
    if (!isZero(width) && !isZero(height))
        copy.setSize(width, height);
    while (copy.setSize(sampleWidth(), sampleHeight()) == ImageEffect::SizeResult::Set)
        content.samples = true;
    TextSink sink;
    copy.assemble(sink);
    content.code = sink.text;
    content.files = copy.flow().filesToCopy(copy.state);
    return content;
}

PreviewContent PreviewAssembly::menu(const MenuEffect &effect, const MenuInputs &inputs, const QString &rowBuffer) const
{
    bool parentMenuNeeded = effect.parentMenuNeeded();
    MenuEffect copy(effect, parentMenuNeeded);
    PreviewContent content;
    MenuInputs now = inputs;
    if (copy.sizeWanted() && (isZero(now.width) || isZero(now.height))) {
        now.width = sampleWidth();
        now.height = u"30"_s;
        content.samples = true;
    }
    // A submenu of a menu with pictures needs its picture before it is added.
    const auto pictureForNextSubmenu = [&] {
        if (copy.checksImages() && copy.state.images.size() == copy.submenusText().toInt()) {
            copy.state.images.append(samplePicture(int(copy.state.images.size())));
            content.samples = true;
        }
    };
    TextSink rows(rowBuffer);
    bool entered = !rowBuffer.isEmpty();
    if (!now.parentName.isEmpty() && copy.addParentMenu(now.parentName, rows) == MenuEffect::AddResult::Added)
        entered = true;
    if (!now.submenuName.isEmpty()) {
        pictureForNextSubmenu();
        if (copy.addSubmenu(now, rows) == MenuEffect::AddResult::Added)
            entered = true;
    }
    if (!entered) {
        content.samples = true;
        if (copy.switches.parentMenuButton)
            copy.addParentMenu(SampleParentMenu, rows);
        MenuInputs sample = now;
        sample.wanted = QString::number(SampleSubmenus.size() + 1);
        for (const QString &name : SampleSubmenus) {
            sample.submenuName = name;
            sample.link = u"#"_s;
            pictureForNextSubmenu();
            copy.addSubmenu(sample, rows);
        }
    }
    TextSink sink;
    copy.assemble(now, rows.text, sink);
    content.code = sink.text;
    content.files = copy.flow().filesToCopy(copy.state);
    return content;
}

PreviewContent PreviewAssembly::text(const TextEffect &effect, const TextInputs &inputs, const QString &rowBuffer) const
{
    TextEffect copy(effect);
    PreviewContent content;
    TextSink rows(rowBuffer);
    bool entered = effect.hasRows();
    if (!inputs.text.isEmpty() && copy.addRow(inputs, rows) == TextEffect::RowResult::Added)
        entered = true;
    if (!entered) {
        TextInputs sample = inputs;
        sample.text = SampleRow;
        sample.count.clear(); // a count no row number equals
        copy.addRow(sample, rows);
        content.samples = true;
    }
    while (copy.state.images.size() < DefinitionFile::number(copy.state.imageCount)) {
        copy.state.images.append(samplePicture(int(copy.state.images.size())));
        content.samples = true;
    }
    TextSink sink;
    copy.assemble(inputs, rows.text, sink);
    content.code = sink.text;
    content.files = copy.flow().filesToCopy(copy.state);
    return content;
}

PreviewContent PreviewAssembly::defaults(
    FileSystem &files, const QString &applicationFolder, const QString &category, const QString &effect) const
{
    const EffectKind kind = EffectKinds::fromText(EffectIndex(files, applicationFolder).kind(category, effect));
    if (kind == EffectKind::SimpleCopy) {
        const QString path = files.resolveName(applicationFolder + category + u'/' + effect + u".txt"_s);
        const std::optional<QByteArray> bytes = files.fileExists(path) ? files.readAll(path) : std::nullopt;
        if (!bytes)
            throw VellumoError(u"文件不存在"_s);
        PreviewContent content;
        content.code = LineBreaks::toCrLf(Ansi::decode(*bytes));
        return content;
    }
    if (kind != EffectKind::Image && kind != EffectKind::Menu && kind != EffectKind::Text)
        return {};
    const DefinitionFile definition(files, applicationFolder, category, effect);
    if (!definition.exists())
        throw VellumoError(DefinitionFile::missingMessage());
    if (kind == EffectKind::Image) {
        ImageEffect image(files, definition);
        image.open();
        return this->image(image, QString(), QString());
    }
    if (kind == EffectKind::Menu) {
        bool parentMenuNeeded = true;
        MenuEffect menu(files, definition, parentMenuNeeded);
        menu.open();
        return this->menu(menu, openingMenuInputs(), QString());
    }
    TextEffect text(files, definition);
    text.open();
    const TextInputs opening = openingTextInputs();
    // A sample row rather than the box's prompt to type.
    return this->text(text, { QString(), opening.font, opening.colour, opening.count }, QString());
}
