#include "texteffectwindow.h"

#include "buffersink.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/vellumoerror.h"
#include "previewassembly.h"
#include "widgets/colorpickerbutton.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatlineedit.h"
#include "widgets/focusonhover.h"
#include "widgets/named.h"
#include "widgets/spinedit.h"
#include "widgets/windowparts.h"

#include <QFontDatabase>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {
}

TextEffectWindow::TextEffectWindow(const SetupContext &context, QWidget *parent)
    : SetupWindow(context, QSize(536, 302), parent, QColor(104, 104, 255))
    , m_definition(context.platform.files, context.applicationFolder, context.category, context.effect)
    , m_effect(context.platform.files, m_definition)
{
    setObjectName(u"vc4_form"_s);
    setWindowTitle(u"特效设置"_s);

    m_imageList = groupedList(u"即被复制图像文件名"_s, QRect(8, 30, 256, 104), u"ListBox1"_s);
    m_textFileList = groupedList(u"即被复制文本文件名"_s, QRect(272, 30, 256, 104), u"ListBox2"_s);

    m_textBox = named<FlatLineEdit>(u"RFlatEdit1"_s, this);
    m_textBox->setGeometry(8, 142, 520, 24);
    m_textBox->setHintText(u"输入要设置的文字"_s);

    WindowParts::caption(this, u"字体颜色"_s, QRect(8, 178, 56, 20));
    m_colourButton = named<ColorPickerButton>(u"ColorPickerButton1"_s, this);
    m_colourButton->setGeometry(66, 175, 40, 26);
    m_colourButton->setCustomChooser([this](const QColor &current) -> std::optional<QColor> {
        const auto chosen = m_context.platform.dialogs.pickColour(current.name(QColor::HexRgb).toUpper());
        if (!chosen)
            return std::nullopt;
        return QColor::fromString(*chosen);
    });
    m_colourBox = named<FlatLineEdit>(u"v11"_s, this);
    m_colourBox->setGeometry(112, 176, 96, 24);
    m_colourBox->setText(u"#0000000"_s);
    m_fontBox = named<FlatComboBox>(u"RFlatComboBox2"_s, this);
    m_fontBox->setGeometry(220, 176, 200, 24);
    m_fontBox->setEditText(u"宋体"_s);
    m_fontBox->setToolTip(u"字体"_s);

    WindowParts::caption(this, u"行数或其它数目"_s, QRect(8, 212, 100, 20));
    m_countBox = named<SpinEdit>(u"RxSpinEdit1"_s, this);
    m_countBox->setGeometry(112, 210, 70, 24);

    m_addImageButton = WindowParts::speedButton(this, u"SpeedButton2"_s, u"增加图像文件"_s, QRect(112, 246, 110, 26));
    m_addRowsButton = WindowParts::speedButton(this, u"SpeedButton3"_s, u"增加行数"_s, QRect(230, 246, 92, 26));
    m_copyButton = WindowParts::speedButton(this, u"SpeedButton5"_s, u"复制"_s, QRect(330, 246, 92, 26));
    m_exitButton = WindowParts::speedButton(this, u"SpeedButton4"_s, u"退出"_s, QRect(430, 246, 92, 26));
    m_rowCounter = named<QLabel>(u"Label4"_s, u"0"_s, this);
    m_rowCounter->hide();

    // The title strip's close button runs the exit button's handler.
    setCloseHandler([this] { closeWindow(); });
    connect(m_exitButton, &QToolButton::clicked, this, &TextEffectWindow::closeWindow);
    connect(m_addImageButton, &QToolButton::clicked, this, &TextEffectWindow::addImage);
    connect(m_addRowsButton, &QToolButton::clicked, this, &TextEffectWindow::addRows);
    connect(m_copyButton, &QToolButton::clicked, this, &TextEffectWindow::copyEffect);
    connect(m_colourButton, &ColorPickerButton::changed, this, &TextEffectWindow::showColour);
    // The text box takes the focus under the mouse, also from over the colour box beside it.
    FocusOnHover::install(m_textBox);
    FocusOnHover::installOver(m_colourBox, m_textBox);
    FocusOnHover::install(m_countBox);

    prepareFonts();
    addPreview([this] {
        if (!m_effect.state.opened)
            throw VellumoError(DefinitionFile::missingMessage());
        return previewAssembly().text(m_effect, inputs(), m_context.buffers.rows);
    });
}

