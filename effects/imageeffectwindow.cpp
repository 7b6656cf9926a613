#include "imageeffectwindow.h"

#include "buffersink.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/vellumoerror.h"
#include "previewassembly.h"
#include "widgets/focusonhover.h"
#include "widgets/named.h"
#include "widgets/numericedit.h"
#include "widgets/windowparts.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

ImageEffectWindow::ImageEffectWindow(const SetupContext &context, QWidget *parent)
    : SetupWindow(context, QSize(547, 378), parent)
    , m_definition(context.platform.files, context.applicationFolder, context.category, context.effect)
    , m_effect(context.platform.files, m_definition)
{
    setObjectName(u"VC2_FORM"_s);
    setWindowTitle(u"特效设置"_s);

    m_imageList = groupedList(u"即被复制图像文件名"_s, QRect(8, 32, 262, 130), u"ListBox1"_s);
    m_textFileList = groupedList(u"即被复制文本文件名"_s, QRect(277, 32, 262, 130), u"ListBox2"_s);

    QGroupBox *sizes = WindowParts::group(this, u"图像文件的大小"_s, QRect(8, 168, 262, 180));
    m_widthList = WindowParts::list(sizes, u"ListBox4"_s, QRect(8, 22, 119, 150));
    m_heightList = WindowParts::list(sizes, u"ListBox3"_s, QRect(135, 22, 119, 150));

    WindowParts::caption(this, u"设置图像文件大小：宽："_s, QRect(282, 178, 140, 20));
    m_widthBox = named<NumericEdit>(u"NumEdit1"_s, this);
    m_widthBox->setGeometry(424, 177, 110, 22);
    m_widthBox->setText(u"0"_s);
    WindowParts::caption(this, u"高："_s, QRect(394, 210, 28, 20));
    m_heightBox = named<NumericEdit>(u"NumEdit2"_s, this);
    m_heightBox->setGeometry(424, 209, 110, 22);
    m_heightBox->setText(u"0"_s);
    m_setSizeButton = WindowParts::speedButton(this, u"SpeedButton2"_s, u"设置"_s, QRect(424, 241, 110, 24));

    m_addImageButton = named<QPushButton>(u"Button4"_s, u"增加图像文件"_s, this);
    m_addImageButton->setGeometry(282, 314, 100, 28);
    m_copyButton = named<QPushButton>(u"Button5"_s, u"复制"_s, this);
    m_copyButton->setGeometry(388, 314, 70, 28);
    m_exitButton = named<QPushButton>(u"Button6"_s, u"退出"_s, this);
    m_exitButton->setGeometry(464, 314, 70, 28);

    connect(m_addImageButton, &QPushButton::clicked, this, &ImageEffectWindow::addImage);
    connect(m_setSizeButton, &QToolButton::clicked, this, &ImageEffectWindow::setSize);
    connect(m_copyButton, &QPushButton::clicked, this, &ImageEffectWindow::copyEffect);
    connect(m_exitButton, &QPushButton::clicked, this, &QDialog::close);
    connect(m_widthList, &QListWidget::currentRowChanged, this, &ImageEffectWindow::followWidthRow);
    connect(m_heightList, &QListWidget::currentRowChanged, this, &ImageEffectWindow::followHeightRow);
    // The size box under the mouse takes the focus and is drawn sunken, the other raised.
    FocusOnHover::install(m_widthBox, [this](bool) { sinkSizeBox(m_widthBox); });
    FocusOnHover::install(m_heightBox, [this](bool) { sinkSizeBox(m_heightBox); });

    addPreview([this] {
        if (!m_effect.state.opened)
            throw VellumoError(DefinitionFile::missingMessage());
        return previewAssembly().image(m_effect, m_widthBox->text(), m_heightBox->text());
    });
}

void ImageEffectWindow::firstShown()
{
    m_widthBox->setSunken(false);
    m_heightBox->setSunken(false);
    m_context.emptyBuffers();
    // What was listed before a count that is no number stays listed.
    guarded([this] { m_effect.open(); });
    showOpened(m_imageList, m_textFileList, m_effect.state);
    if (!m_effect.state.opened)
        message(DefinitionFile::missingMessage());
    // Without its definition file the window has nothing to count against.
    for (QWidget *button : { static_cast<QWidget *>(m_addImageButton), static_cast<QWidget *>(m_setSizeButton),
             static_cast<QWidget *>(m_copyButton) })
        button->setEnabled(m_effect.state.opened);
}

void ImageEffectWindow::addImage()
{
    guarded([this] {
        if (!SetupFlow::canAddImage(m_effect.state)) {
            message(SetupFlow::completeMessage());
            return;
        }
        addPicture(m_effect.state, m_imageList, SetupFlow::pictureFilter());
    });
}

void ImageEffectWindow::setSize()
{
    switch (m_effect.setSize(m_widthBox->text(), m_heightBox->text())) {
    case ImageEffect::SizeResult::Saturated:
        message(ImageEffect::sizesCompleteMessage());
        return;
    case ImageEffect::SizeResult::Zero:
        message(ImageEffect::zeroSizeMessage());
        return;
    case ImageEffect::SizeResult::Set:
        m_widthList->addItem(m_widthBox->text());
        m_heightList->addItem(m_heightBox->text());
        return;
    }
}

void ImageEffectWindow::copyEffect()
{
    bool cancelled = false;
    guarded([&] {
        if (!m_effect.readyToCopy()) {
            message(ImageEffect::notReadyMessage());
            return;
        }
        cancelled = !copyToChosenFolder(m_effect.flow(), m_effect.state);
        if (!m_definition.exists()) {
            message(DefinitionFile::missingMessage());
            close();
            return;
        }
        BufferSink sink(m_context.buffers.snippets, m_context.platform.clipboard);
        m_effect.assemble(sink);
        close();
    });
    // A cancelled folder closes the window even when the assembly stopped with an error.
    if (cancelled)
        close();
}

void ImageEffectWindow::followWidthRow()
{
    if (m_widthList->currentRow() >= 0 && m_widthList->currentRow() < m_heightList->count())
        m_heightList->setCurrentRow(m_widthList->currentRow());
}

void ImageEffectWindow::followHeightRow()
{
    if (m_heightList->currentRow() >= 0 && m_heightList->currentRow() < m_widthList->count())
        m_widthList->setCurrentRow(m_heightList->currentRow());
}

void ImageEffectWindow::sinkSizeBox(NumericEdit *box)
{
    m_widthBox->setSunken(box == m_widthBox);
    m_heightBox->setSunken(box == m_heightBox);
}

void ImageEffectWindow::done(int result)
{
    finish();
    SetupWindow::done(result);
}

void ImageEffectWindow::finish()
{
    if (m_closed)
        return;
    m_closed = true;
    m_context.emptyBuffers();
}
