#include "cli/adapter_session.h"

#include <filesystem>

#include "cli/virtual_state.h"
#include "common/file_io.h"
#include "hid/hidapi_backend.h"
#include "hid/virtual_backend.h"
#include "sim/virtual_adapter.h"

namespace parvex::cli {

namespace {

bool isAdapter(const hid::DeviceInfo& info) {
    return info.vendorId == kAdapterVendorId && info.productId == kAdapterProductId;
}

// Several virtual adapters shown as one list, each under a path of its own.
class BenchController final : public hid::Controller {
public:
    explicit BenchController(std::vector<hid::VirtualController*> adapters)
        : adapters_(std::move(adapters)) {}

    void enumerate(const std::function<bool(const hid::DeviceInfo&, int)>& callback) override {
        listed_.clear();
        for (std::size_t k = 0; k < adapters_.size(); ++k) {
            adapters_[k]->enumerate([&](const hid::DeviceInfo& info, int index) {
                hid::DeviceInfo renamed = info;
                if (isAdapter(info)) renamed.path = "virtual:" + std::to_string(k);
                listed_.push_back({renamed, k, index});
                return true;
            });
        }
        for (std::size_t i = 0; i < listed_.size(); ++i) {
            if (!callback(listed_[i].info, static_cast<int>(i))) break;
        }
    }
    std::unique_ptr<hid::Device> checkOut(int index) override {
        if (index < 0 || static_cast<std::size_t>(index) >= listed_.size()) return nullptr;
        const Entry& e = listed_[static_cast<std::size_t>(index)];
        return adapters_[e.adapter]->checkOut(e.innerIndex);
    }
    void setChangeHandler(std::function<void()> handler) override {
        for (auto* a : adapters_) a->setChangeHandler(handler);
    }
    int noticeDescriptor() const override { return -1; }
    void processNotices() override {}

private:
    struct Entry {
        hid::DeviceInfo info;
        std::size_t adapter;
        int innerIndex;
    };
    std::vector<hid::VirtualController*> adapters_;
    std::vector<Entry> listed_;
};

class OnlyDevice final : public hid::Controller {
public:
    OnlyDevice(hid::Controller& inner, std::string path) : inner_(inner), path_(std::move(path)) {}

