// Prints the host's cost of the user-definable device window: Read All and Write All of a
// 256-register device per exchange, one slider step (cell, caption line, exchange and the
// repaint that follows), and opening and saving a 256-register definition file. The window
// is the real one, inside the main window, over the in-process virtual adapter. Each figure
// is the median of several runs in CPU time of the program's one thread (file figures
// include the system's share of writing the file).

#include <QApplication>
#include <QDir>
#include <QSlider>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#include "device/Longi2c.h"
#include "device/RegisterControl.h"
#include "device/Slider.h"
#include "hid/virtual_backend.h"
#include "shell/Main.h"
#include "sim/register_device.h"
#include "sim/virtual_adapter.h"
#include "ui/prompts.h"

namespace {

using namespace parvex;

// Answers every file dialog with one file and counts the boxes.
class FilePrompts final : public ui::Prompts {
public:
    QString path;
    int boxes = 0;
    void information(const QString&) override { ++boxes; }
    void warning(const QString&) override { ++boxes; }
    void error(const QString&) override { ++boxes; }
    ui::Answer question(const QString&, int) override { return ui::Answer::No; }
    ui::FileChoice openFile(const ui::FileDialogRequest&) override { return {true, path, 1}; }
    ui::FileChoice saveFile(const ui::FileDialogRequest&) override { return {true, path, 1}; }
    bool print(QPrinter&) override { return false; }
};

void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

double threadMicros() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e6 + double(ts.tv_nsec) / 1e3;
}

double medianUs(int runs, const std::function<void(int)>& body) {
    std::vector<double> us;
    for (int r = 0; r < runs; ++r) {
        const double start = threadMicros();
        body(r);
        settle();
        us.push_back(threadMicros() - start);
    }
    std::nth_element(us.begin(), us.begin() + runs / 2, us.end());
    return us[static_cast<std::size_t>(runs / 2)];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FilePrompts prompts;
    ui::setPrompts(&prompts);

    auto controller = std::make_unique<hid::VirtualController>();
    hid::VirtualController* virt = controller.get();
    auto chip = std::make_shared<sim::RegisterDevice>(0x40, 256);
    virt->adapter().bus().attach(chip);
    virt->plug();
    auto main = std::make_unique<shell::TfrmMain>(std::move(controller));
    main->show();
    settle();
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

    ui::setPrompts(nullptr);
    main->closeAllChildren();
    settle();
    return 0;
}
