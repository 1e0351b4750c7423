// Open and Save As: dialogs, formats chosen by the filter, captions and Modified.

#include <QFile>
#include <QTemporaryDir>

#include "gui/eeprom/editor_fixture.h"

namespace parvex::test {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class Files : public EditorTest {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // A hand edit, so that Modified is set.
    static void editByHand(eeprom::TfrmSmallEE& w, int row, int column, const char* digits) {
        clickCell(ctl(w).stgMemory, row, column);
        typeKeys(QString::fromLatin1(digits));
    }
    QTemporaryDir dir;
};

TEST_F(Files, HexSaveAndOpenRoundTrip) {
    eeprom::TfrmSmallEE* w = host.openEditor(256);
    editByHand(*w, 1, 0, "55");
    ASSERT_TRUE(w->Modified());

    prompts.chooseFile(path("image.hex"), 1);
    ctl(w).mnuSaveAs->trigger();

    ASSERT_EQ(prompts.events.size(), 1u);
    const ui::FileDialogRequest& save = prompts.events[0].request;
    EXPECT_EQ(save.title, "Save EEPROM Data As");
    EXPECT_EQ(save.filter, "hex files (*.hex)|*.hex|bin files (*.bin)|*.bin");
    // The default extension follows the type chosen, HEX at first.
    EXPECT_EQ(save.defaultSuffix, "hex");
    EXPECT_TRUE(save.suffixFollowsFilter);
    EXPECT_TRUE(save.confirmOverwrite);
    EXPECT_EQ(readAll(path("image.hex")),
              ":1000100055FFFFFFFFFFFFFFFFFFFFFFFFFFFFFF9A\r\n:00000001FF\r\n");
    EXPECT_EQ(w->windowTitle(), path("image.hex"));
    EXPECT_FALSE(w->Modified());

    // Into a fresh window of the same size.
    eeprom::TfrmSmallEE* other = host.openEditor(256);
    prompts.chooseFile(path("image.hex"), 1);
    ctl(other).mnuOpen->trigger();
    const ui::FileDialogRequest& open = prompts.events.back().request;
    EXPECT_EQ(open.title, "Open EEPROM File");
    EXPECT_EQ(open.defaultSuffix, "hex");
    EXPECT_TRUE(open.mustExist);
    EXPECT_EQ(hexCell(*other, 0x10), "55");
    EXPECT_EQ(asciiCell(*other, 0x10), "U");
    EXPECT_EQ(hexCell(*other, 0x11), "FF");
    EXPECT_EQ(other->windowTitle(), path("image.hex"));
    EXPECT_FALSE(other->Modified());

    // A later Save As proposes the file and the format used last.
    prompts.cancelFile();
    ctl(w).mnuSaveAs->trigger();
    EXPECT_EQ(prompts.events.back().request.defaultSuffix, "hex");
    EXPECT_EQ(prompts.events.back().request.fileName, path("image.hex"));
}

TEST_F(Files, BinaryFollowsTheFilterNotTheExtension) {
    eeprom::TfrmSmallEE* w = host.openEditor(256);
    std::vector<std::uint8_t> bytes(256);
    for (int i = 0; i < 256; ++i) bytes[std::size_t(i)] = std::uint8_t(255 - i);
    w->image().setBytes(0, bytes);
    writeFile(path("data.hex"), QByteArray(2048, 'x'));  // an older, bigger file

    prompts.chooseFile(path("data.hex"), 2);
    ctl(w).mnuSaveAs->trigger();
    const QByteArray saved = readAll(path("data.hex"));
    ASSERT_EQ(saved.size(), 256);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(bytes.data()), 256), saved);

    eeprom::TfrmSmallEE* other = host.openEditor(256);
    prompts.chooseFile(path("data.hex"), 2);
    ctl(other).mnuOpen->trigger();
    EXPECT_EQ(hexCell(*other, 0), "FF");
    EXPECT_EQ(hexCell(*other, 0xBE), "41");
    EXPECT_EQ(asciiCell(*other, 0xBE), "A");
    prompts.cancelFile();
    ctl(other).mnuOpen->trigger();
    EXPECT_EQ(prompts.events.back().request.defaultSuffix, "bin");
}

TEST_F(Files, ShortBinaryShowsWholeRowsThenTheError) {
    eeprom::TfrmSmallEE* w = host.openEditor(256);
    const QString caption = w->windowTitle();
    writeFile(path("short.bin"), QByteArray(100, 'B'));
    editByHand(*w, 6, 0, "77");
    prompts.chooseFile(path("short.bin"), 2);
    ctl(w).mnuOpen->trigger();
    EXPECT_EQ(prompts.texts(), QStringList{"Read beyond end of file"});
    EXPECT_EQ(hexCell(*w, 95), "42");
    EXPECT_EQ(hexCell(*w, 96), "77");  // row 6 keeps what it held
    EXPECT_EQ(w->windowTitle(), caption);
    EXPECT_TRUE(w->Modified()) << "a failed open keeps the save question";
}

