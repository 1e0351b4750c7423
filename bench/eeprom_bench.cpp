// Prints the host's cost of the EEPROM editor's Read All, Write All (page 16) and Verify of
// the 2048-byte device, per exchange, and of loading and saving its Intel HEX file. The
// window is the real one, inside the main window, over the in-process virtual adapter, with
// the write time and the chip's write cycle at 0, so only host work is timed: the transfers,
// the grid models and views, and the status bar repaints. Each figure is the median of
// several runs, the grids' repaint after the operation included, in CPU time of the program's
// one thread (file figures include the system's share of writing the file).

#include <QComboBox>
#include <QDir>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

#include "bench_support.h"
#include "eeprom/SmallEE.h"

using namespace parvex;
using namespace parvex::bench;

int main(int argc, char** argv) {
    useOffscreenUnlessSet();
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
    return 0;
}
