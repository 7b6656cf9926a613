#include "effectpanel.h"

#include "artwork/artwork.h"
#include "effectpanelpreview.h"

#include "effects/effectpreviews.h"
#include "effects/imageeffectwindow.h"
#include "effects/menueffectwindow.h"
#include "effects/setupcontext.h"
#include "effects/simplecopyeffect.h"
#include "effects/texteffectwindow.h"
#include "library/categoryindex.h"
#include "library/effectindex.h"
#include "library/effectkind.h"
#include "library/effectsearch.h"
#include "library/resultline.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/errorguard.h"
#include "platform/platform.h"
#include "widgets/fixedheightdelegate.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatlineedit.h"
#include "widgets/focusonhover.h"
#include "widgets/named.h"
#include "widgets/pictureloader.h"
#include "widgets/readabletext.h"
#include "widgets/uistyle.h"
#include "widgets/windowparts.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
QToolButton *glyphButton(
    QWidget *parent, const QString &name, const QString &caption, vellumo::artwork::Glyph glyph, const QRect &place)
{
    QToolButton *button = WindowParts::speedButton(parent, name, caption, place);
    button->setIcon(QIcon(QPixmap::fromImage(vellumo::artwork::glyph(glyph))));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}
}

EffectPanel::EffectPanel(Platform &platform, EffectPreviews &previews, SetupBuffers &buffers, bool &parentMenuNeeded,
    std::function<QString()> applicationFolder, QWidget *parent)
    : QWidget(parent)
    , m_platform(platform)
    , m_previews(previews)
    , m_buffers(buffers)
    , m_parentMenuNeeded(parentMenuNeeded)
    , m_applicationFolder(std::move(applicationFolder))
{
    setObjectName(u"Panel4"_s);
    setFixedWidth(216);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_choicePanel = WindowParts::panel(this, u"Panel5"_s);
    m_choicePanel->setFixedHeight(192);
    layout->addWidget(m_choicePanel);
    auto *pictureLayout = new QGridLayout(m_choicePanel);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    m_mainPicture = named<QLabel>(u"MAINIMG"_s, m_choicePanel);
    m_mainPicture->setAlignment(Qt::AlignCenter);
    m_mainPicture->setPixmap(PictureLoader::builtIn(vellumo::artwork::kMainImage));
    // The picture is shown centred at its own size, whatever the panel's size.
    m_mainPicture->setMinimumSize(1, 1);
    m_mainPicture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    pictureLayout->addWidget(m_mainPicture, 0, 0);

    m_categoryCaption = WindowParts::pictureCaption(m_choicePanel, u"Label3"_s, u"特效总类："_s);
    m_categoryCaption->move(8, 16);
    m_categoryBox = named<FlatComboBox>(u"ComboBox1"_s, m_choicePanel);
    m_categoryBox->setGeometry(66, 10, 138, 22);
    m_categoryBox->setFont(UiStyle::songFont(14));
    m_effectCaption = WindowParts::pictureCaption(m_choicePanel, u"Label5"_s, u"特效细分："_s);
    m_effectCaption->move(8, 40);
    m_effectBox = named<FlatComboBox>(u"ComboBox3"_s, m_choicePanel);
    m_effectBox->setGeometry(67, 35, 137, 22);
    m_effectBox->setFont(UiStyle::songFont(14));
    m_setupButton = glyphButton(
        m_choicePanel, u"SpeedButton7"_s, u"特效设置"_s, vellumo::artwork::GlyphSetup, QRect(57, 68, 99, 22));
    m_searchCaption = WindowParts::pictureCaption(m_choicePanel, u"Label6"_s, u"查询特效："_s);
    m_searchCaption->move(8, 100);
    m_searchBox = named<FlatLineEdit>(u"Edit1"_s, m_choicePanel);
    m_searchBox->setGeometry(14, 120, 189, 18);
    m_searchBox->setLowerCaseInput(true);
    m_searchBox->setHintText(u"特效名称..."_s);
    m_searchButton = glyphButton(
        m_choicePanel, u"SpeedButton6"_s, u"按条件查询"_s, vellumo::artwork::GlyphSearch, QRect(57, 150, 99, 22));
    m_resultsCaption = WindowParts::pictureCaption(m_choicePanel, u"Label7"_s, u"查询结果："_s);
    m_resultsCaption->move(8, 180);
    for (QWidget *label : { static_cast<QWidget *>(m_categoryCaption), static_cast<QWidget *>(m_effectCaption),
             static_cast<QWidget *>(m_searchCaption), static_cast<QWidget *>(m_resultsCaption) }) {
        label->adjustSize();
        // A font taller than its nominal size would push the lowest caption out of the panel; its
        // strokes reach a little below the line's box.
        constexpr int Room = 3;
        if (label->geometry().bottom() >= m_choicePanel->height() - Room)
            label->move(label->x(), m_choicePanel->height() - Room - label->height());
    }
    // Taking the focus, the search box selects its text, so that typing replaces it.
    FocusOnHover::install(m_searchBox, [this](bool taken) {
        if (taken)
            m_searchBox->selectAll();
    });
    // A choice from the list loads it and then empties the effect text; typing only empties it.
    m_categoryBox->chooseFromListOnly();
    connect(m_categoryBox, &QComboBox::activated, this, &EffectPanel::chooseCategory);
    connect(m_categoryBox->lineEdit(), &QLineEdit::textEdited, this, &EffectPanel::clearEffectBox);
    connect(m_setupButton, &QToolButton::clicked, this, &EffectPanel::startEffect);
    connect(m_searchButton, &QToolButton::clicked, this, &EffectPanel::searchEffects);
    connect(m_searchBox, &QLineEdit::returnPressed, this, &EffectPanel::searchEffects);

    m_resultsPanel = WindowParts::panel(this, u"Panel6"_s);
    layout->addWidget(m_resultsPanel, 1);
    auto *listLayout = new QVBoxLayout(m_resultsPanel);
    listLayout->setContentsMargins(0, 0, 0, 0);
    m_resultList = named<QListWidget>(u"ListBox1"_s, m_resultsPanel);
    m_resultList->setToolTip(u"双击可以运行此特效设置"_s);
    m_resultList->setUniformItemSizes(true);
    m_resultList->setFrameShape(QFrame::Box);
    m_resultList->setFrameShadow(QFrame::Plain);
    m_resultList->setLineWidth(1);
    // A double-click anywhere in the list starts the selected line's effect, below the last row too;
    // a click there keeps the selection for it.
    m_resultList->viewport()->installEventFilter(this);
    m_resultList->setItemDelegate(new FixedHeightDelegate(12, m_resultList));
    // Three rows at least; the rest of the column is shared with the preview, so that the window keeps
    // its size with the preview shown and still fits a small screen.
    m_resultList->setMinimumHeight(3 * 12 + 2);
    listLayout->addWidget(m_resultList, 1);
    m_preview = new EffectPanelPreview(m_platform, m_previews, m_applicationFolder, m_resultsPanel);
    listLayout->addWidget(m_preview, 2);
    connect(m_effectBox, &QComboBox::activated, this,
        [this] { m_preview->showEffect(m_categoryBox->currentText(), m_effectBox->currentText()); });
    connect(m_resultList, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (!item)
            return;
        const ResultLine line = ResultLine::split(item->text());
        m_preview->showEffect(line.category, line.effect);
    });
    // Said over the empty list rather than as a line of it, which a double-click would try to start.
    m_noResults = named<QLabel>(u"NoResults"_s, m_resultList->viewport());
    m_noResults->setWordWrap(true);
    m_noResults->setTextFormat(Qt::PlainText);
    m_noResults->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_noResults->setGeometry(4, 4, 200, 48);
    m_noResults->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_noResults->hide();
}

