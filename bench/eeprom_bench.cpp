// Prints the host's cost of the EEPROM editor's Read All, Write All (page 16) and Verify of
// the 2048-byte device, per exchange, and of loading and saving its Intel HEX file. The
// window is the real one, inside the main window, over the in-process virtual adapter, with
// the write time and the chip's write cycle at 0, so only host work is timed: the transfers,
// the grid models and views, and the status bar repaints. Each figure is the median of
// several runs, the grids' repaint after the operation included, in CPU time of the program's
// one thread (file figures include the system's share of writing the file).
//
// Then the programming figures, in time modelled by the fake clock (exact, whatever the
// machine): the link at full-speed USB (2 ms an exchange), the chip's write cycle 3 ms, page
// 16. Write All and Verify of the 2048-byte device with write-completion polling and with the
// fixed write time of 10 ms; Write All of an image one byte away from the chip's with
// write-only-changed and polling; and the host's cost of a Verify that finds every byte
// different (the marks in both grids, the box and the count included).

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

#include "bench_support.h"
#include "common/wait.h"
#include "eeprom/SmallEE.h"

using namespace parvex;
using namespace parvex::bench;

namespace {

struct Programming {
    double programVerifyMs = 0;
    double programVerifyFixedMs = 0;
    double rewriteOneByteMs = 0;
    double verifyDiffHostUs = 0;
};

// Modelled milliseconds of body on the fake clock.
double modelledMs(timing::FakeClock& clock, const std::function<void()>& body) {
    const std::uint64_t start = clock.nowMicros();
    body();
    settle();
    return double(clock.nowMicros() - start) / 1000.0;
}

bool programmingFigures(eeprom::TfrmSmallEE& editor, hid::VirtualController& virt,
                        sim::Eeprom24& chip, FilePrompts& prompts, Programming& out) {
    timing::FakeClock clock;
    const timing::ScopedClock scoped(clock);
    virt.setLinkTimeMs(hid::VirtualController::kFullSpeedLinkMs);
    chip.setWriteCycleMs(3);
    editor.findChild<QSpinBox*>(QStringLiteral("spnWriteCycle"))->setValue(10);
    auto* poll = editor.findChild<QCheckBox*>(QStringLiteral("chbPollWrite"));
    auto* changed = editor.findChild<QCheckBox*>(QStringLiteral("chbWriteChanged"));
    const auto fresh = [&](int seed) {
        for (int a = 0; a < editor.image().size(); ++a)
            editor.image().setByte(a, static_cast<std::uint8_t>(a * 31 + seed));
        clock.advanceMicros(100'000);  // the chip is long done with any earlier page
    };
    const auto programVerify = [&] {
        editor.btnWriteClick();
        editor.btnVerifyClick();
    };
    poll->setChecked(true);
    fresh(1);
    out.programVerifyMs = modelledMs(clock, programVerify);
    poll->setChecked(false);
    fresh(2);
    out.programVerifyFixedMs = modelledMs(clock, programVerify);
    const bool programmed = editor.image().bytes().bytes == chip.memory() && prompts.boxes == 0;

    poll->setChecked(true);
    changed->setChecked(true);
    editor.image().setByte(0x3C5, static_cast<std::uint8_t>(chip.memory()[0x3C5] ^ 0x5A));
    clock.advanceMicros(100'000);
    out.rewriteOneByteMs = modelledMs(clock, [&] { editor.btnWriteClick(); });
    const bool rewritten = editor.image().bytes().bytes == chip.memory();
    changed->setChecked(false);

    // Every byte different: the chip holds the complement of the grid.
    for (std::size_t a = 0; a < chip.memory().size(); ++a)
        chip.memory()[a] = static_cast<std::uint8_t>(~editor.image().bytes().bytes[a]);
    const int boxesBefore = prompts.boxes;
    constexpr int kRuns = 11;
    out.verifyDiffHostUs = medianUs(kRuns, [&] { editor.btnVerifyClick(); });
    const bool allMarked = prompts.boxes == boxesBefore + kRuns && editor.image().differs(0) &&
                           editor.image().differs(editor.image().size() - 1);
    prompts.boxes = boxesBefore;
    virt.setLinkTimeMs(0);
    return programmed && rewritten && allMarked;
}

}  // namespace

int main(int argc, char** argv) {
    useOffscreenUnlessSet();
    // The editor keeps its options in the settings; the user's own stay untouched.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    QApplication app(argc, argv);
    sim::DefaultDevices devices;
    Frame frame([&](sim::Bus& bus) {
        devices = sim::addDefaultDevices(bus);
        devices.eeprom->setWriteCycleMs(0);
    });
    FilePrompts& prompts = frame.prompts;
    shell::TfrmMain* main = frame.main.get();
    main->mnuEEPROMClick(2048);
    settle();
    auto* editor = frame.activeChild<eeprom::TfrmSmallEE>();
    if (!editor) {
        std::fprintf(stderr, "no EEPROM editor window\n");
        return 1;
    }
    editor->findChild<QSpinBox*>(QStringLiteral("spnWriteCycle"))->setValue(0);
    editor->findChild<QComboBox*>(QStringLiteral("cmbPageSize"))
        ->setCurrentText(QStringLiteral("16"));
    for (std::size_t i = 0; i < devices.eeprom->memory().size(); ++i)
        devices.eeprom->memory()[i] = static_cast<std::uint8_t>(i * 13 + 7);

    constexpr int kRuns = 31;
    constexpr int kReads = 64;   // 2048 bytes in reads of 32
    constexpr int kPages = 128;  // 2048 bytes in pages of 16
    const double readUs = medianUs(kRuns, [&] { editor->btnReadClick(); });
    const double writeUs = medianUs(kRuns, [&] { editor->btnWriteClick(); });
    const double verifyUs = medianUs(kRuns, [&] { editor->btnVerifyClick(); });
    if (editor->image().bytes().bytes != devices.eeprom->memory() || prompts.boxes != 0) {
        std::fprintf(stderr, "the chip and the grid disagree after the bus operations\n");
        return 1;
    }

    QTemporaryDir dir;
    prompts.path = QDir(dir.path()).filePath(QStringLiteral("image.hex"));
    prompts.filterIndex = 1;
    const double saveUs = medianUs(kRuns, [&] { editor->mnuSaveAsClick(); });
    const double loadUs = medianUs(kRuns, [&] { editor->mnuOpenClick(); });
    if (prompts.boxes != 0) {
        std::fprintf(stderr, "a file operation failed\n");
        return 1;
    }

    std::printf("eeprom.readall.host_us_per_exchange %.1f us\n", readUs / kReads);
    std::printf("eeprom.writeall.host_us_per_exchange %.1f us\n", writeUs / kPages);
    std::printf("eeprom.verify.host_us_per_exchange %.1f us\n", verifyUs / kReads);
    std::printf("eeprom.hex.load_ms %.3f ms\n", loadUs / 1000.0);
    std::printf("eeprom.hex.save_ms %.3f ms\n", saveUs / 1000.0);

    Programming programming;
    if (!programmingFigures(*editor, *frame.virt, *devices.eeprom, prompts, programming)) {
        std::fprintf(stderr, "programming left the chip and the grid apart\n");
        return 1;
    }
    std::printf("eeprom.program_verify_2k.modelled_ms %.1f ms\n", programming.programVerifyMs);
    std::printf("eeprom.program_verify_2k_fixed.modelled_ms %.1f ms\n",
                programming.programVerifyFixedMs);
    std::printf("eeprom.rewrite_one_byte_2k.modelled_ms %.1f ms\n", programming.rewriteOneByteMs);
    std::printf("eeprom.verify_diff.host_ms %.3f ms\n", programming.verifyDiffHostUs / 1000.0);
    return 0;
}
