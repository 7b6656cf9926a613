#include "systemtab.h"

#include "customeffect.h"
#include "library/packageinstaller.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "widgets/flatlineedit.h"
#include "widgets/named.h"
#include "widgets/windowparts.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QToolButton>

using namespace Qt::StringLiterals;

SystemTab::SystemTab(const OptionsContext &context, QWidget *parent)
    : OptionsTab(context, parent)
{
    QGroupBox *custom = WindowParts::group(this, u"自定义初级特效"_s, QRect(4, 4, 478, 140));
    m_customTextBox = named<QPlainTextEdit>(u"Memo1"_s, custom);
    m_customTextBox->setGeometry(10, 20, 327, 112);
    m_customTextBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_customTextBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_customNameCaption = named<QLabel>(u"RxLabel2"_s, u"自定义名称:"_s, custom);
    m_customNameCaption->setGeometry(343, 22, 128, 20);
    m_customNameBox = named<FlatLineEdit>(u"RFlatEdit1"_s, custom);
    m_customNameBox->setGeometry(343, 44, 128, 22);
    m_defineButton
        = WindowParts::speedButton(custom, u"SpeedButton7"_s, u"将左边文件定义为特效"_s, QRect(343, 80, 128, 40));

    QGroupBox *update = WindowParts::group(this, u"升级设置"_s, QRect(4, 148, 478, 141));
    m_packageList = WindowParts::list(update, u"ListBox2"_s, QRect(10, 20, 327, 112));
    m_addPackageButton
        = WindowParts::speedButton(update, u"SpeedButton8"_s, u"打开升级文件"_s, QRect(343, 24, 128, 28));
    m_installButton = WindowParts::speedButton(update, u"SpeedButton9"_s, u"嵌入升级文件"_s, QRect(343, 60, 128, 28));

    connect(m_defineButton, &QToolButton::clicked, this, &SystemTab::defineCustomEffect);
    connect(m_addPackageButton, &QToolButton::clicked, this, &SystemTab::addPackage);
    connect(m_installButton, &QToolButton::clicked, this, &SystemTab::installPackages);
}

namespace {
// The text exactly as typed: toPlainText() would turn non-breaking spaces into blanks. Every line
// break is a line break of the file, Shift+Enter's line separator too.
QString typedText(const QPlainTextEdit *box)
{
    QString text = box->document()->toRawText();
    for (QChar &c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
    return text;
}
}

void SystemTab::defineCustomEffect()
{
    if (!ask(u"真的要将左右定义为特效吗?"_s, true))
        return;
    guarded([this] {
        switch (CustomEffect(m_context.platform.files, m_context.applicationFolder)
                    .define(m_customNameBox->text(), typedText(m_customTextBox))) {
        case CustomEffect::Result::UnusableName:
            message(CustomEffect::unusableNameMessage());
            return;
        case CustomEffect::Result::SameName:
            message(CustomEffect::sameNameMessage());
            return;
        case CustomEffect::Result::Defined:
            return;
        }
    });
}

void SystemTab::addPackage()
{
    FileDialogRequest request;
    request.filter = u"升级程序|*.gx"_s;
    if (const auto chosen = m_context.platform.dialogs.openFile(request))
        m_packageList->addItem(*chosen);
}

void SystemTab::installPackages()
{
    if (!ask(PackageInstaller::confirmation(), false) || m_packageList->count() == 0)
        return;
    QStringList packages;
    for (int i = 0; i < m_packageList->count(); ++i)
        packages.append(m_packageList->item(i)->text());
    PackageInstaller::Outcome outcome;
    const bool finished = guarded([&] {
        PackageInstaller(m_context.platform.files, m_context.applicationFolder).installAll(packages, outcome);
        if (outcome.end != PackageInstaller::End::Nothing)
            message(PackageInstaller::finalMessage(outcome));
    });
    // After an error box the user still learns which packages went in before it.
    if (!finished && !outcome.installed.isEmpty())
        message(PackageInstaller::installedBefore(outcome));
}