    void enumerate(const std::function<bool(const hid::DeviceInfo&, int)>& callback) override {
        innerIndex_ = -1;
        hid::DeviceInfo found;
        inner_.enumerate([&](const hid::DeviceInfo& info, int index) {
            if (info.path != path_) return true;
            found = info;
            innerIndex_ = index;
            return false;
        });
        if (innerIndex_ >= 0) callback(found, 0);
    }
    std::unique_ptr<hid::Device> checkOut(int index) override {
        if (index != 0 || innerIndex_ < 0) return nullptr;
        return inner_.checkOut(innerIndex_);
    }
    void setChangeHandler(std::function<void()> handler) override {
        inner_.setChangeHandler(std::move(handler));
    }
    int noticeDescriptor() const override { return inner_.noticeDescriptor(); }
    void processNotices() override { inner_.processNotices(); }

private:
    hid::Controller& inner_;
    std::string path_;
    int innerIndex_ = -1;
};

}  // namespace

struct Session::Bench {
    std::vector<std::unique_ptr<hid::VirtualController>> adapters;
    std::vector<sim::DefaultDevices> devices;
};

std::vector<std::string> adapterPaths(hid::Controller& controller) {
    std::vector<std::string> paths;
    controller.enumerate([&](const hid::DeviceInfo& info, int) {
        if (isAdapter(info)) paths.push_back(info.path);
        return true;
    });
    return paths;
}

std::unique_ptr<hid::Controller> onlyDevice(hid::Controller& inner, std::string path) {
    return std::make_unique<OnlyDevice>(inner, std::move(path));
}

Session::~Session() {
    // No notice may reach a link that is gone; the link lets its device go before the
    // controllers it came from.
    if (chosen_) chosen_->setChangeHandler(nullptr);
    link_.reset();
    chosen_.reset();
    backend_.reset();
    bench_.reset();
}

Session::Opened Session::open(const SessionOptions& options, bool claim) {
    std::unique_ptr<Session> s(new Session());
    s->statePath_ = options.virtualState;
    if (options.virtualAdapter) {
        std::optional<VirtualState> state;
        std::error_code ec;
        // A state file that does not exist yet stands for a fresh bench.
        if (options.virtualState && std::filesystem::exists(*options.virtualState, ec)) {
            const files::FileContents file =
                files::readWholeFile(*options.virtualState, kStateFileBytes);
            if (file.error) return {nullptr, *file.error, 2};
            VirtualStateRead read = parseVirtualState(file.bytes);
            if (!read.state) {
                return {nullptr, "\"" + *options.virtualState + "\": " + read.error, 2};
            }
            state = std::move(read.state);
        }
        s->bench_ = std::make_unique<Bench>();
        std::vector<hid::VirtualController*> raw;
        for (int k = 0; k < options.virtualCount; ++k) {
            auto v = std::make_unique<hid::VirtualController>();
            sim::DefaultDevices devices = sim::addDefaultDevices(v->adapter().bus());
            if (state) {
                devices.eeprom->memory() = state->eeprom;
                devices.registers->registers() = state->registers;
            }
            v->adapter().setSerialNumber(
                static_cast<std::uint16_t>(sim::VirtualAdapter::kDefaultSerialNumber + k));
            const sim::Lines lines[] = {sim::Lines::BothLow, sim::Lines::SdaLow, sim::Lines::SclLow,
                                        sim::Lines::High};
            v->adapter().setLines(lines[options.virtualLines & 3]);
            v->plug();
            raw.push_back(v.get());
            s->bench_->adapters.push_back(std::move(v));
            s->bench_->devices.push_back(std::move(devices));
        }
        s->backend_ = std::make_unique<BenchController>(raw);
    } else {
        s->backend_ = std::make_unique<hid::HidapiController>();
    }
    if (options.journalCapacity > 0) {
        s->journal_ = std::make_unique<adapter::Journal>(options.journalCapacity);
    }
    if (claim && !s->claim(options)) {
        std::string error = options.serial ? "No Parvex adapter with serial number " +
                                                 std::to_string(*options.serial) + " found"
                                           : std::string("No Parvex adapter found");
        return {nullptr, error, 1};
    }
    return {std::move(s), {}, 0};
}

bool Session::claim(const SessionOptions& options) {
    for (const std::string& path : adapterPaths(*backend_)) {
        auto only = onlyDevice(*backend_, path);
        auto link = std::make_unique<adapter::AdapterLink>(*only, observer_, observer_);
        link->setJournal(journal_.get());
        link->HIDCtlDeviceChange();
        if (!link->attached()) continue;
        if (options.serial && link->SerialNumber() != *options.serial) {
            if (journal_) journal_->clear();
            observer_.busLineMessages.clear();
            continue;
        }
        chosen_ = std::move(only);
        link_ = std::move(link);
        // A pulled adapter is let go at once; only its own path is ever claimed again.
        adapter::AdapterLink* claimed = link_.get();
        chosen_->setChangeHandler([claimed] { claimed->HIDCtlDeviceChange(); });
        if (options.virtualPullAt && bench_) {
            for (auto& v : bench_->adapters) {
                if (v->adapter().serialNumber() == link_->SerialNumber()) {
                    v->scheduleUnplug(*options.virtualPullAt);
                }
            }
        }
        return true;
    }
    return false;
}

std::vector<AdapterSummary> Session::listAdapters() {
    std::vector<AdapterSummary> list;
    for (const std::string& path : adapterPaths(*backend_)) {
        auto only = onlyDevice(*backend_, path);
        LinkObserver quiet;
        adapter::AdapterLink link(*only, quiet, quiet);
        link.HIDCtlDeviceChange();
        AdapterSummary summary;
        summary.path = path;
        summary.answered = link.attached() && !link.firmwareRev().empty();
        summary.serial = static_cast<std::uint16_t>(link.SerialNumber());
        summary.firmwareRev = link.firmwareRev();
        list.push_back(std::move(summary));
    }
    return list;
}

std::optional<std::string> Session::saveVirtualState() {
    if (!statePath_ || !bench_ || !link_) return std::nullopt;
    for (std::size_t k = 0; k < bench_->adapters.size(); ++k) {
        if (bench_->adapters[k]->adapter().serialNumber() != link_->SerialNumber()) continue;
        const sim::DefaultDevices& d = bench_->devices[k];
        VirtualState state{d.eeprom->memory(), d.registers->registers()};
        return files::saveFileReplacing(*statePath_, writeVirtualState(state));
    }
    return std::nullopt;
}

}  // namespace parvex::cli