void EffectPanel::guarded(const std::function<void()> &handler)
{
    ErrorGuard::run(m_platform.dialogs, handler);
}

void EffectPanel::loadCategories()
{
    guarded([this] {
        const QStringList categories = CategoryIndex(m_platform.files, m_applicationFolder()).categories();
        m_categoryBox->addItems(categories);
        m_categoryBox->setCurrentIndex(-1);
        m_categoryBox->setEditText(QString());
    });
}

void EffectPanel::setMainPicture(const QPixmap &picture)
{
    m_mainPicture->setPixmap(picture);
}

void EffectPanel::fitTextToPicture()
{
    const QImage panel = ReadableText::backdrop(m_mainPicture->pixmap(), m_choicePanel->size(),
        ReadableText::Fit::Centred, m_choicePanel->palette().color(QPalette::Window));
    for (QWidget *text : std::initializer_list<QWidget *> {
             m_categoryCaption, m_effectCaption, m_searchCaption, m_resultsCaption, m_setupButton, m_searchButton })
        ReadableText::fit(text, panel);
}

void EffectPanel::chooseCategory()
{
    // A damaged count stops before the emptying: the effect box keeps its list and its text.
    guarded([this] {
        loadEffectList();
        clearEffectBox();
    });
}

void EffectPanel::loadEffectList()
{
    const QString category = m_categoryBox->currentText();
    if (category == u"请选择..."_s)
        return;
    const std::optional<QStringList> effects = EffectIndex(m_platform.files, m_applicationFolder()).effects(category);
    if (!effects) {
        m_effectBox->setEditText(QString());
        m_effectBox->clearItemsKeepingText();
        return;
    }
    m_effectBox->setItemsKeepingText(*effects);
}

