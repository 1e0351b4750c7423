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
};

// hidapi's own functions.
const HidapiCalls& realHidapiCalls();

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

    struct OpenDevice;

private:
    HidapiCalls calls_;
    std::unique_ptr<NoticeSource> notices_;
    std::function<void()> handler_;
    std::vector<DeviceInfo> listed_;
    std::vector<std::weak_ptr<OpenDevice>> open_;
};

}  // namespace parvex::hid
