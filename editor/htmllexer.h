#pragma once

#include <Qsci/qscilexerhtml.h>

#include <QByteArray>

// The HTML colouring with today's HTML: the elements and attributes that HTML5 added are known
// words, and attributes the author names freely (data-*, aria-*) look like any other attribute
// rather than like mistakes.
class HtmlLexer : public QsciLexerHTML
{
    Q_OBJECT
public:
    explicit HtmlLexer(QObject *parent = nullptr);

    const char *keywords(int set) const override;
    QColor defaultColor(int style) const override;

private:
    QByteArray m_htmlWords;
};
