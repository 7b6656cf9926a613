#pragma once

#include "documentview.h"

#include <QByteArray>

#include <limits>

// A document view over a byte string, for tests: the text as UTF-8, the caption and the flag.
class StringDocumentView : public DocumentView
{
public:
    QString caption() const override { return m_caption; }
    void setCaption(const QString &caption) override { m_caption = caption; }
    bool isModified() const override { return m_modified; }
    void setUnmodified() override { m_modified = false; }
    void markModified() override { m_modified = true; }
    void beginLoad(qint64 expectedSize) override
    {
        reserved = expectedSize;
        m_loading.clear();
    }
    void appendUtf8(QByteArrayView piece) override { m_loading.append(piece); }
    void endLoad() override
    {
        text = m_loading;
        m_modified = false;
    }
    void abandonLoad() override { m_loading.clear(); }
    qint64 capacity() const override { return capacityBytes; }
    QByteArrayView utf8() override { return text; }
    qint64 utf8Size() const override { return text.size(); }
    QByteArray copyUtf8(QByteArray reuse = {}) override
    {
        QByteArray copy = roomFor(std::move(reuse), text.size());
        copy.append(text);
        return copy;
    }
    void setNewLineEnds(LineEnds ends) override { newLineEnds = ends; }
    void convertLineEnds(LineEnds ends) override
    {
        QByteArray converted;
        const QByteArray end = LineEndText::bytes(ends);
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' || text[i] == '\n') {
                converted += end;
                if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
            } else {
                converted += text[i];
            }
        }
        text = converted;
        newLineEnds = ends;
        m_modified = true;
    }
    void replaceText(qsizetype at, qsizetype length, QByteArrayView utf8) override
    {
        text.replace(at, length, utf8.toByteArray());
        m_modified = true;
    }

    // An edit as the user makes it.
    void type(const QByteArray &utf8)
    {
        text += utf8;
        m_modified = true;
    }

    QByteArray text;
    LineEnds newLineEnds = LineEnds::CrLf;
    // The room the last load asked for.
    qint64 reserved = 0;
    qint64 capacityBytes = std::numeric_limits<int>::max();

private:
    QString m_caption;
    QByteArray m_loading;
    bool m_modified = false;
};
