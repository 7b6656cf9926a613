#include "editor/bytesearch.h"
#include "editor/findreplace.h"
#include "editor/stringsearchtarget.h"
#include "support/scripteddialogs.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QString FindEnded = u"本次查找完畢"_s;
const QString SearchEnded = u"本次搜索完畢"_s;
const QString ReplaceEnded = u"替換完畢"_s;

struct Span
{
    qsizetype start;
    qsizetype length;
};

// "start+length", so that a failed comparison shows both.
QString str(Span s)
{
    return u"%1+%2"_s.arg(s.start).arg(s.length);
}

struct Case
{
    QString text;
    Span selection;
    QString searched;
    QString replacement;
    SearchOptions options;
    // Find: where each Find in a row selects, -1 for "本次查找完畢". Replace: the number of presses.
    QList<int> steps;
    QString result;
    Span selected;
};
}

Q_DECLARE_METATYPE(Case)
Q_DECLARE_METATYPE(MessageIcon)

class TestFindReplace : public QObject
{
    Q_OBJECT

    struct Run
    {
        StringSearchTarget target;
        // Every box shown is recorded and compared through notices().
        ScriptedDialogs dialogs;
        SearchState state;
        FindReplace search { target, dialogs, state };

        explicit Run(const QString &text, Span selection = { 0, 0 })
            : target(text)
        {
            target.select(selection.start, selection.length);
        }
        QString selection() const
        {
            return str({ target.selectionStart(), target.selectionEnd() - target.selectionStart() });
        }
        // The boxes shown since the last call, each as "[caption] text icon".
        QStringList notices()
        {
            QStringList shown;
            for (const ScriptedDialogs::Call &call : std::as_const(dialogs.calls))
                shown << u"[%1] %2 %3"_s.arg(call.caption, call.text).arg(int(call.icon));
            dialogs.calls.clear();
            return shown;
        }
    };
    static QString notice(const QString &text, MessageIcon icon) { return u"[] %1 %2"_s.arg(text).arg(int(icon)); }

private slots:
    // The byte search folds the text a growing block at a time: a match across any block's border, at
    // either end, or beside characters next to the letters in the code table is found as a plain search
    // finds it.
    void byteSearchFindsWhatAPlainSearchFinds_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<bool>("matchCase");
        const auto placed = [](qsizetype at, const QByteArray &what) {
            QByteArray text(300 << 10, 'x');
            text.replace(at, what.size(), what);
            return text;
        };
        // Blocks start at 0, 256, 768, 1792, ... and are at most 64 KB from 64 KB on.
        for (const qsizetype at : { 0, 250, 253, 255, 256, 767, 1790, 65535 + 3, 131068, (300 << 10) - 9 }) {
            QTest::addRow("at %lld", qlonglong(at)) << placed(at, "NeedLe-1") << QByteArray("needle-1") << false;
            QTest::addRow("at %lld, case", qlonglong(at)) << placed(at, "NeedLe-1") << QByteArray("NeedLe-1") << true;
        }
        QTest::newRow("case differs") << placed(1000, "NeedLe-1") << QByteArray("needle-1") << true;
        QTest::newRow("only the far one matches")
            << placed(200000, "abcdef") + "abcde" << QByteArray("ABCDEF") << false;
        QTest::newRow("punctuation beside the letters") << QByteArray("`{ @[ `{") << QByteArray("@[") << false;
        QTest::newRow("bytes above ASCII keep their case") << QByteArray("\xE1\xE1") << QByteArray("\xC1") << false;
        QTest::newRow("longer than the text") << QByteArray("abc") << QByteArray("abcd") << false;
        QTest::newRow("absent") << placed(0, "") << QByteArray("needle") << false;
    }
    void byteSearchFindsWhatAPlainSearchFinds()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, needle);
        QFETCH(bool, matchCase);
        const auto fold = [matchCase](QByteArray bytes) {
            if (!matchCase)
                for (char &c : bytes)
                    c = c >= 'A' && c <= 'Z' ? char(c + 32) : c;
            return bytes;
        };
        QCOMPARE(ByteSearch::find(text, needle, matchCase), fold(text).indexOf(fold(needle)));
    }
    void searchStepHonoursRangeAndOptions_data()
    {
        QTest::addColumn<Case>("c");
        QTest::addColumn<int>("found");
        // selection: the range searched.
        const SearchOptions none, matchCase { true, false }, wholeWord { false, true };
        QTest::newRow("case ignored") << Case { u"xHeLLo hello"_s, { 0, 12 }, u"hello"_s, {}, none, {}, {}, {} } << 1;
        QTest::newRow("case kept") << Case { u"xHeLLo hello"_s, { 0, 12 }, u"hello"_s, {}, matchCase, {}, {}, {} } << 7;
        QTest::newRow("match ends outside the range")
            << Case { u"xxab"_s, { 0, 3 }, u"ab"_s, {}, none, {}, {}, {} } << -1;
        QTest::newRow("match before the start") << Case { u"abxx"_s, { 1, 3 }, u"ab"_s, {}, none, {}, {}, {} } << -1;
        QTest::newRow("range past the end") << Case { u"xxab"_s, { 1, 100 }, u"ab"_s, {}, none, {}, {}, {} } << 2;
        QTest::newRow("inside a longer word")
            << Case { u"concat"_s, { 0, 6 }, u"cat"_s, {}, wholeWord, {}, {}, {} } << -1;
        QTest::newRow("after a longer word")
            << Case { u"concat cat"_s, { 0, 10 }, u"cat"_s, {}, wholeWord, {}, {}, {} } << 7;
        QTest::newRow("underscore is a letter")
            << Case { u"_cat cat"_s, { 0, 8 }, u"cat"_s, {}, wholeWord, {}, {}, {} } << 5;
        QTest::newRow("punctuation ends a word")
            << Case { u"(cat)"_s, { 0, 5 }, u"cat"_s, {}, wholeWord, {}, {}, {} } << 1;
        QTest::newRow("Chinese in a longer word")
            << Case { u"中文字 中文"_s, { 0, 6 }, u"中文"_s, {}, wholeWord, {}, {}, {} } << 4;
        QTest::newRow("Chinese punctuation ends a word")
            << Case { u"中文，"_s, { 0, 3 }, u"中文"_s, {}, wholeWord, {}, {}, {} } << 0;
        QTest::newRow("empty text") << Case { u"abc"_s, { 0, 3 }, QString(), {}, none, {}, {}, {} } << -1;
    }
    void searchStepHonoursRangeAndOptions()
    {
        QFETCH(Case, c);
        QFETCH(int, found);
        const StringSearchTarget target(c.text);
        QCOMPARE(FindReplace::search(target, c.searched, c.selection.start, c.selection.length, c.options), found);
    }

    void findMovesForwardWithoutWrapping_data()
    {
        QTest::addColumn<Case>("c");
        const SearchOptions none, matchCase { true, false }, wholeWord { false, true };
        QTest::newRow("caret at the end with the text earlier")
            << Case { u"abc abc"_s, { 7, 0 }, u"abc"_s, {}, none, { -1 }, {}, {} };
        QTest::newRow("two occurrences, then the end")
            << Case { u"x ab y ab z"_s, { 0, 0 }, u"ab"_s, {}, none, { 2, 7, -1, -1 }, {}, {} };
        QTest::newRow("from the end of the selection")
            << Case { u"abab"_s, { 0, 2 }, u"ab"_s, {}, none, { 2, -1 }, {}, {} };
        QTest::newRow("case ignored") << Case { u"Hello hello"_s, { 0, 0 }, u"HELLO"_s, {}, none, { 0, 6, -1 }, {},
            {} };
        QTest::newRow("match case") << Case { u"Hello hello"_s, { 0, 0 }, u"hello"_s, {}, matchCase, { 6, -1 }, {},
            {} };
        QTest::newRow("whole word") << Case { u"concat cat"_s, { 0, 0 }, u"cat"_s, {}, wholeWord, { 7, -1 }, {}, {} };
        QTest::newRow("Chinese") << Case { u"中文字 中文"_s, { 0, 0 }, u"中文"_s, {}, none, { 0, 4, -1 }, {}, {} };
        QTest::newRow("empty search text") << Case { u"abc"_s, { 1, 1 }, QString(), {}, none, { -1 }, {}, {} };
    }
    void findMovesForwardWithoutWrapping()
    {
        QFETCH(Case, c);
        Run run(c.text, c.selection);
        run.state.find = { c.searched, c.options };
        Span expected = c.selection;
        for (int at : c.steps) {
            QCOMPARE(run.search.find(), at >= 0);
            if (at >= 0)
                expected = { at, c.searched.size() };
            QCOMPARE(run.notices(), at >= 0 ? QStringList() : QStringList { notice(FindEnded, MessageIcon::Error) });
            QCOMPARE(run.selection(), str(expected));
        }
        QCOMPARE(run.target.text(), c.text);
        QCOMPARE(run.target.hasFocus(), c.steps.first() >= 0);
    }

    void findNextRepeatsTheLastSearch_data()
    {
        QTest::addColumn<QString>("findText");
        QTest::addColumn<QString>("replaceFindText");
        QTest::addColumn<QString>("replaceText");
        QTest::addColumn<bool>("searched");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QStringList>("notices");
        // Over "ab ab" with the first occurrence selected.
        QTest::newRow("no replacement remembered: find")
            << u"ab"_s << u"ab"_s << QString() << true << u"ab ab"_s << u"3+2"_s << QStringList();
        QTest::newRow("replacement remembered: replace")
            << u"ab"_s << u"ab"_s << u"X"_s << true << u"ab X"_s << u"3+1"_s << QStringList();
        QTest::newRow("replacement remembered, no find text")
            << QString() << u"b"_s << u"X"_s << true << u"ab aX"_s << u"4+1"_s << QStringList();
        QTest::newRow("replacement remembered, nothing left")
            << u"ab"_s << u"zz"_s << u"X"_s << true << u"ab ab"_s << u"0+2"_s
            << QStringList { notice(SearchEnded, MessageIcon::Warning) };
        QTest::newRow("find text absent") << u"zz"_s << u"ab"_s << QString() << true << u"ab ab"_s << u"0+2"_s
                                          << QStringList { notice(FindEnded, MessageIcon::Error) };
        QTest::newRow("nothing to repeat")
            << QString() << u"ab"_s << QString() << false << u"ab ab"_s << u"0+2"_s << QStringList();
    }
    void findNextRepeatsTheLastSearch()
    {
        QFETCH(QString, findText);
        QFETCH(QString, replaceFindText);
        QFETCH(QString, replaceText);
        QFETCH(bool, searched);
        QFETCH(QString, result);
        QFETCH(QString, selection);
        QFETCH(QStringList, notices);
        Run run(u"ab ab"_s, { 0, 2 });
        run.state.find.findText = findText;
        // The Replace window's own box holds another text: F3 repeats what was replaced with.
        run.state.replace = { replaceFindText, u"typed"_s, {} };
        run.state.repeatedReplacement = replaceText;
        QCOMPARE(run.search.findNext(), searched);
        QCOMPARE(run.target.text(), result);
        QCOMPARE(run.selection(), selection);
        QCOMPARE(run.notices(), notices);
    }

    void replaceWindowFindNextBecomesTheFindWindowSearch()
    {
        Run run(u"cat Cat CAT Cat"_s);
        run.state.find = { u"dog"_s, { false, true } };
        run.state.replace = { u"Cat"_s, QString(), { true, false } };
        QVERIFY(run.search.findFromReplaceWindow());
        QCOMPARE(run.selection(), u"4+3"_s);
        QCOMPARE(run.state.find.findText, u"Cat"_s);
        QVERIFY(run.state.find.options.matchCase && !run.state.find.options.wholeWord);
        QVERIFY(run.search.findNext());
        QCOMPARE(run.selection(), u"12+3"_s);
    }

    void replaceOneReplacesBehindTheSelection_data()
    {
        QTest::addColumn<Case>("c");
        QTest::addColumn<bool>("ended"); // the last press reported "本次搜索完畢"
        const SearchOptions none;
        QTest::newRow("after a find: the following occurrence")
            << Case { u"ab ab ab"_s, { 0, 2 }, u"ab"_s, u"X"_s, none, { 1 }, u"ab X ab"_s, { 3, 1 } } << false;
        QTest::newRow("pressed again: the next one")
            << Case { u"ab ab ab"_s, { 0, 2 }, u"ab"_s, u"X"_s, none, { 2 }, u"ab X X"_s, { 5, 1 } } << false;
        QTest::newRow("pressed once more: the end")
            << Case { u"ab ab ab"_s, { 0, 2 }, u"ab"_s, u"X"_s, none, { 3 }, u"ab X X"_s, { 5, 1 } } << true;
        QTest::newRow("replacement holding the search text")
            << Case { u"a a"_s, { 0, 0 }, u"a"_s, u"aa"_s, none, { 2 }, u"aa aa"_s, { 3, 2 } } << false;
        QTest::newRow("empty replacement")
            << Case { u"a-b-c"_s, { 0, 0 }, u"-"_s, QString(), none, { 1 }, u"ab-c"_s, { 1, 0 } } << false;
        QTest::newRow("Chinese") << Case { u"替换 替换"_s, { 0, 0 }, u"替换"_s, u"更改后"_s, none, { 2 },
            u"更改后 更改后"_s, { 4, 3 } }
                                 << false;
        QTest::newRow("empty search text")
            << Case { u"abc"_s, { 0, 1 }, QString(), u"y"_s, none, { 1 }, u"abc"_s, { 0, 1 } } << true;
    }
    void replaceOneReplacesBehindTheSelection()
    {
        QFETCH(Case, c);
        QFETCH(bool, ended);
        Run run(c.text, c.selection);
        run.state.replace = { c.searched, c.replacement, c.options };
        for (int i = 1; i <= c.steps.first(); ++i)
            QCOMPARE(run.search.replaceOne(), !(ended && i == c.steps.first()));
        QCOMPARE(run.target.text(), c.result);
        QCOMPARE(run.selection(), str(c.selected));
        QCOMPARE(run.notices(), ended ? QStringList { notice(SearchEnded, MessageIcon::Warning) } : QStringList());
    }

    void replaceAllMakesOnePass_data()
    {
        QTest::addColumn<Case>("c");
        QTest::addColumn<int>("count");
        const SearchOptions none, matchCase { true, false }, wholeWord { false, true };
        QTest::newRow("replacement holding the search text")
            << Case { u"aaa"_s, { 0, 0 }, u"a"_s, u"aa"_s, none, {}, u"aaaaaa"_s, { 6, 0 } } << 3;
        QTest::newRow("absent text") << Case { u"abc"_s, { 1, 1 }, u"x"_s, u"y"_s, none, {}, u"abc"_s, { 1, 1 } } << 0;
        QTest::newRow("empty search text")
            << Case { u"abc"_s, { 1, 1 }, QString(), u"y"_s, none, {}, u"abc"_s, { 1, 1 } } << 0;
        QTest::newRow("from the top, caret behind the last replacement")
            << Case { u"a b a b"_s, { 7, 0 }, u"a"_s, u"xyz"_s, none, {}, u"xyz b xyz b"_s, { 9, 0 } } << 2;
        QTest::newRow("adjacent occurrences")
            << Case { u"aaaaa"_s, { 0, 0 }, u"aa"_s, u"b"_s, none, {}, u"bba"_s, { 2, 0 } } << 2;
        QTest::newRow("match case") << Case { u"A a"_s, { 0, 0 }, u"a"_s, u"b"_s, matchCase, {}, u"A b"_s, { 3, 0 } }
                                    << 1;
        QTest::newRow("whole word") << Case { u"cat concat cat."_s, { 0, 0 }, u"cat"_s, u"dog"_s, wholeWord, {},
            u"dog concat dog."_s, { 14, 0 } }
                                    << 2;
        QTest::newRow("Chinese") << Case { u"中文，中文字"_s, { 0, 0 }, u"中文"_s, QString(), none, {}, u"，字"_s,
            { 1, 0 } } << 2;
    }
    void replaceAllMakesOnePass()
    {
        QFETCH(Case, c);
        QFETCH(int, count);
        Run run(c.text, c.selection);
        run.state.replace = { c.searched, c.replacement, c.options };
        QCOMPARE(run.search.replaceAll(), count);
        QCOMPARE(run.target.text(), c.result);
        QCOMPARE(run.selection(), str(c.selected));
        QCOMPARE(run.target.hasFocus(), count > 0);
        QCOMPARE(run.notices(), QStringList { notice(ReplaceEnded, MessageIcon::None) });
        // The whole pass is one undo step.
        if (count > 0) {
            QVERIFY(run.target.undo());
            QCOMPARE(run.target.text(), c.text);
        }
        QVERIFY(!run.target.undo());
    }
};

QTEST_APPLESS_MAIN(TestFindReplace)
#include "tst_findreplace.moc"
