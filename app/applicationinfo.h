#pragma once

#include <QString>

// The program's own name and the author's fixed addresses.
namespace ApplicationInfo {
inline QString title()
{
    return QStringLiteral("Vellumo");
}
inline QString authorName()
{
    return QStringLiteral("Tamsel");
}
inline QString homePage()
{
    return QStringLiteral("https://vellumo.example.org/");
}
inline QString mailAddress()
{
    return QStringLiteral("tamsel@vellumo.example.org");
}
}
