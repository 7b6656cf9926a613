#pragma once

#include <QString>

// The kind stored for an effect under "system": compared exactly as read ("01" is no kind "1").
enum class EffectKind { Unusable, SimpleCopy, Image, Menu, Text, Unknown };

namespace EffectKinds {
inline EffectKind fromText(const QString &kind)
{
    if (kind.isEmpty() || kind == u"0")
        return EffectKind::Unusable;
    if (kind == u"1")
        return EffectKind::SimpleCopy;
    if (kind == u"2")
        return EffectKind::Image;
    if (kind == u"3")
        return EffectKind::Menu;
    if (kind == u"4")
        return EffectKind::Text;
    return EffectKind::Unknown;
}
}
