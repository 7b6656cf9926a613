#include "replacedialog.h"

#include "findreplace.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/named.h"

using namespace Qt::StringLiterals;

ReplaceDialog::ReplaceDialog(FindReplace &search, QWidget *parent)
    : QDialog(parent)
    , m_search(search)
{
    setObjectName(u"ReplaceDialog"_s);
    setWindowTitle(u"替换"_s);
    setModal(false);

    m_findCaption = named<QLabel>(u"Label1"_s, u"查找内容(&N):"_s, this);
    m_findBox = named<QLineEdit>(u"Edit1"_s, this);
    m_findCaption->setBuddy(m_findBox);
    m_replaceCaption = named<QLabel>(u"Label2"_s, u"替换为(&P):"_s, this);
    m_replaceBox = named<QLineEdit>(u"Edit2"_s, this);
    m_replaceCaption->setBuddy(m_replaceBox);
    m_matchCaseBox = named<QCheckBox>(u"CheckBox1"_s, u"区分大小写(&C)"_s, this);
    m_wholeWordBox = named<QCheckBox>(u"CheckBox2"_s, u"全字匹配(&W)"_s, this);
    m_wrapAroundBox = named<QCheckBox>(u"CheckBox3"_s, u"循环查找"_s, this);
    m_findNextButton = named<QPushButton>(u"Button1"_s, u"查找下一个(&F)"_s, this);
    m_findNextButton->setDefault(true);
    m_replaceButton = named<QPushButton>(u"Button2"_s, u"替换(&R)"_s, this);
    m_replaceAllButton = named<QPushButton>(u"Button3"_s, u"全部替换(&A)"_s, this);
    m_cancelButton = named<QPushButton>(u"Button4"_s, u"取消"_s, this);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findNextButton);
    buttons->addWidget(m_replaceButton);
    buttons->addWidget(m_replaceAllButton);
    buttons->addWidget(m_cancelButton);
    buttons->addStretch();
    auto *layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_findCaption, 0, 0);
    layout->addWidget(m_findBox, 0, 1);
    layout->addWidget(m_replaceCaption, 1, 0);
    layout->addWidget(m_replaceBox, 1, 1);
    layout->addWidget(m_matchCaseBox, 2, 0, 1, 2);
    layout->addWidget(m_wholeWordBox, 3, 0, 1, 2);
    layout->addWidget(m_wrapAroundBox, 4, 0, 1, 2);
    layout->setRowStretch(5, 1);
    layout->addLayout(buttons, 0, 2, 6, 1);
    // Room for a long search text in whatever font the box is given; it scrolls beyond that.
    m_findBox->setMinimumWidth(qMax(200, m_findBox->fontMetrics().averageCharWidth() * 32));

    connect(m_findBox, &QLineEdit::textChanged, this, &ReplaceDialog::store);
    connect(m_replaceBox, &QLineEdit::textChanged, this, &ReplaceDialog::store);
    connect(m_matchCaseBox, &QCheckBox::toggled, this, &ReplaceDialog::store);
    connect(m_wholeWordBox, &QCheckBox::toggled, this, &ReplaceDialog::store);
    // Only the user's own switch: showing the state in the box is no choice to remember.
    connect(m_wrapAroundBox, &QCheckBox::clicked, this, [this](bool wrap) {
        m_search.state().wrapAround = wrap;
        emit wrapAroundChosen(wrap);
    });
    connect(m_findNextButton, &QPushButton::clicked, this, &ReplaceDialog::findNext);
    connect(m_replaceButton, &QPushButton::clicked, this, &ReplaceDialog::replaceOne);
    connect(m_replaceAllButton, &QPushButton::clicked, this, &ReplaceDialog::replaceAll);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    load();
}

void ReplaceDialog::load()
{
    // A copy: each control set here stores all of them back.
    const SearchState::ReplaceWindow state = m_search.state().replace;
    if (m_findBox->text() != state.findText)
        m_findBox->setText(state.findText);
    if (m_replaceBox->text() != state.replaceText)
        m_replaceBox->setText(state.replaceText);
    m_matchCaseBox->setChecked(state.options.matchCase);
    m_wholeWordBox->setChecked(state.options.wholeWord);
    m_wrapAroundBox->setChecked(m_search.state().wrapAround);
    store();
}

void ReplaceDialog::store()
{
    SearchState::ReplaceWindow &state = m_search.state().replace;
    state.findText = m_findBox->text();
    state.replaceText = m_replaceBox->text();
    state.options = { m_matchCaseBox->isChecked(), m_wholeWordBox->isChecked() };
    // As in the system's replace window, there is nothing to search for without a text.
    const bool searchable = !state.findText.isEmpty();
    m_findNextButton->setEnabled(searchable);
    m_replaceButton->setEnabled(searchable);
    m_replaceAllButton->setEnabled(searchable);
}

void ReplaceDialog::findNext()
{
    m_search.findFromReplaceWindow();
    emit findWindowChanged();
}

void ReplaceDialog::replaceOne()
{
    m_search.replaceOne();
}

void ReplaceDialog::replaceAll()
{
    m_search.replaceAll();
}

void ReplaceDialog::showEvent(QShowEvent *event)
{
    load();
    m_findBox->selectAll();
    m_findBox->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
}
