#include "buffersink.h"

#include "library/linebreaks.h"
#include "platform/clipboard.h"

using namespace Qt::StringLiterals;

void BufferSink::appendLine(const QString &text)
{
    m_buffer += text + u"\r\n"_s;
    publish();
}

void BufferSink::appendRaw(const QString &text)
{
    m_buffer += LineBreaks::toCrLf(text);
    publish();
}

void BufferSink::publish()
{
    if (m_clipboard)
        m_clipboard->setText(m_buffer);
}
