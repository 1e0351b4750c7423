#pragma once
// A scriptable HID layer for the link's tests: every output report is recorded, answers come
// from a queue (or from a small built-in responder), and a device can time out, fail its
// writes or be pulled out.

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "adapter/adapter_link.h"
#include "common/report.h"
#include "hid/hid.h"

namespace parvex::test {

// What a device does with the next output report.
struct Reply {
    enum class Kind {
        Answer,   // the report is read back at once
        Late,     // the read times out; the report turns up in the input queue afterwards
        Silent,   // nothing ever comes back
        Delayed,  // the read times out; the report arrives inside the next exchange, after its
                  // write
        Error,    // the read fails (and the device is gone)
    };
    Kind kind = Kind::Answer;
    TUSBI2CReport report{};

    static Reply status(std::uint8_t code) {
        Reply r;
        r.report[report::kStatus] = code;
        return r;
    }
    static Reply of(Kind kind, std::uint8_t code = 0) {
        Reply r = status(code);
        r.kind = kind;
        return r;
    }
};

// The state of one fake device; it outlives the checked-out Device so tests can pull it out.
struct FakeDeviceState {
    hid::DeviceInfo info;
    bool pluggedIn = true;
    bool openable = true;
    int checkOuts = 0;
    std::vector<TUSBI2CReport> written;  // every output report the device accepted or refused
    std::deque<Reply> replies;           // scripted; the responder answers when it runs dry
    std::deque<TUSBI2CReport> inbox;     // input reports that arrived and are not read yet
    std::optional<TUSBI2CReport> lateReport;
    std::deque<TUSBI2CReport> delayed;  // arrive once the next report has been written
    int writeResult = static_cast<int>(kReportSize);  // bytes a write reports
    int drains = 0;
    std::vector<int> readTimeouts;

    // Responder's identity of the adapter.
    std::string firmware = "FW 2.11 test build ";  // 19 characters
    std::uint16_t serial = 4711;
    std::uint8_t lineState = 3;
    std::uint16_t firstCount = 238;
    std::uint16_t secondCount = 238;

    // The responder's answer to a firmware revision request, as a scripted reply.
    Reply revisionAnswer(Reply::Kind kind = Reply::Kind::Answer) const {
        TUSBI2CReport request{};
        request[report::kCommand] = cmdFirmwareRev;
        Reply r;
        r.kind = kind;
        r.report = respond(request);
        return r;
    }

    TUSBI2CReport respond(const TUSBI2CReport& out) const {
        TUSBI2CReport in{};
        switch (out[report::kCommand]) {
            case cmdFirmwareRev:
                for (std::size_t i = 0; i < firmware.size() && i < report::kFirmwareRevLength; ++i)
                    in[report::kFirmwareRev + i] = static_cast<std::uint8_t>(firmware[i]);
                break;
            case cmdSerialNumber:
                in[report::kSerialNumber] = static_cast<std::uint8_t>(serial & 0xFF);
                in[report::kSerialNumber + 1] = static_cast<std::uint8_t>(serial >> 8);
                break;
            case cmdPortStatus:
                in[report::kLineState] = lineState;
                in[report::kFirstCount] = static_cast<std::uint8_t>(firstCount & 0xFF);
                in[report::kFirstCount + 1] = static_cast<std::uint8_t>(firstCount >> 8);
                in[report::kSecondCount] = static_cast<std::uint8_t>(secondCount & 0xFF);
                in[report::kSecondCount + 1] = static_cast<std::uint8_t>(secondCount >> 8);
                break;
            default:
                break;
        }
        return in;
    }
};

class FakeDevice final : public hid::Device {
public:
    explicit FakeDevice(std::shared_ptr<FakeDeviceState> state) : s_(std::move(state)) {}
    const hid::DeviceInfo& info() const override { return s_->info; }
    bool pluggedIn() const override { return s_->pluggedIn; }

    int write(const std::uint8_t* data, std::size_t length) override {
        TUSBI2CReport out{};
        std::copy_n(data, std::min(length, kReportSize), out.begin());
        s_->written.push_back(out);
        if (!s_->pluggedIn) return -1;
        if (s_->writeResult != static_cast<int>(kReportSize)) return s_->writeResult;
        for (const auto& late : s_->delayed) s_->inbox.push_back(late);
        s_->delayed.clear();
        Reply reply;
        if (!s_->replies.empty()) {
            reply = s_->replies.front();
            s_->replies.pop_front();
        } else {
            reply.report = s_->respond(out);
        }
        switch (reply.kind) {
            case Reply::Kind::Answer:
                s_->inbox.push_back(reply.report);
                break;
            case Reply::Kind::Late:
                s_->lateReport = reply.report;
                break;
            case Reply::Kind::Silent:
                break;
            case Reply::Kind::Delayed:
                s_->delayed.push_back(reply.report);
                break;
            case Reply::Kind::Error:
                failNextRead_ = true;
                break;
        }
        return s_->writeResult;
    }

