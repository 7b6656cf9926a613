#include "menueffect.h"

#include "definitionfile.h"
#include "platform/vellumoerror.h"
#include "snippetsink.h"

using namespace Qt::StringLiterals;

using EffectTokens::Element;
using EffectTokens::is;

namespace {
const EffectTokens::KindTokens &tokens()
{
    return EffectTokens::of(EffectKind::Menu);
}
}

MenuEffect::MenuEffect(FileSystem &files, const DefinitionFile &definition, bool &parentMenuNeeded)
    : m_definition(definition)
    , m_flow(files, definition)
    , m_parentMenuNeeded(parentMenuNeeded)
{
}

MenuEffect::MenuEffect(const MenuEffect &other, bool &parentMenuNeeded)
    : switches(other.switches)
    , state(other.state)
    , m_definition(other.m_definition)
    , m_flow(other.m_flow)
    , m_parentMenuNeeded(parentMenuNeeded)
    , m_sizeSet(other.m_sizeSet)
    , m_submenus(other.m_submenus)
{
}

QString MenuEffect::zeroSizeMessage()
{
    return u"长和宽都不能等于0，否则本特效不可视"_s;
}
QString MenuEffect::emptyParentNameMessage()
{
    return u"是否尚未设置母菜单名字？"_s;
}
QString MenuEffect::needsParentMenuMessage()
{
    return u"由于该特效可能需要母菜单，所以必须先设好母菜单名"_s;
}
QString MenuEffect::submenusFullMessage()
{
    return u"子菜单的数目已经达到饱和了"_s;
}
QString MenuEffect::wrongImagesMessage()
{
    return u"菜单需要图像支持，现在缺少图像或过多图像。"_s;
}
QString MenuEffect::imagesFullMessage()
{
    return u"图像已经达到饱和"_s;
}
QString MenuEffect::sizeWantedMessage()
{
    return u"本特效需要设置菜单面积"_s;
}

bool MenuEffect::checksImages() const
{
    return !is(state.imageCount, u"x"_s);
}

void MenuEffect::open()
{
    // imgfilet decides whether images are listed, so it is read before the shared opening.
    const bool withoutImages = is(m_definition.countText(u"imgfilet"_s), u"x"_s);
    m_flow.open(state, withoutImages);
    if (!state.opened)
        return;
    const QString parents = m_definition.file(EffectTokens::ParentMenuStem);
    if (parents == u"0"_s) {
        switches.parentMenuButton = false;
        m_parentMenuNeeded = false;
    } else if (parents == u"1"_s) {
        m_parentMenuNeeded = true;
    }
    switches.countBox = m_definition.file(u"lino"_s) != u"1"_s;
    switches.sizeButton = m_definition.file(u"txty"_s) != u"0"_s;
}

MenuEffect::SizeResult MenuEffect::setSize(const QString &width, const QString &height)
{
    if (width == u"0"_s || height == u"0"_s)
        return SizeResult::Zero;
    m_sizeSet = true;
    return SizeResult::Set;
}

MenuEffect::AddResult MenuEffect::addParentMenu(const QString &name, SnippetSink &rows)
{
    if (name.isEmpty())
        return AddResult::EmptyName;
    if (!m_definition.exists())
        return AddResult::DefinitionMissing;
    rows.appendRaw(m_definition.wrapped(EffectTokens::ParentMenuTop, EffectTokens::ParentMenuBottom, name));
    m_submenus = 0;
    m_parentMenuNeeded = false;
    return AddResult::Added;
}

MenuEffect::AddResult MenuEffect::addSubmenu(const MenuInputs &inputs, SnippetSink &rows)
{
    if (m_parentMenuNeeded)
        return AddResult::NeedsParentMenu;
    if (inputs.wanted == submenusText())
        return AddResult::Full;
    if (!m_definition.exists())
        return AddResult::DefinitionMissing;
    if (checksImages() && state.images.size() != m_submenus + 1)
        return AddResult::WrongImages;
    ++m_submenus;
    m_flow.buildRow(rows, [&](const QString &token, int place) {
        if (const std::optional<QString> a = ruleA(inputs, token))
            return *a;
        return ruleB(token, place).value_or(QString());
    });
    return AddResult::Added;
}

// Name, blank, link address or text piece; no match lets rule B try the token.
std::optional<QString> MenuEffect::ruleA(const MenuInputs &inputs, const QString &token) const
{
    if (const EffectTokens::Rule *rule = EffectTokens::find(tokens().rows, token)) {
        switch (rule->element) {
        case Element::SubmenuName:
            return m_definition.wrapped(*rule, inputs.submenuName);
        case Element::Blank:
            return u" "_s;
        case Element::LinkAddress:
            return m_definition.wrapped(*rule, inputs.link);
        default:
            break;
        }
    }
    if (const Explained<QString> text = m_flow.piece(token))
        return *text;
    return std::nullopt;
}

// Number, image or fixed link text of the submenu just counted.
std::optional<QString> MenuEffect::ruleB(const QString &token, int place) const
{
    if (const EffectTokens::Rule *rule = EffectTokens::find(tokens().rows, token)) {
        if (rule->element == Element::Number) {
            const QString mode = m_definition.file(rule->countingKey());
            const int n = mode == u"0"_s ? m_submenus - 1 : mode == u"1"_s ? m_submenus : place;
            return m_definition.wrapped(*rule, QString::number(n));
        }
        if (rule->element == Element::SubmenuImage) {
            const int index = m_submenus - 1;
            if (index >= state.images.size())
                throw VellumoError::listIndexOutOfBounds(index);
            return m_definition.wrapped(*rule, SetupFlow::fileNameOf(state.images[index]));
        }
    }
    if (const Explained<QString> text = fixedLink(token))
        return *text;
    return std::nullopt;
}

Explained<QString> MenuEffect::fixedLink(const QString &token) const
{
    const QString count = m_definition.file(u"lt"_s);
    const int links = count.isEmpty() ? 0 : DefinitionFile::number(count);
    const int j = EffectTokens::numbered(token, EffectTokens::LinkStem, Qt::CaseInsensitive);
    if (j < 1 || j > links)
        return Explained<QString>::none();
    return m_definition.file(EffectTokens::LinkStem + QString::number(j));
}

MenuEffect::ImageCheck MenuEffect::beforeAddingImage() const
{
    if (state.images.size() > m_submenus)
        return ImageCheck::Full;
    if (!m_definition.exists())
        return ImageCheck::DefinitionMissing;
    if (m_definition.countText(u"imgfilet"_s) == u"0"_s)
        return ImageCheck::NoImages;
    return ImageCheck::Ask;
}

QString MenuEffect::sizeText(const EffectTokens::Rule &rule, const MenuInputs &inputs) const
{
    return m_definition.wrapped(rule, u" width="_s + inputs.width + u" height="_s + inputs.height + u" "_s);
}

void MenuEffect::assemble(const MenuInputs &inputs, const QString &rowBuffer, SnippetSink &sink) const
{
    m_flow.walkSteps([&](const QString &token) {
        if (const Explained<QString> text = fixedLink(token); text && !text->isEmpty())
            sink.appendRaw(*text);
        if (const Explained<QString> text = m_flow.piece(token); text && !text->isEmpty())
            sink.appendRaw(*text);
        const EffectTokens::Rule *rule = EffectTokens::find(tokens().steps, token);
        if (rule && rule->element == Element::MenuSize)
            sink.appendRaw(sizeText(*rule, inputs));
        if (rule && rule->element == Element::Rows && !rowBuffer.isEmpty())
            sink.appendRaw(rowBuffer);
    });
}
