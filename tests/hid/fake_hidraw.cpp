#include "hid/fake_hidraw.h"

#include <algorithm>
#include <cstring>

#include "common/report.h"

namespace parvex::test {
namespace {

FakeHidraw* current = nullptr;

// What an open handle points at; kept alive by the handle even after the node is removed.
struct FakeHandle {
    std::shared_ptr<FakeNode> node;
};

FakeHandle* handleOf(hid_device* device) {
    return reinterpret_cast<FakeHandle*>(device);
}

wchar_t* copyText(const std::wstring& text) {
    auto* copy = new wchar_t[text.size() + 1];
    std::copy(text.begin(), text.end(), copy);
    copy[text.size()] = 0;
    return copy;
}

}  // namespace

FakeHidraw::FakeHidraw() {
    current = this;
}

FakeHidraw::~FakeHidraw() {
    if (current == this) current = nullptr;
}

FakeNode& FakeHidraw::add(const std::string& path, std::uint16_t vendorId, std::uint16_t productId,
                          const std::wstring& product) {
    auto node = std::make_shared<FakeNode>();
    node->path = path;
    node->vendorId = vendorId;
    node->productId = productId;
    node->product = product;
    nodes_.push_back(node);
    return *node;
}

void FakeHidraw::remove(const std::string& path) {
    for (auto& node : nodes_) {
        if (node->path == path) node->gone = true;
    }
    nodes_.erase(std::remove_if(nodes_.begin(), nodes_.end(),
                                [&](const auto& node) { return node->path == path; }),
                 nodes_.end());
}

FakeNode* FakeHidraw::find(const std::string& path) {
    for (auto& node : nodes_) {
        if (node->path == path) return node.get();
    }
    return nullptr;
}

const hid::HidapiCalls& FakeHidraw::calls() {
    static const hid::HidapiCalls fake{enumerate,   freeEnumeration, openPath, write,
                                       readTimeout, close,           openError};
    return fake;
}

hid_device_info* FakeHidraw::enumerate(unsigned short, unsigned short) {
    hid_device_info* head = nullptr;
    hid_device_info** tail = &head;
    for (const auto& node : current->nodes_) {
        auto* info = new hid_device_info{};
        info->path = new char[node->path.size() + 1];
        std::strcpy(info->path, node->path.c_str());
        info->vendor_id = node->vendorId;
        info->product_id = node->productId;
        info->product_string = node->hasProduct ? copyText(node->product) : nullptr;
        *tail = info;
        tail = &info->next;
    }
    ++current->enumerationsNotFreed_;
    return head;
}

void FakeHidraw::freeEnumeration(hid_device_info* devices) {
    while (devices != nullptr) {
        hid_device_info* next = devices->next;
        delete[] devices->path;
        delete[] devices->product_string;
        delete devices;
        devices = next;
    }
    --current->enumerationsNotFreed_;
}

hid_device* FakeHidraw::openPath(const char* path) {
    for (const auto& node : current->nodes_) {
        if (node->path == path && node->openable) {
            ++node->opens;
            return reinterpret_cast<hid_device*>(new FakeHandle{node});
        }
    }
    return nullptr;
}

int FakeHidraw::write(hid_device* device, const unsigned char* data, std::size_t length) {
    FakeNode& node = *handleOf(device)->node;
    if (node.gone) return -1;
    node.written.emplace_back(data, data + length);
    if (node.writeResult >= -1) return node.writeResult;
    if (node.adapter != nullptr && length == kReportSize) {
        TUSBI2CReport out{};
        std::copy(data, data + length, out.begin());
        TUSBI2CReport in{};
        node.adapter->exchange(out, in);
        node.input.emplace_back(in.begin() + 1, in.end());
    }
    return static_cast<int>(length);
}

int FakeHidraw::readTimeout(hid_device* device, unsigned char* data, std::size_t length, int ms) {
    FakeNode& node = *handleOf(device)->node;
    node.readTimeouts.push_back(ms);
    if (node.gone) return -1;
    if (node.flood) node.input.emplace_back(length, 0x5A);
    if (node.input.empty()) return 0;
    const std::vector<std::uint8_t> payload = node.input.front();
    node.input.pop_front();
    const std::size_t n = std::min(length, payload.size());
    std::copy(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(n), data);
    return static_cast<int>(n);
}

int FakeHidraw::openError(const char* path) {
    for (const auto& node : current->nodes_) {
        if (node->path == path) return node->openable ? 0 : node->openError;
    }
    return ENOENT;
}

void FakeHidraw::close(hid_device* device) {
    FakeHandle* handle = handleOf(device);
    ++handle->node->closes;
    delete handle;
}

}  // namespace parvex::test
