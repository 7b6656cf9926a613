#pragma once

#include "editor/pagecodec.h"
#include "library/inidocument.h"
#include "platform/ansi.h"

#include <QByteArray>
#include <QString>

// The two versions the crash writer saves in turn, made the same way by the writer and by the test.
namespace CrashVersions {
// A page of a few megabytes, so that a kill often lands in the middle of its save.
inline QByteArray pageText(int version)
{
    QByteArray page = "<html><body>\r\n";
    const QByteArray line = version ? "<p>第二版的一段文字 second version</p>\r\n" : "<p>第一版 first</p>\r\n";
    while (page.size() < (version ? 2 : 1) * 1024 * 1024 + 512 * 1024)
        page += line;
    return page + "</body></html>\r\n";
}

inline QByteArray pageBytes(int version)
{
    return PageCodec::fromUtf8(pageText(version), PageEncoding::Gb18030).bytes;
}

// The index of a large library, about 1 MB.
inline QByteArray initialIndex()
{
    QString index = QStringLiteral("[system]\r\n");
    for (int i = 0; index.size() < 300 * 1024; ++i)
        index += QStringLiteral("类别%1特效%2=%3\r\n").arg(i % 50).arg(i).arg(i % 4 + 1);
    return Ansi::encode(index);
}

// The keys one command writes: a counter and its entry, which must change together.
template <typename Write> void writeKeys(int version, Write write)
{
    write(QStringLiteral("崩溃测试"), QStringLiteral("TOTAL"), QString::number(version + 1));
    write(QStringLiteral("崩溃测试"), QStringLiteral("L1"), QString(200 + version * 300, QChar(u'甲' + version)));
}

// The index after the writer's keys of one version, as its one replacement leaves the file.
inline QByteArray indexBytes(int version)
{
    IniDocument index(initialIndex());
    writeKeys(version, [&index](const QString &s, const QString &k, const QString &v) { index.write(s, k, v); });
    return index.fileBytes();
}
}
