// Arbitrary definition files run through the image, text and menu effects as their windows drive
// them: opening, sizes, rows, submenus, copying the files and assembling the code. Nothing is
// written but into the folder the user chose, nothing else of the folders changes, the assembled
// code is the same when it is run again, and the setup flow's own rules hold on the way.
#include "fuzzcheck.h"
#include "watchedfiles.h"

#include "effects/definitionfile.h"
#include "effects/imageeffect.h"
#include "effects/menueffect.h"
#include "effects/setupflow.h"
#include "effects/snippetsink.h"
#include "effects/texteffect.h"
#include "effects/textpiece.h"
#include "library/effecttokens.h"
#include "library/inicache.h"
#include "library/inidocument.h"
#include "library/linebreaks.h"
#include "platform/vellumoerror.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

const QString Category = u"图片特效"_s;
const QString Effect = u"测试Effect"_s;

// The snippet buffer as the window keeps it, with a fingerprint of every addition.
struct Buffer : SnippetSink
{
    QString text;
    QCryptographicHash additions { QCryptographicHash::Sha1 };

    void appendLine(const QString &line) override
    {
        add("line", line);
        text += line + u"\r\n"_s;
    }
    void appendRaw(const QString &raw) override
    {
        add("raw", raw);
        text += LineBreaks::toCrLf(raw);
    }
    void add(const char *kind, const QString &value)
    {
        additions.addData(kind);
        additions.addData(value.toUtf8());
        additions.addData(QByteArrayView("\0", 1));
    }
};

// What one run did, in a form two runs can be compared by.
struct Record
{
    QCryptographicHash hash { QCryptographicHash::Sha1 };
    void add(const QString &what) { hash.addData((what + QChar(0)).toUtf8()); }
    void add(const QStringList &list) { add(list.join(QChar(1))); }
    void add(int n) { add(QString::number(n)); }
    void add(const Buffer &buffer)
    {
        add(buffer.text);
        hash.addData(buffer.additions.result());
    }
};

QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const VellumoError &e) {
        return u"error: "_s + e.message();
    }
    return {};
}

void checkPiece(const std::optional<QString> &piece, const QString &path)
{
    if (!piece)
        return;
    const QString lines = QString(*piece).remove(u"\r\n"_s);
    FUZZ_CHECK(!lines.contains(u'\r') && !lines.contains(u'\n'),
        "a text piece has a line break that is not CR LF: " + FuzzCheck::shown(path));
    FUZZ_CHECK(piece->isEmpty() || piece->endsWith(u"\r\n"_s),
        "a text piece does not end with CR LF: " + FuzzCheck::shown(path));
}

struct Choices
{
    uint8_t flags = 0;
    uint8_t counts = 0;
    QString text;
    QString font;
    QString token;
    uint32_t number = 0;
    uint8_t colour[3] = {};

    explicit Choices(FuzzInput &input)
    {
        flags = input.byte();
        counts = input.byte();
        for (uint8_t &c : colour)
            c = input.byte();
        for (int i = 0; i < 4; ++i)
            number = number << 8 | input.byte();
        text = input.utf8(12);
        font = input.utf8(12);
        token = input.utf8(16);
    }
};

void runImage(WatchedFiles &files, const DefinitionFile &definition, const Choices &c, const QString &pictures,
    const QString &destination, Record &record)
{
    ImageEffect effect(files, definition);
    record.add(errorOf([&] { effect.open(); }));
    const SetupState &s = effect.state;
    record.add({ s.opened ? u"opened"_s : u"closed"_s, s.imageCount, s.textCount, s.hint, s.status });
    record.add(s.images);
    record.add(s.textFiles);
    record.add(s.sizeCounter);
    // The user adds pictures while the effect wants more, then gives sizes.
    for (int k = 0; k < c.counts % 4; ++k) {
        bool more = false;
        record.add(errorOf([&] { more = SetupFlow::canAddImage(effect.state); }));
        if (!more)
            break;
        effect.state.images.append(pictures + (k % 2 ? u"moon.jpg"_s : u"sun.gif"_s));
    }
    for (int k = 0; k < c.counts / 4 % 4; ++k)
        record.add(int(effect.setSize(k == 1 && (c.flags & 1) ? u"0"_s : u"120"_s, u"80"_s)));
    bool ready = false;
    record.add(errorOf([&] { ready = effect.readyToCopy(); }));
    record.add(int(ready));
    record.add(effect.flow().copyFiles(effect.state, SetupFlow::destinationFolder(destination)));
    Buffer code;
    record.add(errorOf([&] { effect.assemble(code); }));
    record.add(code);
}

