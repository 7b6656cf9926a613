#pragma once

#include "setupflow.h"

#include <QString>
#include <QStringList>

class FileSystem;
class ImageEffect;
class MenuEffect;
class TextEffect;
struct MenuInputs;
struct TextInputs;

// What a preview shows: the code as the clipboard would carry it, and the files it refers to.
struct PreviewContent
{
    QString code;
    QList<SetupFlow::FileToCopy> files;
    // Sample pictures, sizes or entries stand where the user has given none yet.
    bool samples = false;
};

// Assembles an effect for its preview as its window would assemble it now, on a copy of the window's
// effect: what the user is typing counts as added, the library's sample pictures and entries stand in
// for what is still missing, and the window's own lists, counters and buffers stay as they are. A
// run-time error of the definition file is raised as the copy action would raise it.
class PreviewAssembly
{
public:
    // samplePictures: full paths, used in turn.
    explicit PreviewAssembly(QStringList samplePictures);

    // The pictures of the library's sample folder that exist.
    static QStringList samplePictures(FileSystem &files, const QString &applicationFolder);

    // width, height: the size boxes, counted for the next picture without a size.
    PreviewContent image(const ImageEffect &effect, const QString &width, const QString &height) const;
    // inputs: the boxes; a parent menu or submenu named in them counts as added.
    PreviewContent menu(const MenuEffect &effect, const MenuInputs &inputs, const QString &rowBuffer) const;
    // inputs: the boxes; the text in them counts as one more row.
    PreviewContent text(const TextEffect &effect, const TextInputs &inputs, const QString &rowBuffer) const;
    // The effect as its window would show it on opening, before the user changes anything; a
    // simple-copy effect as its stored code. Kinds without code give none.
    PreviewContent defaults(
        FileSystem &files, const QString &applicationFolder, const QString &category, const QString &effect) const;

    // The size a picture without one is shown in.
    static QString sampleWidth();
    static QString sampleHeight();
    // The window's first texts, as its boxes show them when it opens.
    static MenuInputs openingMenuInputs();
    static TextInputs openingTextInputs();

private:
    QString samplePicture(int index) const;

    QStringList m_samplePictures;
};
