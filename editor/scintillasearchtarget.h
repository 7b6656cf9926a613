#pragma once

#include "searchtarget.h"

#include <QByteArray>
#include <QString>

class QsciScintilla;

// The editor as a search target, in bytes of its text; searches and replaces through Scintilla's target,
// so that a Replace All of many matches in a large page stays linear.
class ScintillaSearchTarget : public SearchTarget
{
public:
    explicit ScintillaSearchTarget(QsciScintilla *editor) : m_editor(editor) {}

    qsizetype textLength() const override;
    qsizetype selectionStart() const override;
    qsizetype selectionEnd() const override;
    qsizetype lengthOf(const QString &text) const override;
    qsizetype find(const QString &text, qsizetype start, qsizetype range, SearchOptions options) const override;
    void select(qsizetype position, qsizetype length) override;
    void replaceSelection(const QString &text) override;
    void replace(qsizetype position, qsizetype length, const QString &text) override;
    void beginUndoAction() override;
    void endUndoAction() override;
    void focus() override;

private:
    // The editor's bytes for a text; a Replace All asks for the same two texts again and again.
    struct Encoded
    {
        QString text;
        QByteArray bytes;
    };
    const QByteArray &encoded(Encoded &cache, const QString &text) const;

    QsciScintilla *m_editor;
    int m_undoDepth = 0;
    long m_wrapMode = 0;
    mutable Encoded m_searched;
    mutable Encoded m_inserted;
};