void runText(
    WatchedFiles &files, const DefinitionFile &definition, const Choices &c, const QString &destination, Record &record)
{
    TextEffect effect(files, definition);
    record.add(errorOf([&] { effect.open(); }));
    const TextEffect::Switches switches = effect.switches();
    record.add({ effect.state.status, QString::number(switches.colourPicker), QString::number(switches.fontBox),
        QString::number(switches.countBox) });
    const TextInputs inputs { c.text, c.font, TextEffect::colourText(c.colour[0], c.colour[1], c.colour[2]),
        QString::number(c.counts % 3 + 1) };
    Buffer rows;
    for (int k = 0; k < 4; ++k) {
        TextEffect::RowResult result = TextEffect::RowResult::Added;
        record.add(errorOf([&] { result = effect.addRow(inputs, rows); }));
        record.add(int(result));
    }
    record.add(effect.rowsText());
    record.add(rows);
    if (SetupFlow::hasFilesToCopy(effect.state))
        record.add(effect.flow().copyFiles(effect.state, destination + u'/'));
    Buffer code;
    record.add(errorOf([&] { effect.assemble(inputs, rows.text, code); }));
    record.add(code);
}

void runMenu(
    WatchedFiles &files, const DefinitionFile &definition, const Choices &c, const QString &pictures, Record &record)
{
    bool parentMenuNeeded = c.flags & 2;
    MenuEffect effect(files, definition, parentMenuNeeded);
    record.add(errorOf([&] { effect.open(); }));
    record.add({ effect.state.status, QString::number(effect.switches.parentMenuButton),
        QString::number(effect.switches.countBox), QString::number(effect.switches.sizeButton) });
    const MenuInputs inputs { u"200"_s, c.flags & 4 ? u"0"_s : u"30"_s, c.font, c.text, u"b.htm"_s,
        QString::number(c.counts % 4 + 1) };
    record.add(int(effect.setSize(inputs.width, inputs.height)));
    Buffer rows;
    for (int k = 0; k < 5; ++k) {
        if (k == 0 || (c.flags & 8 && k == 3)) {
            MenuEffect::AddResult result = MenuEffect::AddResult::Added;
            record.add(errorOf([&] { result = effect.addParentMenu(inputs.parentName, rows); }));
            record.add(int(result));
        }
        MenuEffect::ImageCheck check = MenuEffect::ImageCheck::Full;
        record.add(errorOf([&] { check = effect.beforeAddingImage(); }));
        if (check == MenuEffect::ImageCheck::Ask)
            effect.state.images.append(pictures + u"sun.gif"_s);
        MenuEffect::AddResult result = MenuEffect::AddResult::Added;
        record.add(errorOf([&] { result = effect.addSubmenu(inputs, rows); }));
        record.add(int(result));
        record.add(effect.submenusText());
    }
    record.add(rows);
    Buffer code;
    record.add(errorOf([&] { effect.assemble(inputs, rows.text, code); }));
    record.add(code);
}

// The numbered tokens: n exactly when the token is the stem followed by n written plainly.
void checkNumberedTokens(const Choices &c)
{
    for (const QString &stem : { u"fno"_s, u"links"_s }) {
        const int n = EffectTokens::numbered(c.token, stem);
        if (n != 0)
            FUZZ_EQUAL(c.token, stem + QString::number(n), "numberedToken of " + FuzzCheck::shown(c.token));
        FUZZ_CHECK(n >= 0, "a negative numbered token");
        const int any = EffectTokens::numbered(c.token, stem, Qt::CaseInsensitive);
        FUZZ_CHECK(any == 0 ? n == 0 : c.token.compare(stem + QString::number(any), Qt::CaseInsensitive) == 0,
            "numberedToken without letter case of " + FuzzCheck::shown(c.token));
        const int wanted = int(c.number & 0x7FFFFFFF);
        if (wanted > 0) {
            FUZZ_EQUAL(QString::number(EffectTokens::numbered(stem + QString::number(wanted), stem)),
                QString::number(wanted), "a plainly written number");
            FUZZ_EQUAL(QString::number(
                           EffectTokens::numbered(stem.toUpper() + QString::number(wanted), stem, Qt::CaseInsensitive)),
                QString::number(wanted), "a plainly written number after the stem in capitals");
        }
    }
}

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(path.left(path.lastIndexOf(u'/')));
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "cannot lay out " + path.toUtf8());
}

