#pragma once

#include "searchtarget.h"

#include <QString>

class Dialogs;

// What the Find and Replace windows hold for the main window's lifetime.
struct SearchState
{
    struct FindWindow
    {
        QString findText;
        SearchOptions options;
    };
    struct ReplaceWindow
    {
        QString findText;
        QString replaceText;
        SearchOptions options;
    };
    FindWindow find;
    ReplaceWindow replace;
    // Shared by both windows: a search that reaches the end of the page goes on from its start.
    bool wrapAround = false;
    // The memory of the last search: the replacement text the Replace window last replaced with.
    // Empty means F3 repeats a find, otherwise it repeats that replacement.
    QString repeatedReplacement;
};

// Find and replace over the editor: every search runs forward from the end of the selection, and goes on
// from the start of the page only when the user asked for it; the results are reported in boxes with an
// empty caption.
class FindReplace
{
public:
    FindReplace(SearchTarget &target, Dialogs &dialogs, SearchState &state);

    SearchState &state() { return m_state; }

    // With the Find window's text and options: selects the next match, or reports "本次查找完畢".
    bool find();
    // The Replace window's Find Next: its text and options become the Find window's, then find().
    bool findFromReplaceWindow();
    // The Find command: F3 goes back to repeating finds.
    void forgetReplacement();
    // The Replace window opening: it takes the Find window's text, when there is one.
    void takeFindText();
    // F3: repeats the last replacement or find; false when there is nothing to repeat.
    bool findNext();
    // With the Replace window's text and options: replaces the next match and selects the replacement,
    // or reports "本次搜索完畢". F3 repeats it from then on.
    bool replaceOne();
    // Replaces every match in one pass and one undo step, then reports "替換完畢"; returns the count.
    // F3 repeats a single replacement from then on.
    int replaceAll();

    // The search step; an empty text is found nowhere.
    static qsizetype search(
        const SearchTarget &target, const QString &text, qsizetype start, qsizetype range, SearchOptions options);

private:
    // The search step from the end of the selection to the end of the text; then, when searches wrap
    // around, over the whole text from its start.
    qsizetype searchFromSelection(const QString &text, SearchOptions options) const;
    bool replaceNext(const QString &replacement);

    SearchTarget &m_target;
    Dialogs &m_dialogs;
    SearchState &m_state;
};
