#pragma once
// Stand-ins for the hidapi calls: hidraw nodes held in memory, each optionally answered
// by a virtual adapter, with switches for the failures real nodes show.

#include <cerrno>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "hid/hidapi_backend.h"
#include "sim/virtual_adapter.h"

namespace parvex::test {

struct FakeNode {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::wstring product;
    bool hasProduct = true;
    sim::VirtualAdapter* adapter = nullptr;  // answers every report written, if set
    bool openable = true;
    int openError = EACCES;  // why a node that is not openable refuses (errno)
    bool gone = false;       // pulled out: every call on an open handle fails
    int writeResult = -2;    // when >= -1, what hid_write returns instead of the length
    bool flood = false;      // always has another report ready
    std::deque<std::vector<std::uint8_t>> input;     // payloads waiting to be read
    std::vector<std::vector<std::uint8_t>> written;  // buffers given to hid_write
    std::vector<int> readTimeouts;
    int opens = 0;
    int closes = 0;
};

class FakeHidraw {
public:
    // Becomes the one instance the calls work on.
    FakeHidraw();
    ~FakeHidraw();
    FakeHidraw(const FakeHidraw&) = delete;
    FakeHidraw& operator=(const FakeHidraw&) = delete;

    FakeNode& add(const std::string& path, std::uint16_t vendorId, std::uint16_t productId,
                  const std::wstring& product = L"");
    // The node vanishes from enumeration; handles already open start failing.
    void remove(const std::string& path);
    FakeNode* find(const std::string& path);

    [[nodiscard]] int enumerationsNotFreed() const { return enumerationsNotFreed_; }
    static const hid::HidapiCalls& calls();

private:
    static hid_device_info* enumerate(unsigned short, unsigned short);
    static void freeEnumeration(hid_device_info* devices);
    static hid_device* openPath(const char* path);
    static int write(hid_device* device, const unsigned char* data, std::size_t length);
    static int readTimeout(hid_device* device, unsigned char* data, std::size_t length, int ms);
    static void close(hid_device* device);
    static int openError(const char* path);

    std::vector<std::shared_ptr<FakeNode>> nodes_;
    int enumerationsNotFreed_ = 0;
};

// Notices handed over by the test instead of udev.
class FakeNotices final : public hid::NoticeSource {
public:
    static constexpr int kDescriptor = 97;
    int descriptor() const override { return kDescriptor; }
    std::vector<hid::DeviceNotice> drain() override {
        std::vector<hid::DeviceNotice> taken;
        taken.swap(pending);
        return taken;
    }
    std::vector<hid::DeviceNotice> pending;
};

}  // namespace parvex::test
