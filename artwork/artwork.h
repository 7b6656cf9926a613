// Resource paths of the pictures compiled into vellumo_artwork.
#pragma once

#include <QImage>
#include <QString>

namespace vellumo::artwork {

// Number of entries in the image list (:/artwork/icons/00.png ... 43.png).
inline constexpr int kIconCount = 44;

// Image list indices; the names say what each picture shows.
enum Icon : int {
    IconExit = 0,
    IconOpen = 1,
    IconRedo = 2,
    IconSave = 3,
    IconFind = 4,
    IconPrint = 5,
    IconFindReplace = 6,
    IconPrintPreview = 7,
    IconDelete = 8,
    IconAbout = 9,
    IconSkins = 10,
    IconSelectAll = 11,
    IconCopy = 12,
    IconCut = 13,
    IconPaste = 14,
    IconFolder = 15,
    IconHtmlDocument = 16,
    IconImage = 17,
    IconHelp = 18,
    IconRefresh = 19,
    IconUndo = 20,
    IconClear = 21,
    IconSystemSettings = 22,
    IconFont = 23,
    IconBold = 24,
    IconItalic = 25,
    IconUnderline = 26,
    IconSaveAs = 27,
    IconTemplates = 28,
    IconMail = 29,
    IconHomePage = 30,
    IconNewFile = 31,
    IconBack = 32,
    IconForward = 33,
    IconStop = 34,
    IconColour = 35,
    IconCentre = 36,
    IconFavourite = 37,
    IconSourceCode = 38,
    IconPaste2 = 39,
    IconWarning = 40,
    IconAdd = 41,
    IconBrowserPreview = 42,
    IconFullScreen = 43,
};

// QLatin1String converts to QString implicitly even under QT_NO_CAST_FROM_ASCII.
inline constexpr QLatin1String kMainImage(":/artwork/mainimg.jpg"); // 329x257
inline constexpr QLatin1String kStatusImage(":/artwork/statusimg.jpg"); // 352x75
inline constexpr QLatin1String kSplashImage(":/artwork/splash.jpg"); // 346x262
inline constexpr QLatin1String kGlyphSetup(":/artwork/glyph-setup.png"); // 16x16
inline constexpr QLatin1String kGlyphSearch(":/artwork/glyph-search.png"); // 16x16

// ":/artwork/icons/NN.png" for 0 <= index < kIconCount, otherwise empty.
QString iconPath(int index);

// The image list's picture at index, without decoding a file; a null image when out of range.
QImage icon(int index);
enum Glyph : int { GlyphSetup = 0, GlyphSearch = 1 };
QImage glyph(Glyph which);
// The program's icon, 128 x 128, for its windows.
QImage appIcon();

} // namespace vellumo::artwork
