#include "resultline.h"

ResultLine ResultLine::split(const QString &line)
{
    qsizetype at = -1;
    for (qsizetype i = line.size() - 1; i >= 0; --i)
        if (line[i] == u'.' || line[i] == u'\\' || line[i] == u':') {
            at = i;
            break;
        }
    if (at < 0 || line[at] != u'.')
        return { line, QString() };
    return { line.left(at), line.mid(at + 1) };
}
