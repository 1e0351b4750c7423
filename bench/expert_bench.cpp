// Prints the host's cost of the expert window's Send All and Send Continuously over 64
// messages (32 writes and 32 reads of the virtual register device, no delays), per message,
// and of loading and saving a 64-message data file. The window is the real one, inside the
// main window, over the in-process virtual adapter: the figures hold the transfers, the
// status bar repaint of every exchange, the Data texts of the reads and their display. Each
// figure is the median of several runs, in CPU time of the program's one thread (file figures
// include the system's share of writing the file).

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "bench_support.h"
#include "expert/Message.h"

namespace {

using namespace parvex;
using namespace parvex::bench;

// 64 messages: each write sets the register pointer and two registers, each read takes 8
// bytes back; the sequence names all 64 in order.
QByteArray dataFile() {
    QByteArray file = "Expert Mode Data File\r\n";
    for (int i = 0; i < 32; ++i) {
        const QString bytes = QStringLiteral("%1,%2,%3")
                                  .arg(i % 60, 2, 16, QLatin1Char('0'))
                                  .arg(i, 2, 16, QLatin1Char('0'))
                                  .arg(255 - i, 2, 16, QLatin1Char('0'))
                                  .toUpper();
        file +=
            QStringLiteral("40,Write,Yes,0,%1,Comments: write %2\r\n").arg(bytes).arg(i).toLatin1();
        file += "41,Read,No,0,FF,FF,FF,FF,FF,FF,FF,FF\r\n";
    }
    file += "Sequence:";
    for (int i = 1; i <= 64; ++i)
        file += (i > 1 ? "," : "") + QByteArray::number(i).rightJustified(2, '0');
    return file + "\r\n";
}

}  // namespace

int main(int argc, char** argv) {
    useOffscreenUnlessSet();
    QApplication app(argc, argv);
    Frame frame([](sim::Bus& bus) { sim::addDefaultDevices(bus); });
    FilePrompts& prompts = frame.prompts;
    hid::VirtualController* virt = frame.virt;
    shell::TfrmMain* main = frame.main.get();
    main->mnuExpertClick();
    settle();
    auto* w = frame.activeChild<expert::TfrmMessage>();
    if (!w) {
        std::fprintf(stderr, "no expert window\n");
        return 1;
    }

    QTemporaryDir dir;
    const QString source = QDir(dir.path()).filePath(QStringLiteral("messages.txt"));
    {
        QFile f(source);
        if (!f.open(QIODevice::WriteOnly) || f.write(dataFile()) < 0) return 1;
    }
    constexpr int kRuns = 31;
    prompts.path = source;
    const double loadUs = medianUs(kRuns, [&] { w->mnuOpenClick(); });
    prompts.path = QDir(dir.path()).filePath(QStringLiteral("saved.txt"));
    const double saveUs = medianUs(kRuns, [&] { w->mnuSaveClick(); });
    if (prompts.boxes != 0 || w->table().rowCount() != 64) {
        std::fprintf(stderr, "the data file did not load or save (%d boxes, %d rows)\n",
                     prompts.boxes, w->table().rowCount());
        return 1;
    }

    constexpr int kMessages = 64;
    const std::size_t before = virt->adapter().outputLog().size();
    const double sendAllUs = medianUs(kRuns, [&] { w->btnSendAllClick(); });
    if (virt->adapter().outputLog().size() - before != std::size_t{kRuns} * kMessages ||
        w->table().row(2).DataString == "FF,FF,FF,FF,FF,FF,FF,FF") {
        std::fprintf(stderr, "Send All did not send every message\n");
        return 1;
    }

    // Send Continuously, stopped by a click that lands in the events of the tenth pass.
    constexpr int kPasses = 10;
    auto* button = w->findChild<QAbstractButton*>(QStringLiteral("btnSendContinuous"));
    const double continuousUs = medianUs(kRuns, [&] {
        int passes = 0;
        std::function<void()> tick = [&] {
            if (++passes < kPasses)
                QTimer::singleShot(0, tick);
            else
                button->click();
        };
        QTimer::singleShot(0, tick);
        button->click();
    });

    std::printf("expert.sendall64.host_us_per_message %.1f us\n", sendAllUs / kMessages);
    std::printf("expert.continuous.host_us_per_message %.1f us\n",
                continuousUs / (kPasses * kMessages));
    std::printf("expert.file.load_ms %.3f ms\n", loadUs / 1000.0);
    std::printf("expert.file.save_ms %.3f ms\n", saveUs / 1000.0);

    w->setTableModified(false);
    return 0;
}
