#include "finddialog.h"

#include "findreplace.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "widgets/named.h"

using namespace Qt::StringLiterals;

FindDialog::FindDialog(FindReplace &search, QWidget *parent)
    : QDialog(parent)
    , m_search(search)
{
    setObjectName(u"FindDialog"_s);
    setWindowTitle(u"查找"_s);
    setModal(false);

    m_findCaption = named<QLabel>(u"Label1"_s, u"查找内容(&N):"_s, this);
    m_findBox = named<QLineEdit>(u"Edit1"_s, this);
    m_findCaption->setBuddy(m_findBox);
    m_matchCaseBox = named<QCheckBox>(u"CheckBox1"_s, u"区分大小写(&C)"_s, this);
    m_wholeWordBox = named<QCheckBox>(u"CheckBox2"_s, u"全字匹配(&W)"_s, this);
    m_wrapAroundBox = named<QCheckBox>(u"CheckBox3"_s, u"循环查找"_s, this);
    m_directionGroup = named<QGroupBox>(u"GroupBox1"_s, u"方向"_s, this);
    m_upButton = named<QRadioButton>(u"RadioButton1"_s, u"向上(&U)"_s, m_directionGroup);
    m_downButton = named<QRadioButton>(u"RadioButton2"_s, u"向下(&D)"_s, m_directionGroup);
    m_downButton->setChecked(true);
    m_findNextButton = named<QPushButton>(u"Button1"_s, u"查找下一个(&F)"_s, this);
    m_findNextButton->setDefault(true);
    m_cancelButton = named<QPushButton>(u"Button2"_s, u"取消"_s, this);

    auto *direction = new QHBoxLayout(m_directionGroup);
    direction->addWidget(m_upButton);
    direction->addWidget(m_downButton);
    auto *options = new QVBoxLayout;
    options->addWidget(m_matchCaseBox);
    options->addWidget(m_wholeWordBox);
    options->addWidget(m_wrapAroundBox);
    options->addStretch();
    auto *layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_findCaption, 0, 0);
    layout->addWidget(m_findBox, 0, 1, 1, 2);
    layout->addLayout(options, 1, 0, 1, 2);
    layout->addWidget(m_directionGroup, 1, 2);
    layout->addWidget(m_findNextButton, 0, 3);
    layout->addWidget(m_cancelButton, 1, 3, Qt::AlignTop);
    // Room for a long search text in whatever font the box is given; it scrolls beyond that.
    m_findBox->setMinimumWidth(qMax(200, m_findBox->fontMetrics().averageCharWidth() * 32));

    connect(m_findBox, &QLineEdit::textChanged, this, &FindDialog::store);
    connect(m_matchCaseBox, &QCheckBox::toggled, this, &FindDialog::store);
    connect(m_wholeWordBox, &QCheckBox::toggled, this, &FindDialog::store);
    // Only the user's own switch: showing the state in the box is no choice to remember.
    connect(m_wrapAroundBox, &QCheckBox::clicked, this, [this](bool wrap) {
        m_search.state().wrapAround = wrap;
        emit wrapAroundChosen(wrap);
    });
    connect(m_findNextButton, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    load();
}

void FindDialog::load()
{
    // A copy: each control set here stores all of them back.
    const SearchState::FindWindow state = m_search.state().find;
    if (m_findBox->text() != state.findText)
        m_findBox->setText(state.findText);
    m_matchCaseBox->setChecked(state.options.matchCase);
    m_wholeWordBox->setChecked(state.options.wholeWord);
    m_wrapAroundBox->setChecked(m_search.state().wrapAround);
    store();
}

void FindDialog::store()
{
    SearchState::FindWindow &state = m_search.state().find;
    state.findText = m_findBox->text();
    state.options = { m_matchCaseBox->isChecked(), m_wholeWordBox->isChecked() };
    // As in the system's find window, there is nothing to find without a text.
    m_findNextButton->setEnabled(!state.findText.isEmpty());
}

void FindDialog::findNext()
{
    m_search.find();
}

void FindDialog::showEvent(QShowEvent *event)
{
    load();
    m_findBox->selectAll();
    m_findBox->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
}