void EffectPanel::clearEffectBox()
{
    m_effectBox->setEditText(QString());
    m_preview->showNothing();
}

void EffectPanel::startEffect()
{
    guarded([this] { runEffect(); });
}

void EffectPanel::runEffect()
{
    const QString category = m_categoryBox->currentText();
    const QString effect = m_effectBox->currentText();
    if (effect.isEmpty())
        return;
    const QString folder = m_applicationFolder();
    const QString kind = EffectIndex(m_platform.files, folder).kind(category, effect);
    const SetupContext context { m_platform, folder, category, effect, m_buffers, &m_parentMenuNeeded, &m_previews };
    QWidget *owner = window();
    // A setup window that copied has put the effect's code on the clipboard.
    const QString before = m_platform.clipboard.text();
    const auto toldIfCopied = [this, &before] {
        const QString after = m_platform.clipboard.text();
        if (!after.isEmpty() && after != before)
            emit codeCopied();
    };
    switch (EffectKinds::fromText(kind)) {
    case EffectKind::Unusable:
        m_platform.dialogs.message(u"出现莫名奇妙的错误"_s);
        return;
    case EffectKind::SimpleCopy:
        copySimpleEffect(category, effect);
        return;
    case EffectKind::Image: {
        ImageEffectWindow setup(context, owner);
        setup.exec();
        toldIfCopied();
        return;
    }
    case EffectKind::Menu: {
        MenuEffectWindow setup(context, owner);
        setup.exec();
        toldIfCopied();
        return;
    }
    case EffectKind::Text: {
        TextEffectWindow setup(context, owner);
        setup.exec();
        toldIfCopied();
        return;
    }
    case EffectKind::Unknown:
        return;
    }
}

void EffectPanel::copySimpleEffect(const QString &category, const QString &effect)
{
    if (!m_platform.dialogs.question(
            u"询问"_s, u"本特效不用做任何设置，直接复接便可使用，是否真的要确定"_s, MessageIcon::Question))
        return;
    if (!SimpleCopyEffect(m_platform.files, m_applicationFolder(), category, effect).copyTo(m_platform.clipboard)) {
        m_platform.dialogs.message(u"文件不存在"_s);
        return;
    }
    // The copy goes by way of the row buffer, which it leaves empty.
    m_buffers.rows.clear();
    emit codeCopied();
}

void EffectPanel::searchEffects()
{
    m_resultList->clear();
    if (m_categoryBox->count() == 0) {
        showWhenNothingFound(true);
        return;
    }
    QStringList categories;
    for (int i = 0; i < m_categoryBox->count(); ++i)
        categories.append(m_categoryBox->itemText(i));
    QStringList found;
    // Lines found before a damaged counter stay listed.
    guarded([&] {
        EffectSearch(m_platform.files, m_applicationFolder())
            .run(categories, m_searchBox->text(), [&](const QString &line) { found.append(line); });
    });
    m_resultList->addItems(found);
    m_resultList->setCurrentRow(-1);
    showWhenNothingFound(found.isEmpty());
}

void EffectPanel::showWhenNothingFound(bool nothing)
{
    const QString text = m_searchBox->text();
    m_noResults->setText(
        text.isEmpty() ? u"请输入特效名称中的字，再查询。"_s : u"没有找到名称中含有“%1”的特效。"_s.arg(text));
    m_noResults->resize(
        m_resultList->viewport()->width() - 8, m_noResults->heightForWidth(m_resultList->viewport()->width() - 8));
    m_noResults->setVisible(nothing);
}

bool EffectPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_resultList->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        startFoundEffect();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        // Qt's list empties its selection on a click below the last row.
        return !m_resultList->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint()).isValid();
    default:
        return false;
    }
}

void EffectPanel::startFoundEffect()
{
    const QList<QListWidgetItem *> selected = m_resultList->selectedItems();
    if (selected.isEmpty())
        return;
    const ResultLine line = ResultLine::split(selected.first()->text());
    m_categoryBox->setEditText(line.category);
    m_effectBox->setEditText(line.effect);
    // One handler: a damaged count stops it before the effect starts.
    guarded([this] {
        loadEffectList();
        runEffect();
    });
}
