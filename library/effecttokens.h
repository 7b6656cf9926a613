#pragma once

#include "effectkind.h"

#include <QList>
#include <QString>

// The elements a definition file's step list ([abcd] openN) and row template ([list] listN) may
// name, for each kind of effect, with the [file] keys each element reads. The setup windows assemble
// by this table and the library check checks definition files by it, so the two never disagree.
namespace EffectTokens {

enum class Element {
    Rows, // list: everything the rows have built
    MenuSize, // txtm: the menu's width and height
    ImageNames, // inname<N>: one line per image, its file name
    ImageTags, // imain<N>: one line per image, its tag with width and height
    SubmenuName, // txtca
    Blank, // nils: one space
    LinkAddress, // txtli
    SubmenuImage, // img: the submenu's picture
    Number, // iii: the row's number
    RowCount, // ttt: how many rows there are
    Text, // txt
    Font, // font
    Colour, // color
};

// How a number element counts: key "0" from 0, "1" from 1; for the menu's submenu number any other
// value means the row's place in the template, for the text effect's it leaves the element out.
enum class Counting { None, ZeroOrOneOnly, ZeroOneOrPlace };

struct Rule
{
    QString name; // the token in any letter case; image tokens: exactly, followed by imgfilet as read
    Element element;
    QString top; // [file] key written before the value; empty when the element has no wrapper
    QString bottom; // [file] key written after it
    Counting counting = Counting::None;
    bool suffixed = false; // the image tokens and their keys carry imgfilet's text

    QString topKey(const QString &imageCount) const { return suffixed ? top + imageCount : top; }
    QString bottomKey(const QString &imageCount) const { return suffixed ? bottom + imageCount : bottom; }
    // The [file] key holding the counting mode ("iii", "ttt").
    QString countingKey() const { return name.toLower(); }
};

struct KindTokens
{
    QList<Rule> steps;
    QList<Rule> rows; // empty: the kind builds no rows (the image effect)
    bool fixedLinks = false; // links<j> for j in 1..lt (the menu effect)
};

// The table of an image, menu or text effect; an empty one for the other kinds.
const KindTokens &of(EffectKind kind);

// The rule list's element named by token; nullptr when it names none. imageCount is imgfilet as
// read ("0" when empty), which the image tokens end with.
const Rule *find(const QList<Rule> &rules, const QString &token, const QString &imageCount = QString());

// Text pieces: fno<j> (letter case as written) for j in 1..ft, in every list of every kind.
inline const QString PieceStem = QStringLiteral("fno");
// Fixed link texts: links<j> in any letter case for j in 1..lt.
inline const QString LinkStem = QStringLiteral("links");
// The menu's parent-menu rows (mm=1) are wrapped by these keys.
inline const QString ParentMenuTop = QStringLiteral("mmtop");
inline const QString ParentMenuBottom = QStringLiteral("mmbu");
inline const QString ParentMenuStem = QStringLiteral("mm");

// n when the token is stem + n (decimal, no leading zero, n >= 1), the stem in the letter case rule
// given; 0 otherwise.
int numbered(const QString &token, const QString &stem, Qt::CaseSensitivity cs = Qt::CaseSensitive);
// A token that names an element in any letter case.
inline bool is(const QString &token, const QString &name)
{
    return token.compare(name, Qt::CaseInsensitive) == 0;
}

}
