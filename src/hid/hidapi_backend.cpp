#include "hid/hidapi_backend.h"

#include <fcntl.h>
#include <libudev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/report.h"

namespace parvex::hid {
namespace {

// The adapter's reports carry no report number: hidraw takes id 0 plus the 64 data bytes
// on output and gives the 64 data bytes alone on input.
constexpr std::size_t kPayloadSize = kReportDataSize;
// Enough to empty any input queue; a device that never stops sending cannot hang the drain.
constexpr int kMaxDrainedReports = 256;

std::string toUtf8(const wchar_t* text) {
    std::string out;
    if (text == nullptr) return out;
    for (; *text != 0; ++text) {
        auto c = static_cast<std::uint32_t>(*text);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

class UdevNoticeSource final : public NoticeSource {
public:
    UdevNoticeSource(udev* context, udev_monitor* monitor) : udev_(context), monitor_(monitor) {}
    ~UdevNoticeSource() override {
        udev_monitor_unref(monitor_);
        udev_unref(udev_);
    }
    UdevNoticeSource(const UdevNoticeSource&) = delete;
    UdevNoticeSource& operator=(const UdevNoticeSource&) = delete;

    int descriptor() const override { return udev_monitor_get_fd(monitor_); }

    std::vector<DeviceNotice> drain() override {
        std::vector<DeviceNotice> notices;
        while (udev_device* device = udev_monitor_receive_device(monitor_)) {
            const char* subsystem = udev_device_get_subsystem(device);
            if (subsystem != nullptr && std::strcmp(subsystem, "hidraw") == 0) {
                const char* action = udev_device_get_action(device);
                const char* node = udev_device_get_devnode(device);
                notices.push_back({action ? action : "", node ? node : ""});
            }
            udev_device_unref(device);
        }
        return notices;
    }

private:
    udev* udev_;
    udev_monitor* monitor_;
};

int nodeOpenError(const char* path) {
    // access() weighs the ACLs too, which is how a desktop session is given a device.
    return ::access(path, R_OK | W_OK) == 0 ? 0 : errno;
}

}  // namespace

const HidapiCalls& realHidapiCalls() {
    static const HidapiCalls calls{hid_enumerate, hid_free_enumeration, hid_open_path,
                                   hid_write,     hid_read_timeout,     hid_close,
                                   nodeOpenError};
    return calls;
}

std::string noPermissionText(const std::string& node) {
    return "A Parvex adapter is plugged in, but this user has no permission to open it (" + node +
           ").\n"
           "Install the udev rule 70-parvex.rules in /etc/udev/rules.d or /usr/lib/udev/rules.d "
           "(the Parvex package installs it), then unplug the adapter and plug it in again.";
}

std::unique_ptr<NoticeSource> makeUdevNoticeSource() {
    udev* context = udev_new();
    if (context == nullptr) return nullptr;
    // Events from udev rather than the kernel: by then the node's permissions are set.
    udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
    if (monitor == nullptr) {
        udev_unref(context);
        return nullptr;
    }
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        udev_monitor_unref(monitor);
        udev_unref(context);
        return nullptr;
    }
    // Draining must never block the user-interface thread.
    const int fd = udev_monitor_get_fd(monitor);
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    return std::make_unique<UdevNoticeSource>(context, monitor);
}

struct HidapiController::OpenDevice {
    HidapiCalls calls;
    hid_device* handle;
    DeviceInfo info;
    bool plugged = true;
};

namespace {

class HidapiDevice final : public Device {
public:
    explicit HidapiDevice(std::shared_ptr<HidapiController::OpenDevice> device)
        : device_(std::move(device)) {}
    ~HidapiDevice() override { device_->calls.close(device_->handle); }
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    const DeviceInfo& info() const override { return device_->info; }
    bool pluggedIn() const override { return device_->plugged; }

    int write(const std::uint8_t* report, std::size_t length) override {
        if (!device_->plugged || report == nullptr || length == 0 || length > kReportSize ||
            report[0] != 0) {
            return -1;
        }
        unsigned char buffer[kReportSize] = {};
        std::memcpy(buffer, report, length);
        const int written = device_->calls.write(device_->handle, buffer, kReportSize);
        if (written < 0) {
            device_->plugged = false;
            return -1;
        }
        return written >= static_cast<int>(kReportSize) ? static_cast<int>(length) : written;
    }

