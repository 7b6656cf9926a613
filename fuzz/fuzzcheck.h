#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The fuzz input: the file under test is what is left at the front; the choices that steer a run are
// taken off the back, so that a seed file stays whole but for its last few bytes.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_data(reinterpret_cast<const char *>(data))
        , m_size(size)
    {
    }

    uint8_t byte()
    {
        if (m_size == 0)
            return 0;
        return static_cast<uint8_t>(m_data[--m_size]);
    }
    // At most max bytes from the back, their count taken from the back first.
    QByteArray bytes(int max)
    {
        const size_t n = qMin<size_t>(byte() % (max + 1), m_size);
        m_size -= n;
        return QByteArray(m_data + m_size, qsizetype(n));
    }
    QString utf8(int max) { return QString::fromUtf8(bytes(max)); }
    QByteArray rest()
    {
        const QByteArray all(m_data, qsizetype(m_size));
        m_size = 0;
        return all;
    }

private:
    const char *m_data;
    size_t m_size;
};

// A broken rule ends the run at once, with what was expected, so libFuzzer keeps the input.
namespace FuzzCheck {
// A name as the INI rules ask for it: surrounding spaces dropped, a tab kept.
inline QString trimSpaces(const QString &name)
{
    qsizetype from = 0;
    qsizetype to = name.size();
    while (from < to && name[from] == u' ')
        ++from;
    while (to > from && name[to - 1] == u' ')
        --to;
    return name.mid(from, to - from);
}

inline QByteArray shown(const QString &text)
{
    // Line breaks and other control characters are shown as escapes so that the report stays one line.
    QByteArray out;
    for (const char c : text.toUtf8()) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || c == '\\')
            out += "\\x" + QByteArray::number(b, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

inline QByteArray shown(const QByteArray &bytes)
{
    return bytes.size() > 400 ? bytes.left(400).toHex(' ') + " ..." : bytes.toHex(' ');
}

// Where two texts or byte strings part, with a little of each from just before there.
template <typename T> QByteArray difference(const T &actual, const T &expected)
{
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    const qsizetype from = qMax<qsizetype>(0, at - 16);
    return "sizes " + QByteArray::number(actual.size()) + " and " + QByteArray::number(expected.size())
        + ", first difference at " + QByteArray::number(at) + "\n  actual:   " + shown(actual.mid(from, 48))
        + "\n  expected: " + shown(expected.mid(from, 48));
}

[[noreturn]] inline void fail(const char *file, int line, const char *rule, const QByteArray &detail)
{
    std::fprintf(stderr, "\n%s:%d: broken: %s\n%s\n", file, line, rule, detail.constData());
    std::fflush(stderr);
    std::abort();
}

}

#define FUZZ_CHECK(condition, detail)                                                                                  \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            FuzzCheck::fail(__FILE__, __LINE__, #condition, (detail));                                                 \
    } while (false)

#define FUZZ_EQUAL(actual, expected, what)                                                                             \
    do {                                                                                                               \
        const auto &fuzzActual = (actual);                                                                             \
        const auto &fuzzExpected = (expected);                                                                         \
        if (!(fuzzActual == fuzzExpected))                                                                             \
            FuzzCheck::fail(__FILE__, __LINE__, #actual " == " #expected,                                              \
                QByteArray(what) + "\n  " + FuzzCheck::difference(fuzzActual, fuzzExpected));                          \
    } while (false)