QStringList TextEffectWindow::fontList(const QStringList &families)
{
    QStringList list { u"Default"_s };
    for (QString family : families) {
        if (family.startsWith(u'@'))
            continue;
        // Qt tells apart a family that several foundries make as "C059 [UKWN]"; a browser knows
        // only the family's name.
        if (family.endsWith(u']'))
            if (const qsizetype open = family.lastIndexOf(u" ["_s); open > 0)
                family.truncate(open);
        list.append(family);
    }
    std::sort(list.begin(), list.end(),
        [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    // Browsers match font names without regard to letter case.
    list.erase(std::unique(list.begin(), list.end(),
                   [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }),
        list.end());
    return list;
}

QString TextEffectWindow::pictureFilter()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns.append(u"*."_s + QString::fromLatin1(format));
    const QString all = patterns.join(u';');
    QString filter = u"All ("_s + all + u")|"_s + all;
    for (const QString &pattern : patterns)
        filter += u"|"_s + pattern.mid(2).toUpper() + u" ("_s + pattern + u")|"_s + pattern;
    return filter;
}

void TextEffectWindow::prepareFonts()
{
    m_context.emptyBuffers();
    m_fontBox->setItemsKeepingText(fontList(QFontDatabase::families()));
    if (!m_definition.exists()) {
        message(DefinitionFile::missingMessage());
        return;
    }
    guarded([this] {
        const TextEffect::Switches switches = m_effect.switches();
        m_colourButton->setEnabled(switches.colourPicker);
        m_fontBox->setEnabled(switches.fontBox);
        m_countBox->setEnabled(switches.countBox);
    });
}

void TextEffectWindow::firstShown()
{
    // What was listed before a count that is no number stays listed.
    guarded([this] { m_effect.open(); });
    showOpened(m_imageList, m_textFileList, m_effect.state);
    if (!m_effect.state.opened)
        message(DefinitionFile::missingMessage());
    // Without its definition file the window has nothing to count against.
    for (QToolButton *b : { m_addImageButton, m_addRowsButton, m_copyButton })
        b->setEnabled(m_effect.state.opened);
}

TextInputs TextEffectWindow::inputs() const
{
    return { m_textBox->text(), m_fontBox->currentText(), m_colourBox->text(), m_countBox->shownText() };
}

void TextEffectWindow::showColour(const QColor &colour)
{
    m_colourBox->setText(TextEffect::colourText(colour.red(), colour.green(), colour.blue()));
}

void TextEffectWindow::addImage()
{
    guarded([this] {
        if (!SetupFlow::canAddImage(m_effect.state)) {
            message(SetupFlow::completeMessage());
            return;
        }
        addPicture(m_effect.state, m_imageList, pictureFilter());
    });
}

void TextEffectWindow::addRows()
{
    guarded([this] {
        BufferSink rows(m_context.buffers.rows);
        switch (m_effect.addRow(inputs(), rows)) {
        case TextEffect::RowResult::CountReached:
            message(TextEffect::countReachedMessage());
            return;
        case TextEffect::RowResult::DefinitionMissing:
            message(DefinitionFile::missingMessage());
            return;
        case TextEffect::RowResult::Added:
            m_rowCounter->setText(m_effect.rowsText());
            m_textBox->clear();
            m_textBox->setFocus(Qt::OtherFocusReason);
            return;
        }
    });
}

void TextEffectWindow::copyEffect()
{
    if (!m_effect.hasRows()) {
        message(TextEffect::noRowsMessage());
        return;
    }
    copyAndAssemble(m_effect.flow(), m_effect.state, m_definition, WhenMissing::Close,
        [this](SnippetSink &sink) { m_effect.assemble(inputs(), m_context.buffers.rows, sink); });
}

void TextEffectWindow::closeWindow()
{
    // The buffers keep their text; the next setup window empties them when it opens.
    close();
}
