#pragma once

#include "searchtarget.h"

#include <QByteArray>
#include <QString>

#include <vector>

class QsciScintilla;

// The editor as a search target, in bytes of its text; searches and replaces through Scintilla's target,
// so that a Replace All of many matches in a large page stays linear. Replacements made inside an undo
// action are held back and made together, runs of close ones as one edit: hundreds of thousands of
// separate edits cost far more than the text they change.
class ScintillaSearchTarget : public SearchTarget
{
public:
    explicit ScintillaSearchTarget(QsciScintilla *editor)
        : m_editor(editor)
    {
    }
    ~ScintillaSearchTarget() override { makeHeldEdits(); }

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
    // Where the needle's bytes (ASCII letters in either case unless matchCase) first start in
    // [from, to) of the editor's text, or -1.
    qsizetype findBytes(const QByteArray &needle, qsizetype from, qsizetype to, bool matchCase) const;

    // A replacement held back; position is where it starts once those before it are made.
    struct HeldEdit
    {
        qsizetype position;
        qsizetype length;
        QByteArray bytes;
    };
    qsizetype heldEnd() const { return m_held.back().position + m_held.back().bytes.size(); }
    // Makes the held replacements; everything but searching behind them and replacing further on needs
    // the editor's text as it would be.
    void makeHeldEdits() const;

    QsciScintilla *m_editor;
    mutable std::vector<HeldEdit> m_held;
    mutable qsizetype m_heldGrowth = 0;
    int m_undoDepth = 0;
    long m_wrapMode = 0;
    mutable Encoded m_searched;
    mutable Encoded m_inserted;
};
