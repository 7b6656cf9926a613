#pragma once

#include "searchtarget.h"

#include <QList>
#include <QString>

// A search target over a string, in its UTF-16 characters, with an editor's undo steps; whole words
// are told apart the way the editor tells them: letters, marks, digits and "_" against punctuation
// against spaces.
class StringSearchTarget : public SearchTarget
{
public:
    explicit StringSearchTarget(const QString &text = QString())
        : m_text(text)
    {
    }

    const QString &text() const { return m_text; }
    QString selectedText() const { return m_text.mid(m_start, m_end - m_start); }
    bool hasFocus() const { return m_focused; }
    // Takes back the last edit, or everything between the last pair of undo-action calls.
    bool undo();

    qsizetype textLength() const override { return m_text.size(); }
    qsizetype selectionStart() const override { return m_start; }
    qsizetype selectionEnd() const override { return m_end; }
    qsizetype lengthOf(const QString &text) const override { return text.size(); }
    qsizetype find(const QString &text, qsizetype start, qsizetype range, SearchOptions options) const override;
    void select(qsizetype position, qsizetype length) override;
    void replaceSelection(const QString &text) override;
    void replace(qsizetype position, qsizetype length, const QString &text) override;
    void beginUndoAction() override;
    void endUndoAction() override;
    void focus() override { m_focused = true; }

private:
    bool isWordAt(qsizetype start, qsizetype end) const;
    void aboutToEdit();

    QString m_text;
    qsizetype m_start = 0;
    qsizetype m_end = 0;
    bool m_focused = false;
    int m_undoDepth = 0;
    bool m_groupRecorded = false;
    QList<QString> m_undo;
};
