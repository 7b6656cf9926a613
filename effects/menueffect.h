#pragma once

#include "library/effecttokens.h"
#include "setupflow.h"

#include <optional>

class DefinitionFile;
class FileSystem;
class SnippetSink;

// What the menu window's boxes hold when an element reads them.
struct MenuInputs
{
    QString width; // NumEdit1
    QString height; // NumEdit2
    QString parentName; // Edit1
    QString submenuName; // Edit2
    QString link; // Edit3
    QString wanted; // RxSpinEdit1, as shown
};

// The menu effect's own rules on top of the shared flow: parent menus and submenus become rows in the
// order the user adds them, each submenu with its image when the menu has pictures; the size is
// fixed once; the step list brings in the rows, the size, fixed link texts and pieces.
class MenuEffect
{
public:
    // parentMenuNeeded: whether a parent menu must come before the next submenu; one value for all
    // menu windows of a program run.
    MenuEffect(FileSystem &files, const DefinitionFile &definition, bool &parentMenuNeeded);
    // A copy that keeps its parent-menu flag in parentMenuNeeded, so that trying rows on it (as a
    // preview does) leaves the program run's flag alone.
    MenuEffect(const MenuEffect &other, bool &parentMenuNeeded);

    // The shared opening (no images listed when imgfilet is "x"), then the switches mm, lino, txty.
    void open();

    struct Switches
    {
        bool parentMenuButton = true; // mm
        bool countBox = true; // lino
        bool sizeButton = true; // txty
    };
    Switches switches;

    // Submenus are checked against the images unless imgfilet is "x" in any letter case.
    bool checksImages() const;

    enum class SizeResult { Zero, Set };
    SizeResult setSize(const QString &width, const QString &height);
    // "设置" still waits for a size.
    bool sizeWanted() const { return switches.sizeButton && !m_sizeSet; }

    enum class AddResult { EmptyName, NeedsParentMenu, Full, DefinitionMissing, WrongImages, Added };
    AddResult addParentMenu(const QString &name, SnippetSink &rows);
    // A submenu row; a row token "img" without its image raises the list-index error after the
    // row's earlier parts were appended.
    AddResult addSubmenu(const MenuInputs &inputs, SnippetSink &rows);

    enum class ImageCheck { Full, DefinitionMissing, NoImages, Ask };
    ImageCheck beforeAddingImage() const;

    // Walks the step list; rowBuffer is everything the parent menus and submenus have built.
    void assemble(const MenuInputs &inputs, const QString &rowBuffer, SnippetSink &sink) const;

    // The submenu counter as its hidden label shows it.
    QString submenusText() const { return QString::number(m_submenus); }
    bool parentMenuNeeded() const { return m_parentMenuNeeded; }

    const SetupFlow &flow() const { return m_flow; }
    SetupState state;

    static QString zeroSizeMessage();
    static QString emptyParentNameMessage();
    static QString needsParentMenuMessage();
    static QString submenusFullMessage();
    static QString wrongImagesMessage();
    static QString imagesFullMessage();
    static QString sizeWantedMessage();

private:
    std::optional<QString> ruleA(const MenuInputs &inputs, const QString &token) const;
    std::optional<QString> ruleB(const QString &token, int place) const;
    // The fixed text of a token links + j (any letter case) for j in 1..lt; lt is read each time.
    Explained<QString> fixedLink(const QString &token) const;
    QString sizeText(const EffectTokens::Rule &rule, const MenuInputs &inputs) const;

    const DefinitionFile &m_definition;
    SetupFlow m_flow;
    bool &m_parentMenuNeeded;
    bool m_sizeSet = false;
    int m_submenus = 0;
};