QMap<QString, QByteArray> tree(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        QFile file(path);
        files[path] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<folder>");
    }
    return files;
}

QByteArray fingerprint(const QMap<QString, QByteArray> &files)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (auto it = files.begin(); it != files.end(); ++it) {
        hash.addData(it.key().toUtf8());
        hash.addData(it.value());
    }
    return hash.result().toHex();
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const Choices choices(input);
    const QByteArray definitionBytes = input.rest();
    checkNumberedTokens(choices);

    QTemporaryDir root;
    FUZZ_CHECK(root.isValid(), "no temporary folder");
    const QString app = root.path() + u"/app/"_s;
    const QString category = app + Category + u'/';
    const QString pictures = root.path() + u"/pics/"_s;
    const QString destination = root.path() + u"/chosen"_s;
    // The definition file under another letter case than the one asked for, now and then.
    write(category + (choices.flags & 16 ? u"测试EFFECT"_s : Effect), definitionBytes);
    write(category + u"head.txt"_s, "<script>\r\nvar a = 1;\r\n</script>\r\n");
    write(category + u"tail.txt"_s, "last\nline without end");
    write(category + u"end.txt"_s, "\xCE\xB2\xB2\xBF\r\r\n\n");
    write(category + u"first.txt"_s, "");
    write(category + u"show.js"_s, "function show() {}\n");
    write(category + u"m.css"_s, "a { color: red }\r\n");
    write(category + u"badge.gif"_s, "GIF89a\x01\x00\x01\x00");
    QDir().mkpath(category + u"sub.txt"_s);
    write(pictures + u"sun.gif"_s, "GIF89a");
    write(pictures + u"moon.jpg"_s, "\xFF\xD8\xFF");
    write(root.path() + u"/outside/secret.txt"_s, "outside");
    QDir().mkpath(destination);
    const QByteArray before
        = fingerprint(tree(app)) + fingerprint(tree(pictures)) + fingerprint(tree(root.path() + u"/outside"_s));

    WatchedFiles files(destination + u'/');
    const auto run = [&]() {
        Record record;
        const DefinitionFile definition(files, app, Category, Effect);
        record.add(int(definition.exists()));
        runImage(files, definition, choices, pictures, destination, record);
        runText(files, definition, choices, destination, record);
        runMenu(files, definition, choices, pictures, record);
        int pieces = 0;
        record.add(errorOf([&] { pieces = DefinitionFile::number(definition.file(u"ft"_s)); }));
        for (int j = 1; j <= qMin(pieces, 4); ++j)
            checkPiece(TextPiece::load(files, definition.piecePath(j)), definition.piecePath(j));
        record.add(QString::fromLatin1(fingerprint(tree(destination))));
        return record.hash.result().toHex();
    };

    // Once from a cold cache, once more with what the first run left in it, from the same folders.
    IniCache::instance().clear();
    const QByteArray first = run();
    QDir(destination).removeRecursively();
    QDir().mkpath(destination);
    const QByteArray second = run();
    FUZZ_EQUAL(second, first, "a second run of the same effect");
    const QByteArray after
        = fingerprint(tree(app)) + fingerprint(tree(pictures)) + fingerprint(tree(root.path() + u"/outside"_s));
    FUZZ_EQUAL(after, before, "the application folder, the pictures and the folder beside them are unchanged");
    const QStringList rootEntries
        = QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    FUZZ_EQUAL(rootEntries.join(u' '), u"app chosen outside pics"_s, "nothing new beside the folders");
    return 0;
}
