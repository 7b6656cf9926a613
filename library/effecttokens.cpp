#include "effecttokens.h"

using namespace Qt::StringLiterals;

namespace EffectTokens {

namespace {
Rule wrapped(const QString &name, Element element, const QString &stem, Counting counting = Counting::None)
{
    return { name, element, stem + u"top"_s, stem + u"bu"_s, counting, false };
}

Rule plain(const QString &name, Element element)
{
    return { name, element, QString(), QString(), Counting::None, false };
}

const KindTokens &imageTokens()
{
    static const KindTokens tokens {
        { { u"inname"_s, Element::ImageNames, u"intop"_s, u"inbu"_s, Counting::None, true },
            { u"imain"_s, Element::ImageTags, u"immtop"_s, u"immbu"_s, Counting::None, true } },
        {}, false
    };
    return tokens;
}

const KindTokens &menuTokens()
{
    static const KindTokens tokens { { plain(u"list"_s, Element::Rows),
                                         { u"txtm"_s, Element::MenuSize, u"txtmto"_s, u"txtmbu"_s } },
        { wrapped(u"txtca"_s, Element::SubmenuName, u"ca"_s), plain(u"nils"_s, Element::Blank),
            wrapped(u"txtli"_s, Element::LinkAddress, u"li"_s), wrapped(u"img"_s, Element::SubmenuImage, u"img"_s),
            wrapped(u"iii"_s, Element::Number, u"iii"_s, Counting::ZeroOneOrPlace) },
        true };
    return tokens;
}

const KindTokens &textTokens()
{
    static const KindTokens tokens { { plain(u"list"_s, Element::Rows), wrapped(u"font"_s, Element::Font, u"font"_s),
                                         wrapped(u"color"_s, Element::Colour, u"color"_s),
                                         wrapped(u"ttt"_s, Element::RowCount, u"ttt"_s, Counting::ZeroOrOneOnly),
                                         wrapped(u"iii"_s, Element::Number, u"iii"_s, Counting::ZeroOrOneOnly) },
        { wrapped(u"txt"_s, Element::Text, u"txt"_s), wrapped(u"font"_s, Element::Font, u"font"_s),
            wrapped(u"color"_s, Element::Colour, u"color"_s),
            wrapped(u"iii"_s, Element::Number, u"iii"_s, Counting::ZeroOrOneOnly) },
        false };
    return tokens;
}
}

const KindTokens &of(EffectKind kind)
{
    static const KindTokens none;
    switch (kind) {
    case EffectKind::Image:
        return imageTokens();
    case EffectKind::Menu:
        return menuTokens();
    case EffectKind::Text:
        return textTokens();
    default:
        return none;
    }
}

const Rule *find(const QList<Rule> &rules, const QString &token, const QString &imageCount)
{
    for (const Rule &rule : rules)
        if (rule.suffixed ? token == rule.name + imageCount : is(token, rule.name))
            return &rule;
    return nullptr;
}

int numbered(const QString &token, const QString &stem, Qt::CaseSensitivity cs)
{
    if (!token.startsWith(stem, cs) || token.size() == stem.size() || token.size() - stem.size() > 10)
        return 0;
    const QStringView digits = QStringView(token).mid(stem.size());
    if (digits.front() == u'0')
        return 0;
    for (QChar c : digits)
        if (c < u'0' || c > u'9')
            return 0;
    const qint64 n = digits.toLongLong();
    return n <= 2147483647 ? int(n) : 0;
}

}
