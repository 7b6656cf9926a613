#pragma once

#include "library/effecttokens.h"
#include "setupflow.h"

class DefinitionFile;
class FileSystem;
class SnippetSink;

// What the text window's boxes hold when an element reads them.
struct TextInputs
{
    QString text; // RFlatEdit1
    QString font; // RFlatComboBox2
    QString colour; // v11
    QString count; // RxSpinEdit1, as shown
};

// The text effect's own rules on top of the shared flow: rows of the user's text, font and colour
// built from the row template, up to the count; then the step list with the rows, font, colour and
// the row counts.
class TextEffect
{
public:
    TextEffect(FileSystem &files, const DefinitionFile &definition);

    void open() { m_flow.open(state); }

    // Which inputs the effect lets the user change: cy, fy and ly of "0" switch one off each.
    struct Switches
    {
        bool colourPicker = true;
        bool fontBox = true;
        bool countBox = true;
    };
    Switches switches() const;

    enum class RowResult { CountReached, DefinitionMissing, Added };
    RowResult addRow(const TextInputs &inputs, SnippetSink &rows);
    // The rows counter as its hidden label shows it.
    QString rowsText() const { return QString::number(m_rows); }
    bool hasRows() const { return m_rows > 0; }

    // Walks the step list; rowBuffer is everything the rows have built.
    void assemble(const TextInputs &inputs, const QString &rowBuffer, SnippetSink &sink) const;

    const SetupFlow &flow() const { return m_flow; }
    SetupState state;

    // "#RRGGBB" with upper-case hexadecimal digits.
    static QString colourText(int red, int green, int blue);
    static QString countReachedMessage();
    static QString noRowsMessage();

private:
    QString rowElement(const TextInputs &inputs, const QString &token) const;
    QString stepElement(const TextInputs &inputs, const QString &rowBuffer, const QString &token) const;
    QString value(const EffectTokens::Rule &rule, const TextInputs &inputs, const QString &rowBuffer) const;

    const DefinitionFile &m_definition;
    SetupFlow m_flow;
    int m_rows = 0;
};
