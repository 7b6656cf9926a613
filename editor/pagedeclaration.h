#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The character set a page declares for browsers: `<meta charset="...">`, or `<meta http-equiv=
// "Content-Type" content="text/html; charset=...">`.
namespace PageDeclaration {
struct Charset
{
    qsizetype at = 0; // where the label starts in the text, in bytes
    qsizetype length = 0;
    QString label; // as written
};

// The first declaration in the page's head where browsers look for it: outside comments, before
// `<body`, within the first Reach bytes.
std::optional<Charset> find(QByteArrayView utf8);
constexpr qsizetype Reach = 64 * 1024;

// The page as a browser is to read it in the encoding labelled `label`: the declaration's label
// replaced, or, for a page that declares nothing, a `<meta charset>` put in after its doctype (or at
// its start).
QByteArray declaring(QByteArrayView utf8, const QString &label);
}
