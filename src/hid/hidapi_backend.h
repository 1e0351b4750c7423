#pragma once
// The HID layer for real adapters: hidapi's hidraw variant for the reports, a udev
// monitor on the hidraw subsystem for arrival and removal notices. The few hidapi calls
// sit behind a table of function pointers, and the monitor behind a small interface, so
// tests can stand in for both on machines without an adapter.

#include <hidapi.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hid/hid.h"

namespace parvex::hid {

struct HidapiCalls {
    hid_device_info* (*enumerate)(unsigned short vendorId, unsigned short productId);
    void (*freeEnumeration)(hid_device_info* devices);
    hid_device* (*openPath)(const char* path);
    int (*write)(hid_device* device, const unsigned char* data, std::size_t length);
    int (*readTimeout)(hid_device* device, unsigned char* data, std::size_t length,
                       int milliseconds);
    void (*close)(hid_device* device);
    // Why the node at `path` cannot be opened for reading and writing: an errno value, or 0.
    // hidapi keeps the reason its open failed to itself. A table without it tells no reason.
    int (*openError)(const char* path) = nullptr;
};

// hidapi's own functions.
const HidapiCalls& realHidapiCalls();

// What the user is told when the adapter at `node` is plugged in but this user may not open
// it, and how to mend that.
[[nodiscard]] std::string noPermissionText(const std::string& node);

// One arrival or removal of a hidraw node.
struct DeviceNotice {
    std::string action;   // "add", "remove", ...
    std::string devnode;  // "/dev/hidraw3"; the path enumeration gives the same node
};

class NoticeSource {
public:
    virtual ~NoticeSource() = default;
    // Readable while notices are pending.
    [[nodiscard]] virtual int descriptor() const = 0;
    // Takes every pending notice without blocking.
    virtual std::vector<DeviceNotice> drain() = 0;
};

// A udev monitor on the hidraw subsystem; nullptr where udev cannot be reached.
std::unique_ptr<NoticeSource> makeUdevNoticeSource();

class HidapiController final : public Controller {
public:
    HidapiController();
    HidapiController(const HidapiCalls& calls, std::unique_ptr<NoticeSource> notices);
    ~HidapiController() override;
    HidapiController(const HidapiController&) = delete;
    HidapiController& operator=(const HidapiController&) = delete;

    void enumerate(const std::function<bool(const DeviceInfo&, int index)>& callback) override;
    [[nodiscard]] std::unique_ptr<Device> checkOut(int index) override;
    void setChangeHandler(std::function<void()> handler) override;
    // -1 when no udev monitor could be opened.
    [[nodiscard]] int noticeDescriptor() const override;
    void processNotices() override;
    [[nodiscard]] std::string accessProblem() const override;

    struct OpenDevice;

private:
    HidapiCalls calls_;
    std::unique_ptr<NoticeSource> notices_;
    std::function<void()> handler_;
    std::vector<DeviceInfo> listed_;
    // The node a check-out since the last enumeration was refused for lack of permission.
    std::string deniedNode_;
    std::vector<std::weak_ptr<OpenDevice>> open_;
};

}  // namespace parvex::hid
