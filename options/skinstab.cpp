#include "skinstab.h"

#include "library/mainindex.h"
#include "library/skinregistry.h"
#include "platform/dialogs.h"
#include "platform/filesystem.h"
#include "platform/platform.h"
#include "widgets/flatlineedit.h"
#include "widgets/named.h"
#include "widgets/pictureloader.h"
#include "widgets/windowparts.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

SkinsTab::SkinsTab(const OptionsContext &context, QWidget *parent)
    : OptionsTab(context, parent)
{
    QGroupBox *custom = WindowParts::group(this, u"自定义皮肤"_s, QRect(4, 4, 478, 121));
    WindowParts::caption(custom, u"皮肤名:"_s, QRect(10, 24, 72, 20));
    m_nameBox = named<FlatLineEdit>(u"Edit1"_s, custom);
    m_nameBox->setGeometry(84, 22, 196, 22);
    WindowParts::caption(custom, u"主界面图像:"_s, QRect(10, 56, 72, 20));
    m_mainPictureBox = named<FlatLineEdit>(u"Edit2"_s, custom);
    m_mainPictureBox->setGeometry(84, 54, 340, 22);
    m_mainPictureBox->setReadOnly(true);
    m_mainPictureButton = named<QPushButton>(u"Button1"_s, u"..."_s, custom);
    m_mainPictureButton->setGeometry(430, 53, 36, 24);
    WindowParts::caption(custom, u"状态栏图像:"_s, QRect(10, 88, 72, 20));
    m_statusPictureBox = named<FlatLineEdit>(u"Edit3"_s, custom);
    m_statusPictureBox->setGeometry(84, 86, 340, 22);
    m_statusPictureBox->setReadOnly(true);
    m_statusPictureButton = named<QPushButton>(u"Button2"_s, u"..."_s, custom);
    m_statusPictureButton->setGeometry(430, 85, 36, 24);
    m_saveButton = WindowParts::speedButton(custom, u"SpeedButton1"_s, u"保存设置"_s, QRect(292, 20, 84, 26));
    m_clearButton = WindowParts::speedButton(custom, u"SpeedButton2"_s, u"清空所有"_s, QRect(382, 20, 84, 26));

    QGroupBox *change = WindowParts::group(this, u"更换皮肤"_s, QRect(4, 129, 478, 160));
    m_skinList = WindowParts::list(change, u"ListBox1"_s, QRect(10, 22, 159, 128));
    m_describeButton = WindowParts::speedButton(change, u"SpeedButton3"_s, u"皮肤内容"_s, QRect(182, 24, 96, 28));
    m_changeButton = WindowParts::speedButton(change, u"SpeedButton4"_s, u"更换皮肤"_s, QRect(182, 60, 96, 28));
    m_defaultButton = WindowParts::speedButton(change, u"SpeedButton5"_s, u"默认皮肤"_s, QRect(182, 96, 96, 28));
    WindowParts::caption(change, u"当前皮肤名为:"_s, QRect(294, 26, 172, 20));
    m_currentSkinBox = named<FlatLineEdit>(u"Edit4"_s, change);
    m_currentSkinBox->setGeometry(294, 50, 172, 22);
    m_currentSkinBox->setReadOnly(true);
    m_currentSkinBox->setText(u"默认"_s);

    connect(m_mainPictureButton, &QPushButton::clicked, this, &SkinsTab::chooseMainPicture);
    connect(m_statusPictureButton, &QPushButton::clicked, this, &SkinsTab::chooseStatusPicture);
    connect(m_saveButton, &QToolButton::clicked, this, &SkinsTab::saveSkin);
    connect(m_clearButton, &QToolButton::clicked, this, &SkinsTab::clearFields);
    connect(m_describeButton, &QToolButton::clicked, this, &SkinsTab::describeSkin);
    connect(m_changeButton, &QToolButton::clicked, this, &SkinsTab::changeSkin);
    connect(m_defaultButton, &QToolButton::clicked, this, &SkinsTab::defaultSkin);
}

QString SkinsTab::pictureFilter()
{
    return u"All (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp|JPEG Image File (*.jpg)|*.jpg|"
           "JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp"_s;
}

void SkinsTab::fillSkinList()
{
    guarded(
        [this] { m_skinList->addItems(SkinRegistry(m_context.platform.files, m_context.applicationFolder).names()); });
}

void SkinsTab::showCurrentSkin()
{
    guarded([this] {
        const QString name = MainIndex(m_context.platform.files, m_context.applicationFolder).skinName();
        if (!name.isEmpty())
            m_currentSkinBox->setText(name);
    });
}

void SkinsTab::choosePicture(FlatLineEdit *field)
{
    FileDialogRequest request;
    request.filter = pictureFilter();
    if (const auto picture = m_context.platform.dialogs.openPicture(request)) {
        // A picture the main window could not show at the next start is refused now.
        guarded([&] {
            PictureLoader::requireKnownExtension(*picture);
            field->setText(*picture);
        });
    }
}

void SkinsTab::chooseMainPicture()
{
    choosePicture(m_mainPictureBox);
}

void SkinsTab::chooseStatusPicture()
{
    choosePicture(m_statusPictureBox);
}

void SkinsTab::saveSkin()
{
    if (m_nameBox->text().isEmpty() || m_mainPictureBox->text().isEmpty() || m_statusPictureBox->text().isEmpty()) {
        message(u"请输入正确的名称或选择文件名！"_s);
        return;
    }
    guarded([this] {
        SkinRegistry(m_context.platform.files, m_context.applicationFolder)
            .add({ m_nameBox->text(), m_mainPictureBox->text(), m_statusPictureBox->text() });
        m_skinList->clear();
        m_nameBox->clear();
        m_mainPictureBox->clear();
        m_statusPictureBox->clear();
        fillSkinList();
    });
}

void SkinsTab::clearFields()
{
    m_nameBox->clear();
    m_mainPictureBox->clear();
    m_statusPictureBox->clear();
}

int SkinsTab::selectedSkin() const
{
    const int row = m_skinList->currentRow();
    return row >= 0 && m_skinList->item(row)->isSelected() ? row + 1 : 0;
}

void SkinsTab::describeSkin()
{
    const int n = selectedSkin();
    if (n == 0)
        return;
    guarded([&] {
        message(SkinRegistry::description(SkinRegistry(m_context.platform.files, m_context.applicationFolder).skin(n)));
    });
}

void SkinsTab::changeSkin()
{
    const int n = selectedSkin();
    if (n == 0 || !ask(u"你真的希望将当前的皮肤改变吗?"_s, true))
        return;
    guarded([&] {
        FileSystem &files = m_context.platform.files;
        const SkinRegistry::Skin skin = SkinRegistry(files, m_context.applicationFolder).skin(n);
        // Both pictures are decoded before either is shown: one that cannot be shown changes nothing.
        const bool hasMain = files.fileExists(skin.mainImage);
        const bool hasStatus = files.fileExists(skin.statusImage);
        const QPixmap main = hasMain ? PictureLoader::load(skin.mainImage) : QPixmap();
        const QPixmap status = hasStatus ? PictureLoader::load(skin.statusImage) : QPixmap();
        emit skinChanged(main, status);
        MainIndex(files, m_context.applicationFolder).setSkin(skin.mainImage, skin.statusImage, skin.name);
    });
}

void SkinsTab::defaultSkin()
{
    guarded([this] {
        MainIndex(m_context.platform.files, m_context.applicationFolder).setSkin(QString(), QString(), QString());
        message(u"你已经使用了默认的皮肤,但仍需重新启动本程序"_s);
    });
}
