#pragma once
// What every window benchmark stands on: the real main window over the in-process virtual
// adapter, prompts that answer without a box, and a median of CPU-time runs.

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "hid/virtual_backend.h"
#include "shell/Main.h"
#include "sim/virtual_adapter.h"
#include "ui/prompts.h"

namespace parvex::bench {

// Answers every file dialog with one file, every question No, and counts the boxes.
class FilePrompts final : public ui::Prompts {
public:
    QString path;
    int filterIndex = 1;
    int boxes = 0;
    void information(const QString&) override { ++boxes; }
    void warning(const QString&) override { ++boxes; }
    void error(const QString&) override { ++boxes; }
    ui::Answer question(const QString&, int) override { return ui::Answer::No; }
    ui::FileChoice openFile(const ui::FileDialogRequest&) override {
        return {true, path, filterIndex};
    }
    ui::FileChoice saveFile(const ui::FileDialogRequest&) override {
        return {true, path, filterIndex};
    }
    bool print(QPrinter&) override { return false; }
};

// Before the QApplication: the benchmarks draw into memory unless told otherwise.
inline void useOffscreenUnlessSet() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

inline void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// CPU time of this thread: the other programs on a busy machine do not count.
inline double threadMicros() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e6 + double(ts.tv_nsec) / 1e3;
}

// Median of `runs` timings of `body` (given the run's number), the repaint that follows it
// included, in microseconds of this thread's CPU time.
inline double medianUs(int runs, const std::function<void(int)>& body) {
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

inline double medianUs(int runs, const std::function<void()>& body) {
    return medianUs(runs, std::function<void(int)>([&body](int) { body(); }));
}

// The main window at the size it opens with (a larger one shows, and repaints, more cells),
// over a plugged-in virtual adapter whose bus `attach` has filled, answering with `prompts`.
class Frame {
public:
    explicit Frame(const std::function<void(sim::Bus&)>& attach) {
        ui::setPrompts(&prompts);
        auto controller = std::make_unique<hid::VirtualController>();
        virt = controller.get();
        attach(virt->adapter().bus());
        virt->plug();
        main = std::make_unique<shell::TfrmMain>(std::move(controller));
        main->show();
        settle();
    }
    ~Frame() {
        ui::setPrompts(nullptr);
        main->closeAllChildren();
        settle();
    }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    // The child window in front, when it is of the kind asked for.
    template <class Window>
    Window* activeChild() const {
        QMdiSubWindow* sub = main->mdiArea()->activeSubWindow();
        return sub ? qobject_cast<Window*>(sub->widget()) : nullptr;
    }

    FilePrompts prompts;
    hid::VirtualController* virt = nullptr;
    std::unique_ptr<shell::TfrmMain> main;
};

}  // namespace parvex::bench
