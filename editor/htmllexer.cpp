#include "htmllexer.h"

namespace {
// Set 1 of the HTML lexer holds element and attribute names alike, in lower case.
const char *const Html5Words
    = " article aside audio bdi canvas data datalist details dialog embed figcaption figure footer header"
      " hgroup main mark meter nav output picture progress rp rt ruby search section slot source summary"
      " template time track video wbr"
      " allowfullscreen as async autocomplete autofocus autoplay contenteditable controls crossorigin"
      " decoding default defer dirname download draggable enterkeyhint fetchpriority form formaction"
      " formenctype formmethod formnovalidate formtarget hidden high inert inputmode integrity is"
      " itemid itemprop itemref itemscope itemtype kind list loading loop low max min minlength"
      " muted nonce novalidate open optimum pattern ping placeholder playsinline popover poster preload"
      " referrerpolicy required reversed role sandbox sizes slot spellcheck srcdoc srclang srcset"
      " step translate wrap"
      " onabort onafterprint onbeforeprint onbeforeunload oncanplay oncanplaythrough oncontextmenu"
      " oncopy oncut ondrag ondragend ondragenter ondragleave ondragover ondragstart ondrop"
      " ondurationchange onended onerror onhashchange oninput oninvalid onloadeddata onloadedmetadata"
      " onloadstart onmessage onoffline ononline onpagehide onpageshow onpaste onpause onplay"
      " onplaying onpopstate onprogress onratechange onresize onscroll onseeked onseeking onstalled"
      " onstorage onsubmit onsuspend ontimeupdate ontoggle onvolumechange onwaiting onwheel";
}

HtmlLexer::HtmlLexer(QObject *parent)
    : QsciLexerHTML(parent)
    , m_htmlWords(QByteArray(QsciLexerHTML::keywords(1)) + Html5Words)
{
}

const char *HtmlLexer::keywords(int set) const
{
    return set == 1 ? m_htmlWords.constData() : QsciLexerHTML::keywords(set);
}

QColor HtmlLexer::defaultColor(int style) const
{
    if (style == UnknownAttribute)
        return QsciLexerHTML::defaultColor(Attribute);
    return QsciLexerHTML::defaultColor(style);
}
