#include "imageeffectwindow.h"

#include "buffersink.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "widgets/numericedit.h"
#include "widgets/textbufferedit.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

ImageEffectWindow::ImageEffectWindow(const SetupContext &context, QWidget *parent)
    : SetupWindow(context, QSize(547, 378), parent),
      m_definition(context.platform.files, context.applicationFolder, context.category, context.effect),
      m_effect(context.platform.files, m_definition)
{
    setObjectName(u"VC2_FORM"_s);
    setWindowTitle(u"特效设置"_s);

    ListBox1 = groupedList(u"即被复制图像文件名"_s, QRect(8, 32, 262, 130), u"ListBox1"_s);
    ListBox2 = groupedList(u"即被复制文本文件名"_s, QRect(277, 32, 262, 130), u"ListBox2"_s);

    auto *sizes = new QGroupBox(u"图像文件的大小"_s, this);
    sizes->setGeometry(8, 168, 262, 180);
    ListBox4 = new QListWidget(sizes);
    ListBox4->setObjectName(u"ListBox4"_s);
    ListBox4->setGeometry(8, 22, 119, 150);
    ListBox3 = new QListWidget(sizes);
    ListBox3->setObjectName(u"ListBox3"_s);
    ListBox3->setGeometry(135, 22, 119, 150);

    auto *sizeLabel = new QLabel(u"设置图像文件大小：宽："_s, this);
    sizeLabel->setGeometry(282, 178, 140, 20);
    NumEdit1 = new NumericEdit(this);
    NumEdit1->setObjectName(u"NumEdit1"_s);
    NumEdit1->setGeometry(424, 177, 110, 22);
    NumEdit1->setText(u"0"_s);
    auto *heightLabel = new QLabel(u"高："_s, this);
    heightLabel->setGeometry(394, 210, 28, 20);
    NumEdit2 = new NumericEdit(this);
    NumEdit2->setObjectName(u"NumEdit2"_s);
    NumEdit2->setGeometry(424, 209, 110, 22);
    NumEdit2->setText(u"0"_s);
    SpeedButton2 = new QToolButton(this);
    SpeedButton2->setObjectName(u"SpeedButton2"_s);
    SpeedButton2->setText(u"设置"_s);
    SpeedButton2->setGeometry(424, 241, 110, 24);

    Button4 = new QPushButton(u"增加图像文件"_s, this);
    Button4->setObjectName(u"Button4"_s);
    Button4->setGeometry(282, 314, 100, 28);
    Button5 = new QPushButton(u"复制"_s, this);
    Button5->setObjectName(u"Button5"_s);
    Button5->setGeometry(388, 314, 70, 28);
    Button6 = new QPushButton(u"退出"_s, this);
    Button6->setObjectName(u"Button6"_s);
    Button6->setGeometry(464, 314, 70, 28);

    connect(Button4, &QPushButton::clicked, this, &ImageEffectWindow::addImage);
    connect(SpeedButton2, &QToolButton::clicked, this, &ImageEffectWindow::setSize);
    connect(Button5, &QPushButton::clicked, this, &ImageEffectWindow::copyEffect);
    connect(Button6, &QPushButton::clicked, this, &QDialog::close);
    connect(ListBox4, &QListWidget::currentRowChanged, this, &ImageEffectWindow::followWidthRow);
    connect(ListBox3, &QListWidget::currentRowChanged, this, &ImageEffectWindow::followHeightRow);
    connect(NumEdit1, &NumericEdit::mouseMoved, this, &ImageEffectWindow::focusWidthUnderMouse);
    connect(NumEdit2, &NumericEdit::mouseMoved, this, &ImageEffectWindow::focusHeightUnderMouse);
}

void ImageEffectWindow::firstShown()
{
    NumEdit1->setSunken(false);
    NumEdit2->setSunken(false);
    m_context.emptyBuffers();
    // What was listed before a count that is no number stays listed.
    guarded([this] { m_effect.open(); });
    showOpened(ListBox1, ListBox2, m_effect.state);
    if (!m_effect.state.opened)
        message(DefinitionFile::missingMessage());
    // Without its definition file the window has nothing to count against.
    for (QWidget *button : {static_cast<QWidget *>(Button4), static_cast<QWidget *>(SpeedButton2),
                            static_cast<QWidget *>(Button5)})
        button->setEnabled(m_effect.state.opened);
}

void ImageEffectWindow::addImage()
{
    guarded([this] {
        if (!SetupFlow::canAddImage(m_effect.state)) {
            message(SetupFlow::completeMessage());
            return;
        }
        addPicture(m_effect.state, ListBox1, SetupFlow::pictureFilter());
    });
}

void ImageEffectWindow::setSize()
{
    switch (m_effect.setSize(NumEdit1->text(), NumEdit2->text())) {
    case ImageEffect::SizeResult::Saturated:
        message(ImageEffect::sizesCompleteMessage());
        return;
    case ImageEffect::SizeResult::Zero:
        message(ImageEffect::zeroSizeMessage());
        return;
    case ImageEffect::SizeResult::Set:
        ListBox4->addItem(NumEdit1->text());
        ListBox3->addItem(NumEdit2->text());
        return;
    }
}

void ImageEffectWindow::copyEffect()
{
    guarded([this] {
        if (!m_effect.readyToCopy()) {
            message(ImageEffect::notReadyMessage());
            return;
        }
        copyToChosenFolder(m_effect.flow(), m_effect.state);
        if (!m_definition.exists()) {
            message(DefinitionFile::missingMessage());
            close();
            return;
        }
        BufferSink sink(*m_context.snippets, m_context.platform.clipboard);
        m_effect.assemble(sink);
        close();
    });
}

void ImageEffectWindow::followWidthRow()
{
    if (ListBox4->currentRow() >= 0 && ListBox4->currentRow() < ListBox3->count())
        ListBox3->setCurrentRow(ListBox4->currentRow());
}

void ImageEffectWindow::followHeightRow()
{
    if (ListBox3->currentRow() >= 0 && ListBox3->currentRow() < ListBox4->count())
        ListBox4->setCurrentRow(ListBox3->currentRow());
}

void ImageEffectWindow::focusWidthUnderMouse()
{
    NumEdit1->setFocus(Qt::MouseFocusReason);
    NumEdit1->setSunken(true);
    NumEdit2->setSunken(false);
}

void ImageEffectWindow::focusHeightUnderMouse()
{
    NumEdit2->setFocus(Qt::MouseFocusReason);
    NumEdit2->setSunken(true);
    NumEdit1->setSunken(false);
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