    int read(std::uint8_t* report, std::size_t length, int timeoutMs) override {
        if (!device_->plugged || report == nullptr) return -1;
        unsigned char payload[kPayloadSize] = {};
        const int got =
            device_->calls.readTimeout(device_->handle, payload, kPayloadSize, timeoutMs);
        if (got < 0) {
            device_->plugged = false;
            return -1;
        }
        if (got == 0) return 0;
        // A short report leaves the rest zero rather than whatever the buffer held.
        std::uint8_t full[kReportSize] = {};
        std::memcpy(full + 1, payload,
                    std::min<std::size_t>(static_cast<std::size_t>(got), kPayloadSize));
        const std::size_t placed = std::min(length, kReportSize);
        std::memcpy(report, full, placed);
        return static_cast<int>(placed);
    }

    void drainInput() override {
        unsigned char payload[kPayloadSize];
        for (int i = 0; i < kMaxDrainedReports && device_->plugged; ++i) {
            const int got = device_->calls.readTimeout(device_->handle, payload, kPayloadSize, 0);
            if (got < 0) device_->plugged = false;
            if (got <= 0) break;
        }
    }

private:
    std::shared_ptr<HidapiController::OpenDevice> device_;
};

}  // namespace

HidapiController::HidapiController()
    : HidapiController(realHidapiCalls(), makeUdevNoticeSource()) {}

HidapiController::HidapiController(const HidapiCalls& calls, std::unique_ptr<NoticeSource> notices)
    : calls_(calls), notices_(std::move(notices)) {}

HidapiController::~HidapiController() = default;

void HidapiController::enumerate(
    const std::function<bool(const DeviceInfo&, int index)>& callback) {
    listed_.clear();
    deniedNode_.clear();
    hid_device_info* all = calls_.enumerate(0, 0);
    for (const hid_device_info* d = all; d != nullptr; d = d->next) {
        listed_.push_back(
            {d->vendor_id, d->product_id, d->path ? d->path : "", toUtf8(d->product_string)});
    }
    if (all != nullptr) calls_.freeEnumeration(all);
    // The callback may check devices out, so it walks a copy of the list.
    const std::vector<DeviceInfo> listed = listed_;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (!callback(listed[i], static_cast<int>(i))) break;
    }
}

std::unique_ptr<Device> HidapiController::checkOut(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= listed_.size()) return nullptr;
    const DeviceInfo& info = listed_[static_cast<std::size_t>(index)];
    open_.erase(std::remove_if(open_.begin(), open_.end(),
                               [](const std::weak_ptr<OpenDevice>& d) { return d.expired(); }),
                open_.end());
    // hidraw would open a node twice; the program keeps a checked-out device to itself.
    for (const auto& weak : open_) {
        const auto device = weak.lock();
        if (device && device->plugged && device->info.path == info.path) return nullptr;
    }
    hid_device* handle = calls_.openPath(info.path.c_str());
    if (handle == nullptr) {
        const int error = calls_.openError ? calls_.openError(info.path.c_str()) : 0;
        if (error == EACCES || error == EPERM) deniedNode_ = info.path;
        return nullptr;
    }
    auto device = std::make_shared<OpenDevice>(OpenDevice{calls_, handle, info, true});
    open_.push_back(device);
    return std::make_unique<HidapiDevice>(std::move(device));
}

std::string HidapiController::accessProblem() const {
    return deniedNode_.empty() ? std::string() : noPermissionText(deniedNode_);
}

void HidapiController::setChangeHandler(std::function<void()> handler) {
    handler_ = std::move(handler);
}

int HidapiController::noticeDescriptor() const {
    return notices_ ? notices_->descriptor() : -1;
}

void HidapiController::processNotices() {
    if (!notices_) return;
    const std::vector<DeviceNotice> notices = notices_->drain();
    if (notices.empty()) return;
    // A removed adapter shows as unplugged at once, before any exchange fails on it.
    for (const DeviceNotice& notice : notices) {
        if (notice.action != "remove") continue;
        for (const auto& weak : open_) {
            if (const auto device = weak.lock(); device && device->info.path == notice.devnode) {
                device->plugged = false;
            }
        }
    }
    if (auto handler = handler_) handler();
}

}  // namespace parvex::hid
