#include "buffersink.h"

#include "library/linebreaks.h"
#include "platform/clipboard.h"
#include "setupcontext.h"
#include "widgets/textbufferedit.h"

using namespace Qt::StringLiterals;

void BufferSink::appendLine(const QString &text)
{
    m_buffer.appendText(text + u"\r\n"_s);
    publish();
}

void BufferSink::appendRaw(const QString &text)
{
    m_buffer.appendText(LineBreaks::toCrLf(text));
    publish();
}

void BufferSink::publish()
{
    if (m_clipboard)
        m_clipboard->setText(m_buffer.text());
}

void SetupContext::emptyBuffers() const
{
    snippets->clearText();
    rows->clearText();
    pieces->clearText();
}
