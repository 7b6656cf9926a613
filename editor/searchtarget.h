#pragma once

#include <QString>

// The two options every search step takes.
struct SearchOptions
{
    bool matchCase = false;
    bool wholeWord = false;
};

// The editor's text and selection as find and replace see them. Positions and lengths are in the
// editor's own units, the same for the text, the selection and lengthOf().
class SearchTarget
{
public:
    virtual ~SearchTarget() = default;

    virtual qsizetype textLength() const = 0;
    virtual qsizetype selectionStart() const = 0;
    virtual qsizetype selectionEnd() const = 0;
    // The length text takes once it is in the editor.
    virtual qsizetype lengthOf(const QString &text) const = 0;
    // The first match of text that starts at or after start and ends by start + range, or -1.
    virtual qsizetype find(const QString &text, qsizetype start, qsizetype range, SearchOptions options) const = 0;
    // Selects and scrolls the selection into view.
    virtual void select(qsizetype position, qsizetype length) = 0;
    virtual void replaceSelection(const QString &text) = 0;
    // Replaces a range without scrolling; where the selection ends up is left to the editor.
    virtual void replace(qsizetype position, qsizetype length, const QString &text) = 0;
    // Everything between the two is undone in one step; the editor may lay out its view only at the end.
    virtual void beginUndoAction() = 0;
    virtual void endUndoAction() = 0;
    virtual void focus() = 0;
};