    int read(std::uint8_t* data, std::size_t length, int timeoutMs) override {
        s_->readTimeouts.push_back(timeoutMs);
        if (failNextRead_ || !s_->pluggedIn) {
            failNextRead_ = false;
            s_->pluggedIn = false;
            return -1;
        }
        if (s_->inbox.empty()) {
            // The late answer arrives only after this read has given up.
            if (s_->lateReport) {
                s_->inbox.push_back(*s_->lateReport);
                s_->lateReport.reset();
            }
            return 0;
        }
        TUSBI2CReport in = s_->inbox.front();
        s_->inbox.pop_front();
        in[0] = 0;
        std::copy_n(in.begin(), std::min(length, kReportSize), data);
        return static_cast<int>(length);
    }

    void drainInput() override {
        ++s_->drains;
        s_->inbox.clear();
    }

private:
    std::shared_ptr<FakeDeviceState> s_;
    bool failNextRead_ = false;
};

class FakeController final : public hid::Controller {
public:
    std::shared_ptr<FakeDeviceState> add(std::uint16_t vendorId, std::uint16_t productId,
                                         std::string path) {
        auto state = std::make_shared<FakeDeviceState>();
        state->info.vendorId = vendorId;
        state->info.productId = productId;
        state->info.path = std::move(path);
        devices.push_back(state);
        return state;
    }
    std::shared_ptr<FakeDeviceState> addAdapter(std::string path = "fake:adapter") {
        return add(kAdapterVendorId, kAdapterProductId, std::move(path));
    }

    void enumerate(const std::function<bool(const hid::DeviceInfo&, int)>& callback) override {
        ++enumerations;
        listed.clear();
        for (const auto& d : devices) {
            if (d->pluggedIn) listed.push_back(d);
        }
        for (std::size_t i = 0; i < listed.size(); ++i) {
            if (!callback(listed[i]->info, static_cast<int>(i))) break;
        }
    }
    std::unique_ptr<hid::Device> checkOut(int index) override {
        auto& d = listed.at(static_cast<std::size_t>(index));
        if (!d->openable) return nullptr;
        ++d->checkOuts;
        return std::make_unique<FakeDevice>(d);
    }
    void setChangeHandler(std::function<void()> handler) override {
        changeHandler = std::move(handler);
    }
    int noticeDescriptor() const override { return -1; }
    void processNotices() override {}

    std::vector<std::shared_ptr<FakeDeviceState>> devices;  // in the layer's list order
    std::vector<std::shared_ptr<FakeDeviceState>> listed;   // the last enumeration
    std::function<void()> changeHandler;
    int enumerations = 0;
};

// Records everything the link tells the main window, in order, as "what:text" entries.
class Recorder final : public adapter::StatusSink, public adapter::AdapterListener {
public:
    void showStatus(const std::string& markup) override { log.push_back("status:" + markup); }
    void setOptionsMenuEnabled(bool enabled) override {
        log.push_back(std::string("options:") + (enabled ? "on" : "off"));
    }
    void setStatusBarEnabled(bool enabled) override {
        log.push_back(std::string("statusbar:") + (enabled ? "on" : "off"));
    }
    void setHardwarePanel(const std::string& markup) override {
        log.push_back("hardware:" + markup);
    }
    void setFrequencyPanel(const std::string& markup) override {
        log.push_back("frequency:" + markup);
    }
    void showBusLineMessage(const std::string& text) override {
        log.push_back("message:" + text);
        if (onMessage) onMessage();
    }
    void repaintStatusBar() override { log.push_back("repaint"); }

    // The last status panel text, or "" if none was shown.
    std::string lastStatus() const {
        for (auto it = log.rbegin(); it != log.rend(); ++it) {
            if (it->rfind("status:", 0) == 0) return it->substr(7);
        }
        return {};
    }

    std::vector<std::string> log;
    std::function<void()> onMessage;  // runs while the message box would be open
};

}  // namespace parvex::test
