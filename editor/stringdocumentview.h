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
    QByteArray copyUtf8() override { return text; }

    // An edit as the user makes it.
    void type(const QByteArray &utf8)
    {
        text += utf8;
        m_modified = true;
    }

    QByteArray text;
    // The room the last load asked for.
    qint64 reserved = 0;
    qint64 capacityBytes = std::numeric_limits<int>::max();

private:
    QString m_caption;
    QByteArray m_loading;
    bool m_modified = false;
};
