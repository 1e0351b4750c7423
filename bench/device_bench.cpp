// Prints the host's cost of the user-definable device window: Read All and Write All of a
// 256-register device per exchange, one slider step (cell, caption line, exchange and the
// repaint that follows), and opening and saving a 256-register definition file. The window
// is the real one, inside the main window, over the in-process virtual adapter. Each figure
// is the median of several runs in CPU time of the program's one thread (file figures
// include the system's share of writing the file).

#include <QDir>
#include <QSlider>
#include <QTemporaryDir>
#include <cstdio>

#include "bench_support.h"
#include "device/Longi2c.h"
#include "device/RegisterControl.h"
#include "device/Slider.h"
#include "sim/register_device.h"

using namespace parvex;
using namespace parvex::bench;

int main(int argc, char** argv) {
    useOffscreenUnlessSet();
    QApplication app(argc, argv);
    auto chip = std::make_shared<sim::RegisterDevice>(0x40, 256);
    Frame frame([&](sim::Bus& bus) { bus.attach(chip); });
    FilePrompts& prompts = frame.prompts;
    shell::TfrmMain* main = frame.main.get();
    main->mnuUserDefinedClick();
    settle();
    device::TfrmLongI2C* w = main->userDefinedWindow();
    if (!w) {
        std::fprintf(stderr, "no device window\n");
        return 1;
    }
    QList<QString> descriptions;
    for (int i = 0; i < 256; ++i) descriptions << QStringLiteral("Register %1").arg(i);
    w->applyDefinition({QStringLiteral("Bench"), QStringLiteral("40"), 256, descriptions, {}});
    for (std::size_t i = 0; i < 256; ++i) chip->registers()[i] = static_cast<std::uint8_t>(i * 7);

    constexpr int kRuns = 31;
    constexpr int kExchanges = 8;  // 256 registers in transfers of 32
    const double readUs = medianUs(kRuns, [&](int) { w->btnReadClick(); });
    const double writeUs = medianUs(kRuns, [&](int) { w->btnWriteClick(); });
    if (w->cellText(255) != QStringLiteral("F9") || prompts.boxes != 0) {
        std::fprintf(stderr, "the chip and the grid disagree after the bus operations\n");
        return 1;
    }

    w->selectRegister(5);
    w->CreatefrmSliderClick();
    settle();
    auto* slider = qobject_cast<device::TfrmSlider*>(w->controlWindows().value(0));
    if (!slider) {
        std::fprintf(stderr, "no slider window\n");
        return 1;
    }
    constexpr int kSteps = 200;
    const double sliderUs = medianUs(kRuns, [&](int run) {
        for (int i = 0; i < kSteps; ++i) {
            slider->Slider->setValue((run * kSteps + i) % 256);
            settle();
        }
    });
    if (!slider->autoWrite() || chip->registers()[5] != slider->Slider->value()) {
        std::fprintf(stderr, "the slider did not reach the chip\n");
        return 1;
    }

    QTemporaryDir dir;
    prompts.path = QDir(dir.path()).filePath(QStringLiteral("bench.def"));
    const double saveUs = medianUs(kRuns, [&](int) { w->mnuSaveAsClick(); });
    const double loadUs = medianUs(kRuns, [&](int) { w->mnuLoadClick(); });
    if (prompts.boxes != 0 || w->device().MaxRegister != 255) {
        std::fprintf(stderr, "a file operation failed\n");
        return 1;
    }

    std::printf("device.readall256.host_us_per_exchange %.1f us\n", readUs / kExchanges);
    std::printf("device.writeall256.host_us_per_exchange %.1f us\n", writeUs / kExchanges);
    std::printf("device.slider.host_us_per_write %.1f us\n", sliderUs / kSteps);
    std::printf("device.def.load_ms %.3f ms\n", loadUs / 1000.0);
    std::printf("device.def.save_ms %.3f ms\n", saveUs / 1000.0);
    return 0;
}
