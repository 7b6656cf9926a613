#pragma once

#include "effects/effectpreviewpane.h"

#include <QtTest>

#include <memory>

// What an expression gives in the page a preview shows; empty while it cannot be read. The answer
// may come after the test stopped waiting, or as the page goes, so it is kept where it cannot dangle.
inline QString readInPage(EffectPreviewPane &pane, const QString &expression)
{
    struct Answer
    {
        QString text;
        bool done = false;
    };
    const auto answer = std::make_shared<Answer>();
    pane.evaluate(u"(function () { try { return String("_qs + expression + u"); } catch (e) { return ''; } })()"_qs,
        [answer](const QVariant &value) {
            answer->text = value.toString();
            answer->done = true;
        });
    for (int i = 0; i < 100 && !answer->done; ++i)
        QTest::qWait(20);
    return answer->text;
}
