#include "texteffect.h"

#include "definitionfile.h"
#include "snippetsink.h"

using namespace Qt::StringLiterals;

namespace {
constexpr auto is = &SetupFlow::isToken;
}

TextEffect::TextEffect(FileSystem &files, const DefinitionFile &definition)
    : m_definition(definition), m_flow(files, definition)
{
}

QString TextEffect::countReachedMessage()
{
    return u"已达到数目要求"_s;
}

QString TextEffect::noRowsMessage()
{
    return u"请先单击增加行数."_s;
}

QString TextEffect::colourText(int red, int green, int blue)
{
    const auto hex = [](int value) { return QString::number(qBound(0, value, 255), 16).rightJustified(2, u'0').toUpper(); };
    return u"#"_s + hex(red) + hex(green) + hex(blue);
}

TextEffect::Switches TextEffect::switches() const
{
    Switches result;
    result.colourPicker = m_definition.file(u"cy"_s) != u"0"_s;
    result.fontBox = m_definition.file(u"fy"_s) != u"0"_s;
    result.countBox = m_definition.file(u"ly"_s) != u"0"_s;
    return result;
}

TextEffect::RowResult TextEffect::addRow(const TextInputs &inputs, SnippetSink &rows)
{
    if (inputs.count == rowsText())
        return RowResult::CountReached;
    if (!m_definition.exists())
        return RowResult::DefinitionMissing;
    m_flow.buildRow(rows, [&](const QString &token, int) { return rowElement(inputs, token); });
    ++m_rows;
    return RowResult::Added;
}

QString TextEffect::rowElement(const TextInputs &inputs, const QString &token) const
{
    if (is(token, u"txt"_s))
        return m_definition.wrapped(u"txt"_s, inputs.text);
    if (is(token, u"font"_s))
        return m_definition.wrapped(u"font"_s, inputs.font);
    if (is(token, u"color"_s))
        return m_definition.wrapped(u"color"_s, inputs.colour);
    QString text;
    if (m_flow.piece(token, &text))
        return text;
    if (is(token, u"iii"_s))
        return counted(u"iii"_s, m_rows);
    return {};
}

void TextEffect::assemble(const TextInputs &inputs, const QString &rowBuffer, SnippetSink &sink) const
{
    m_flow.walkSteps([&](const QString &token) {
        const QString text = stepElement(inputs, rowBuffer, token);
        if (!text.isEmpty())
            sink.appendRaw(text);
    });
}

QString TextEffect::stepElement(const TextInputs &inputs, const QString &rowBuffer, const QString &token) const
{
    QString text;
    if (m_flow.piece(token, &text))
        return text;
    if (is(token, u"list"_s))
        return rowBuffer;
    if (is(token, u"font"_s))
        return m_definition.wrapped(u"font"_s, inputs.font);
    if (is(token, u"color"_s))
        return m_definition.wrapped(u"color"_s, inputs.colour);
    if (is(token, u"ttt"_s))
        return counted(u"ttt"_s, m_rows);
    if (is(token, u"iii"_s))
        return counted(u"iii"_s, m_rows);
    return {};
}

QString TextEffect::counted(const QString &stem, int c) const
{
    const QString mode = m_definition.file(stem);
    if (mode == u"0"_s)
        return m_definition.wrapped(stem, QString::number(c));
    if (mode == u"1"_s)
        return m_definition.wrapped(stem, QString::number(c + 1));
    return {};
}
