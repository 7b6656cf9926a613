#include "effectpanelpreview.h"

#include "effects/effectpreviewpane.h"
#include "effects/effectpreviews.h"
#include "effects/previewassembly.h"
#include "library/effectindex.h"
#include "library/effectkind.h"
#include "platform/platform.h"
#include "widgets/named.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
// The pane gives up height before the window grows: from its full height down to a strip.
constexpr int PaneHeight = 150;
constexpr int SmallestPaneHeight = 60;
}

EffectPanelPreview::EffectPanelPreview(
    Platform &platform, EffectPreviews &previews, std::function<QString()> applicationFolder, QWidget *parent)
    : QWidget(parent)
    , m_platform(platform)
    , m_previews(previews)
    , m_applicationFolder(std::move(applicationFolder))
{
    setObjectName(u"PanelPreview"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto *header = new QHBoxLayout;
    header->setContentsMargins(4, 0, 0, 0);
    auto *caption = new QLabel(u"效果预览："_s, this);
    header->addWidget(caption, 1);
    m_toggle = named<QToolButton>(u"PanelPreviewToggle"_s, this);
    m_toggle->setCheckable(true);
    m_toggle->setAutoRaise(true);
    m_toggle->setToolTip(u"显示或隐藏所选特效的预览"_s);
    header->addWidget(m_toggle);
    layout->addLayout(header);
    m_pane = new EffectPreviewPane(platform.files, QString(), this);
    m_pane->setMinimumHeight(SmallestPaneHeight);
    m_pane->setMaximumHeight(PaneHeight);
    m_pane->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    m_pane->setZoomFactor(0.6);
    layout->addWidget(m_pane);
    m_pane->showNothing(u"选择一个特效，这里显示它的样子。"_s);

    connect(m_toggle, &QToolButton::toggled, this, [this](bool shown) {
        m_previews.setShown(EffectPreviews::Place::Panel, shown);
        showPane(shown);
    });
    m_toggle->setChecked(m_previews.shown(EffectPreviews::Place::Panel));
    showPane(m_toggle->isChecked());
}

void EffectPanelPreview::showPane(bool shown)
{
    m_toggle->setText(shown ? u"隐藏"_s : u"显示"_s);
    m_pane->setVisible(shown);
    if (shown && !m_effect.isEmpty())
        showEffect(m_category, m_effect);
}

void EffectPanelPreview::showEffect(const QString &category, const QString &effect)
{
    m_category = category;
    m_effect = effect;
    if (!m_toggle->isChecked())
        return;
    const QString folder = m_applicationFolder();
    const EffectKind kind = EffectKinds::fromText(EffectIndex(m_platform.files, folder).kind(category, effect));
    if (kind != EffectKind::SimpleCopy && kind != EffectKind::Image && kind != EffectKind::Menu
        && kind != EffectKind::Text) {
        m_pane->showNothing(u"这个特效没有可以预览的代码。"_s);
        return;
    }
    m_pane->setApplicationFolder(folder);
    m_pane->setSource([this, folder, category, effect] {
        return PreviewAssembly(PreviewAssembly::samplePictures(m_platform.files, folder))
            .defaults(m_platform.files, folder, category, effect);
    });
    m_pane->start();
    m_pane->refresh();
}

void EffectPanelPreview::showNothing()
{
    m_category.clear();
    m_effect.clear();
    m_pane->showNothing(u"选择一个特效，这里显示它的样子。"_s);
}
