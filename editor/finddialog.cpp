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

using namespace Qt::StringLiterals;

FindDialog::FindDialog(FindReplace &search, QWidget *parent) : QDialog(parent), m_search(search)
{
    setObjectName(u"FindDialog"_s);
    setWindowTitle(u"查找"_s);
    setModal(false);

    Label1 = new QLabel(u"查找内容(&N):"_s, this);
    Label1->setObjectName(u"Label1"_s);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(u"Edit1"_s);
    Label1->setBuddy(Edit1);
    CheckBox1 = new QCheckBox(u"区分大小写(&C)"_s, this);
    CheckBox1->setObjectName(u"CheckBox1"_s);
    CheckBox2 = new QCheckBox(u"全字匹配(&W)"_s, this);
    CheckBox2->setObjectName(u"CheckBox2"_s);
    GroupBox1 = new QGroupBox(u"方向"_s, this);
    GroupBox1->setObjectName(u"GroupBox1"_s);
    RadioButton1 = new QRadioButton(u"向上(&U)"_s, GroupBox1);
    RadioButton1->setObjectName(u"RadioButton1"_s);
    RadioButton2 = new QRadioButton(u"向下(&D)"_s, GroupBox1);
    RadioButton2->setObjectName(u"RadioButton2"_s);
    RadioButton2->setChecked(true);
    Button1 = new QPushButton(u"查找下一个(&F)"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button1->setDefault(true);
    Button2 = new QPushButton(u"取消"_s, this);
    Button2->setObjectName(u"Button2"_s);

    auto *direction = new QHBoxLayout(GroupBox1);
    direction->addWidget(RadioButton1);
    direction->addWidget(RadioButton2);
    auto *options = new QVBoxLayout;
    options->addWidget(CheckBox1);
    options->addWidget(CheckBox2);
    options->addStretch();
    auto *layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Edit1, 0, 1, 1, 2);
    layout->addLayout(options, 1, 0, 1, 2);
    layout->addWidget(GroupBox1, 1, 2);
    layout->addWidget(Button1, 0, 3);
    layout->addWidget(Button2, 1, 3, Qt::AlignTop);
    Edit1->setMinimumWidth(200);

    connect(Edit1, &QLineEdit::textChanged, this, &FindDialog::store);
    connect(CheckBox1, &QCheckBox::toggled, this, &FindDialog::store);
    connect(CheckBox2, &QCheckBox::toggled, this, &FindDialog::store);
    connect(Button1, &QPushButton::clicked, this, &FindDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    load();
}

void FindDialog::load()
{
    // A copy: each control set here stores all of them back.
    const SearchState::FindWindow state = m_search.state().find;
    if (Edit1->text() != state.findText)
        Edit1->setText(state.findText);
    CheckBox1->setChecked(state.options.matchCase);
    CheckBox2->setChecked(state.options.wholeWord);
    store();
}

void FindDialog::store()
{
    SearchState::FindWindow &state = m_search.state().find;
    state.findText = Edit1->text();
    state.options = {CheckBox1->isChecked(), CheckBox2->isChecked()};
    // As in the system's find window, there is nothing to find without a text.
    Button1->setEnabled(!state.findText.isEmpty());
}

void FindDialog::Button1Click()
{
    m_search.find();
}

void FindDialog::showEvent(QShowEvent *event)
{
    load();
    Edit1->selectAll();
    Edit1->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
}
