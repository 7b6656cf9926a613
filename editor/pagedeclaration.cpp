#include "pagedeclaration.h"

namespace PageDeclaration {
namespace {
bool startsWithNoCase(QByteArrayView text, qsizetype at, QByteArrayView word)
{
    return text.size() - at >= word.size() && text.sliced(at, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

bool isLabelCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'
        || c == '.' || c == ':' || c == '+';
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// The label after "charset" in one meta tag, [from, to).
std::optional<Charset> inTag(QByteArrayView text, qsizetype from, qsizetype to)
{
    for (qsizetype at = from; at + 7 <= to; ++at) {
        if (!startsWithNoCase(text, at, "charset"))
            continue;
        qsizetype p = at + 7;
        while (p < to && isSpace(text[p]))
            ++p;
        if (p >= to || text[p] != '=')
            continue;
        ++p;
        while (p < to && isSpace(text[p]))
            ++p;
        if (p < to && (text[p] == '"' || text[p] == '\''))
            ++p;
        const qsizetype start = p;
        while (p < to && isLabelCharacter(text[p]))
            ++p;
        if (p > start)
            return Charset { start, p - start, QString::fromLatin1(text.sliced(start, p - start)) };
    }
    return std::nullopt;
}
}

std::optional<Charset> find(QByteArrayView utf8)
{
    const QByteArrayView text = utf8.first(qMin(utf8.size(), Reach));
    qsizetype at = 0;
    while ((at = text.indexOf('<', at)) >= 0) {
        if (startsWithNoCase(text, at, "<!--")) {
            const qsizetype end = text.indexOf(QByteArrayView("-->"), at + 4);
            if (end < 0)
                return std::nullopt;
            at = end + 3;
            continue;
        }
        if (startsWithNoCase(text, at, "<body"))
            return std::nullopt;
        if (startsWithNoCase(text, at, "<meta") && at + 5 < text.size()
            && (isSpace(text[at + 5]) || text[at + 5] == '/')) {
            const qsizetype end = text.indexOf('>', at);
            const qsizetype tagEnd = end < 0 ? text.size() : end;
            if (const std::optional<Charset> found = inTag(text, at + 5, tagEnd))
                return found;
            at = tagEnd;
            continue;
        }
        ++at;
    }
    return std::nullopt;
}

QByteArray declaring(QByteArrayView utf8, const QString &label)
{
    QByteArray page = utf8.toByteArray();
    if (const std::optional<Charset> found = find(utf8)) {
        page.replace(found->at, found->length, label.toLatin1());
        return page;
    }
    const QByteArray meta = "<meta charset=\"" + label.toLatin1() + "\">";
    // After a doctype, so that the page keeps the mode the doctype asks for.
    qsizetype at = 0;
    while (at < page.size() && isSpace(page[at]))
        ++at;
    if (startsWithNoCase(page, at, "<!doctype")) {
        const qsizetype end = page.indexOf('>', at);
        if (end >= 0) {
            page.insert(end + 1, meta);
            return page;
        }
    }
    page.prepend(meta);
    return page;
}
}
