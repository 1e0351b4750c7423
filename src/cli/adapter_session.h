#pragma once
// Finding and claiming an adapter for one run of the command-line tool: the real HID layer
// or a bench of virtual adapters, the adapter chosen by serial number, and the virtual
// adapters' bus contents kept between runs in a state file.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "adapter/adapter_link.h"
#include "adapter/journal.h"
#include "cli/output.h"
#include "hid/hid.h"

namespace parvex::cli {

struct SessionOptions {
    bool virtualAdapter = false;
    int virtualCount = 1;  // adapters the virtual bench presents (serials 12345, 12346, ...)
    std::optional<std::string> virtualState;
    std::optional<std::uint16_t> serial;
    std::size_t journalCapacity = 0;  // 0: no journal
    // The virtual adapter is pulled out during this exchange (counted from the first).
    std::optional<unsigned> virtualPullAt;
    // The virtual adapters' bus lines: 3 idle, 0 both low, 1 SDA low, 2 SCL low.
    std::uint8_t virtualLines = 3;
};

// One adapter as `info --all` lists it.
struct AdapterSummary {
    std::string path;
    std::uint16_t serial = 0;
    std::string firmwareRev;
    bool answered = false;
};

// Sinks of the link: the last status text, and bus-line messages kept for the caller.
class LinkObserver final : public adapter::StatusSink, public adapter::AdapterListener {
public:
    // The removal sequence empties the panel; the text of the exchange that failed is the
    // one worth telling.
    void showStatus(const std::string& markup) override {
        if (!stripMarkup(markup).empty()) lastStatus = markup;
    }
    void setOptionsMenuEnabled(bool) override {}
    void setStatusBarEnabled(bool) override {}
    void setHardwarePanel(const std::string&) override {}
    void setFrequencyPanel(const std::string&) override {}
    void showBusLineMessage(const std::string& text) override { busLineMessages.push_back(text); }
    void repaintStatusBar() override {}

    std::string lastStatus;
    std::vector<std::string> busLineMessages;
};

class Session {
public:
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    struct Opened {
        std::unique_ptr<Session> session;
        std::string error;
        int exitCode = 0;  // 1: no adapter (or none with the serial), 2: a file error
    };
    // Claims the adapter the options ask for; with `claim` false only the backend is set up
    // (for listing).
    static Opened open(const SessionOptions& options, bool claim);

    // Every adapter present, each claimed in turn for its identity.
    std::vector<AdapterSummary> listAdapters();

    adapter::AdapterLink& link() { return *link_; }
    LinkObserver& observer() { return observer_; }
    adapter::Journal* journal() { return journal_.get(); }

    // Writes the claimed virtual adapter's bus contents back to the state file, if any.
    [[nodiscard]] std::optional<std::string> saveVirtualState();

    struct Bench;

private:
    Session() = default;
    bool claim(const SessionOptions& options);

    std::unique_ptr<Bench> bench_;
    std::unique_ptr<hid::Controller> backend_;
    std::unique_ptr<hid::Controller> chosen_;
    LinkObserver observer_;
    std::unique_ptr<adapter::Journal> journal_;
    std::unique_ptr<adapter::AdapterLink> link_;
    std::optional<std::string> statePath_;
};

// The paths of the Parvex adapters a controller lists, in list order.
std::vector<std::string> adapterPaths(hid::Controller& controller);

// A controller that shows only the device of one path of another controller.
std::unique_ptr<hid::Controller> onlyDevice(hid::Controller& inner, std::string path);

}  // namespace parvex::cli
