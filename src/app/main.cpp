// Program start: options, the dark style, the main window over the real or the virtual
// adapter, and the message loop.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QScreen>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/virtual_adapter_window.h"
#include "common/report.h"
#include "hid/hidapi_backend.h"
#include "hid/virtual_backend.h"
#include "shell/Main.h"
#include "shell/style.h"
#include "shell/version.h"
#include "sim/virtual_adapter.h"

namespace {

// docs/parvex.1 says the same; a test holds the two together.
constexpr const char* kUsage =
    "Usage: parvex [option]\n"
    "Host for the Parvex USB I2C adapter.\n"
    "\n"
    "Options:\n"
    "  --virtual-adapter  run on the built-in virtual adapter (an EEPROM and a register\n"
    "                     device on its bus) with a tool window to plug, unplug, stall it\n"
    "                     (now or a number of exchanges ahead), hold bus lines low and\n"
    "                     watch the register device's values\n"
    "  --probe-adapter    look for a Parvex adapter, say what was found and exit with 0\n"
    "                     when one can be used, 3 when one is plugged in but this user\n"
    "                     has no permission to open it, 1 otherwise\n"
    "  --version          print the program's version\n"
    "  --help             print this text\n"
    "\n"
    "Qt's own options (-platform, -style, ...) are accepted as well.\n";

// Looks for the adapter as the program does, opening it to be sure it can be used.
int probeAdapter() {
    parvex::hid::HidapiController controller;
    std::string listed;
    std::string usable;
    controller.enumerate([&](const parvex::hid::DeviceInfo& info, int index) {
        if (info.vendorId == parvex::kAdapterVendorId &&
            info.productId == parvex::kAdapterProductId) {
            listed = info.path;
            if (controller.checkOut(index)) usable = info.path;
        }
        return usable.empty();
    });
    if (!usable.empty()) {
        std::printf("Parvex adapter found at %s.\n", usable.c_str());
        return 0;
    }
    const std::string problem = controller.accessProblem();
    if (!problem.empty()) {
        std::printf("%s\n", problem.c_str());
        return 3;
    }
    if (!listed.empty()) {
        std::printf("A Parvex adapter is plugged in (%s) but cannot be opened.\n",
                    listed.c_str());
    } else {
        std::printf("No Parvex adapter is plugged in.\n");
    }
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    bool virtualAdapter = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(arg, "--version") == 0) {
            const QByteArray version = parvex::shell::programFileVersion().toUtf8();
            std::printf("Parvex %s\n",
                        version.isEmpty() ? "(no version information)" : version.constData());
            return 0;
        }
        if (std::strcmp(arg, "--probe-adapter") == 0) return probeAdapter();
        if (std::strcmp(arg, "--virtual-adapter") == 0) {
            virtualAdapter = true;
            continue;
        }
        if (std::strncmp(arg, "--", 2) == 0) {
            std::fprintf(stderr, "parvex: unknown option %s\n\n%s", arg, kUsage);
            return 2;
        }
        // Anything else is left to Qt (-platform offscreen and the like).
    }

    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Parvex"));
    parvex::shell::applyDarkStyle(app);

    std::unique_ptr<parvex::hid::Controller> controller;
    parvex::hid::VirtualController* virtualController = nullptr;
    if (virtualAdapter) {
        auto v = std::make_unique<parvex::hid::VirtualController>();
        parvex::sim::addDefaultDevices(v->adapter().bus());
        v->plug();
        virtualController = v.get();
        controller = std::move(v);
    } else {
        controller = std::make_unique<parvex::hid::HidapiController>();
    }

    parvex::shell::TfrmMain frmMain(std::move(controller));
    frmMain.keepSession();
    frmMain.show();
    // Every bus operation runs inside one event handler, so the event loop running dry marks
    // the end of a user action: an adapter the link gave up on may be tried again.
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &frmMain, [&frmMain] { frmMain.link().newUserAction(); });

    if (virtualController) {
        // A tool window of the main one: it stays beside it and does not keep the program
        // running once the main window has closed.
        auto* tool = new parvex::app::VirtualAdapterWindow(*virtualController, &frmMain);
        // Beside the main window, on whichever side has room for it.
        const QRect frame = frmMain.frameGeometry();
        const QRect screen = frmMain.screen()->availableGeometry();
        const QSize size = tool->frameGeometry().size();
        const int left = frame.left() - size.width() - 8;
        QPoint at =
            left >= screen.left() ? QPoint(left, frame.top()) : frame.topRight() + QPoint(8, 0);
        // Where neither side has room it overlaps the main window rather than leave the screen.
        at.setX(std::clamp(at.x(), screen.left(),
                           std::max(screen.left(), screen.right() - size.width())));
        at.setY(std::clamp(at.y(), screen.top(),
                           std::max(screen.top(), screen.bottom() - size.height())));
        tool->move(at);
        tool->show();
    }
    return app.exec();
}
