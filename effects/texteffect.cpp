#include "texteffect.h"

#include "definitionfile.h"
#include "snippetsink.h"

using namespace Qt::StringLiterals;

using EffectTokens::Element;

TextEffect::TextEffect(FileSystem &files, const DefinitionFile &definition)
    : m_definition(definition)
    , m_flow(files, definition)
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
    const auto hex
        = [](int value) { return QString::number(qBound(0, value, 255), 16).rightJustified(2, u'0').toUpper(); };
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
    const EffectTokens::Rule *rule = EffectTokens::find(EffectTokens::of(EffectKind::Text).rows, token);
    if (rule && rule->element != Element::Number)
        return value(*rule, inputs, QString());
    if (const Explained<QString> text = m_flow.piece(token))
        return *text;
    return rule ? value(*rule, inputs, QString()) : QString();
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
    if (const Explained<QString> text = m_flow.piece(token))
        return *text;
    const EffectTokens::Rule *rule = EffectTokens::find(EffectTokens::of(EffectKind::Text).steps, token);
    return rule ? value(*rule, inputs, rowBuffer) : QString();
}

QString TextEffect::value(const EffectTokens::Rule &rule, const TextInputs &inputs, const QString &rowBuffer) const
{
    switch (rule.element) {
    case Element::Rows:
        return rowBuffer;
    case Element::Text:
        return m_definition.wrapped(rule, inputs.text);
    case Element::Font:
        return m_definition.wrapped(rule, inputs.font);
    case Element::Colour:
        return m_definition.wrapped(rule, inputs.colour);
    case Element::Number:
    case Element::RowCount: {
        // The count c when the element's key is "0", c + 1 when "1"; any other value leaves it out.
        const QString mode = m_definition.file(rule.countingKey());
        if (mode == u"0"_s)
            return m_definition.wrapped(rule, QString::number(m_rows));
        if (mode == u"1"_s)
            return m_definition.wrapped(rule, QString::number(m_rows + 1));
        return {};
    }
    default:
        return {};
    }
}