TEST_F(Files, FailedOpensSayWhyAndKeepImageCaptionAndModified) {
    eeprom::TfrmSmallEE* w = host.openEditor(1024);
    editByHand(*w, 0, 0, "11");
    const QString caption = w->windowTitle();
    writeFile(path("big.hex"), ":1007F00041414141414141414141414141414141E9\r\n:00000001FF\r\n");
    writeFile(path("notes.hex"), ":0100010022\r\n\r\n; made by hand\r\n");
    writeFile(path("bad.hex"), ":0100010022\r\n:01000000ZZ\r\n");
    const struct {
        const char* file;
        ScriptedPrompts::Kind box;
        QString text;
    } cases[] = {
        {"big.hex", ScriptedPrompts::Kind::Warning,
         "\"" + path("big.hex") + "\" line 1 holds data beyond address 0x3FF; nothing was loaded."},
        {"notes.hex", ScriptedPrompts::Kind::Warning,
         "\"" + path("notes.hex") + "\" line 3 is not an Intel HEX record; nothing was loaded."},
        {"bad.hex", ScriptedPrompts::Kind::Error,
         "\"" + path("bad.hex") + "\" line 2: 'ZZ' is not a valid hexadecimal value."},
        {"missing.hex", ScriptedPrompts::Kind::Error, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        prompts.clear();
        prompts.chooseFile(path(c.file));
        ctl(w).mnuOpen->trigger();
        ASSERT_EQ(prompts.events.size(), 2u);  // the dialog, then the box
        EXPECT_EQ(prompts.events[1].kind, c.box);
        if (c.text.isEmpty())
            EXPECT_TRUE(
                prompts.events[1].text.startsWith("Cannot read \"" + path(c.file) + "\": "));
        else
            EXPECT_EQ(prompts.events[1].text, c.text);
        EXPECT_EQ(hexCell(*w, 0), "11");
        EXPECT_EQ(hexCell(*w, 1), "FF");
        EXPECT_EQ(w->windowTitle(), caption);
        EXPECT_TRUE(w->Modified());
    }

    // A valid file ending in blank lines loads.
    writeFile(path("good.hex"), ":0100010022\r\n:00000001FF\r\n\r\n \r\n");
    prompts.clear();
    prompts.chooseFile(path("good.hex"));
    ctl(w).mnuOpen->trigger();
    EXPECT_EQ(prompts.texts(), QStringList{});
    EXPECT_EQ(hexCell(*w, 0), "FF");
    EXPECT_EQ(hexCell(*w, 1), "22");
    EXPECT_EQ(w->windowTitle(), path("good.hex"));
    EXPECT_FALSE(w->Modified());
}

TEST_F(Files, DialogExtensionsFollowTheTypeChosen) {
    eeprom::TfrmSmallEE* w = host.openEditor(16);
    const struct {
        int filter;
        const char* suffix;
    } choices[] = {{2, "bin"}, {1, "hex"}, {2, "bin"}};
    for (const auto& c : choices) {
        prompts.chooseFile(path("image"), c.filter);
        ctl(w).mnuSaveAs->trigger();
        prompts.cancelFile();
        ctl(w).mnuSaveAs->trigger();
        EXPECT_EQ(prompts.events.back().request.defaultSuffix, c.suffix) << c.filter;
        EXPECT_EQ(prompts.events.back().request.filterIndex, c.filter);
    }
    // In the dialog itself, choosing a type brings its extension.
    EXPECT_EQ(ui::filterSuffix("hex files (*.hex)"), "hex");
    EXPECT_EQ(ui::filterSuffix("bin files (*.bin)"), "bin");
    EXPECT_EQ(ui::filterSuffix("all files (*)"), "");
    EXPECT_EQ(ui::filterSuffix("images (*.png *.jpg)"), "");
}

TEST_F(Files, FailedSaveKeepsThePreviousFileAndTheQuestion) {
    eeprom::TfrmSmallEE* w = host.openEditor(16);
    editByHand(*w, 0, 0, "12");
    const QString target = path("locked/image.hex");  // its folder does not exist
    prompts.chooseFile(target);
    ctl(w).mnuSaveAs->trigger();
    ASSERT_EQ(prompts.texts().size(), 1);
    EXPECT_TRUE(prompts.texts()[0].startsWith("Cannot write \"" + target + "\": "));
    EXPECT_TRUE(w->Modified());
    EXPECT_EQ(w->windowTitle(), "16 Byte (128 bit) EEPROM");

    // A cell that cannot be converted stops the save before an existing file is touched.
    writeFile(path("keep.bin"), "old");
    w->image().setHexText(3, "ZZ");
    prompts.clear();
    prompts.chooseFile(path("keep.bin"), 2);
    ctl(w).mnuSaveAs->trigger();
    EXPECT_EQ(prompts.texts(), QStringList{"'ZZ' is not a valid hexadecimal value."});
    EXPECT_EQ(readAll(path("keep.bin")), "old");
    EXPECT_TRUE(w->Modified());
}

TEST_F(Files, CancelledDialogsChangeNothing) {
    eeprom::TfrmSmallEE* w = host.openEditor(128);
    editByHand(*w, 0, 0, "12");
    prompts.cancelFile();
    ctl(w).mnuOpen->trigger();
    prompts.cancelFile();
    ctl(w).mnuSaveAs->trigger();
    EXPECT_TRUE(w->Modified());
    EXPECT_EQ(hexCell(*w, 0), "12");
    EXPECT_EQ(w->windowTitle(), "128 Byte (1024 bit) RAM / FRAM");
}

}  // namespace
}  // namespace parvex::test
