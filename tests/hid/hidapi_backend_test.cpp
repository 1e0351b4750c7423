#include "hid/hidapi_backend.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "hid/fake_hidraw.h"
#include "sim/report_builders.h"

namespace parvex::hid {
namespace {

using test::FakeNode;
using test::FakeNotices;

class HidapiBackendTest : public ::testing::Test {
protected:
    HidapiBackendTest() {
        auto source = std::make_unique<FakeNotices>();
        notices = source.get();
        controller =
            std::make_unique<HidapiController>(test::FakeHidraw::calls(), std::move(source));
        controller->setChangeHandler([this] { ++changes; });
    }

    std::unique_ptr<Device> open(const std::string& path) {
        int found = -1;
        controller->enumerate([&](const DeviceInfo& info, int index) {
            if (info.path == path) found = index;
            return found < 0;
        });
        return found < 0 ? nullptr : controller->checkOut(found);
    }

    // An adapter node without a virtual adapter behind it: the test feeds its input.
    FakeNode& adapterNode(const std::string& path = "/dev/hidraw2") {
        return fake.add(path, kAdapterVendorId, kAdapterProductId, L"Parvex");
    }

    test::FakeHidraw fake;
    FakeNotices* notices = nullptr;
    std::unique_ptr<HidapiController> controller;
    int changes = 0;
};

TEST_F(HidapiBackendTest, WriteSendsReportIdZeroAndTheSixtyFourDataBytes) {
    FakeNode& node = adapterNode();
    auto device = open(node.path);
    ASSERT_NE(device, nullptr);
    TUSBI2CReport out{};
    std::iota(out.begin() + 1, out.end(), std::uint8_t{1});
    ASSERT_EQ(device->write(out.data(), out.size()), 65);
    ASSERT_EQ(node.written.size(), 1u);
    EXPECT_EQ(node.written[0], std::vector<std::uint8_t>(out.begin(), out.end()));

    // A shorter report goes out padded with zeros to the full 65 bytes.
    const TUSBI2CReport serial = test::commandReport(cmdSerialNumber);
    EXPECT_EQ(device->write(serial.data(), 3), 3);
    ASSERT_EQ(node.written.size(), 2u);
    EXPECT_EQ(node.written[1], std::vector<std::uint8_t>(serial.begin(), serial.end()));
}

TEST_F(HidapiBackendTest, WriteRefusesWhatIsNotOneOutputReport) {
    FakeNode& node = adapterNode();
    auto device = open(node.path);
    ASSERT_NE(device, nullptr);
    TUSBI2CReport out = test::commandReport(cmdSerialNumber);
    std::vector<std::uint8_t> tooLong(kReportSize + 1, 0);
    EXPECT_EQ(device->write(out.data(), 0), -1);
    EXPECT_EQ(device->write(tooLong.data(), tooLong.size()), -1);
    out[report::kReportId] = 2;
    EXPECT_EQ(device->write(out.data(), out.size()), -1);
    EXPECT_TRUE(node.written.empty());
    EXPECT_TRUE(device->pluggedIn());
}

TEST_F(HidapiBackendTest, ShortWriteIsReportedButIsNoRemoval) {
    FakeNode& node = adapterNode();
    auto device = open(node.path);
    ASSERT_NE(device, nullptr);
    node.writeResult = 30;
    const TUSBI2CReport out = test::commandReport(cmdSerialNumber);
    EXPECT_EQ(device->write(out.data(), out.size()), 30);
    EXPECT_TRUE(device->pluggedIn());
}

TEST_F(HidapiBackendTest, ReadPlacesThePayloadAfterTheReportId) {
    FakeNode& node = adapterNode();
    auto device = open(node.path);
    ASSERT_NE(device, nullptr);
    std::vector<std::uint8_t> payload(64);
    std::iota(payload.begin(), payload.end(), std::uint8_t{0x80});
    node.input.push_back(payload);
    node.input.push_back({0, 0, 7});  // a short report

    TUSBI2CReport in;
    in.fill(0xEE);
    ASSERT_EQ(device->read(in.data(), in.size(), 250), 65);
    EXPECT_EQ(in[0], 0);
    EXPECT_EQ(std::vector<std::uint8_t>(in.begin() + 1, in.end()), payload);
    EXPECT_EQ(node.readTimeouts, std::vector<int>{250});

    in.fill(0xEE);
    ASSERT_EQ(device->read(in.data(), in.size(), 250), 65);
    EXPECT_EQ(in[2], 0);
    EXPECT_EQ(in[3], 7);
    EXPECT_EQ(in[4], 0);
    EXPECT_EQ(in[64], 0);

    // A smaller buffer gets what fits, nothing written past it.
    node.input.push_back(payload);
    std::vector<std::uint8_t> small(8, 0xEE);
    EXPECT_EQ(device->read(small.data(), 4, 250), 4);
    EXPECT_EQ(small, (std::vector<std::uint8_t>{0, 0x80, 0x81, 0x82, 0xEE, 0xEE, 0xEE, 0xEE}));
}

TEST_F(HidapiBackendTest, ReadTimeOutLeavesTheDevicePlugged) {
    FakeNode& node = adapterNode();
    auto device = open(node.path);
    ASSERT_NE(device, nullptr);
    TUSBI2CReport in{};
    EXPECT_EQ(device->read(in.data(), in.size(), kReadTimeoutMs), 0);
    EXPECT_EQ(node.readTimeouts, std::vector<int>{kReadTimeoutMs});
    EXPECT_TRUE(device->pluggedIn());
}

TEST_F(HidapiBackendTest, DrainEmptiesTheQueueWithoutWaiting) {
    FakeNode& node = adapterNode();
    auto device = open(node.path);
    ASSERT_NE(device, nullptr);
    node.input.assign(3, std::vector<std::uint8_t>(64, 1));
    device->drainInput();
    EXPECT_TRUE(node.input.empty());
    EXPECT_EQ(node.readTimeouts, (std::vector<int>{0, 0, 0, 0}));

    // A device that never stops sending cannot hold the drain forever.
    node.flood = true;
    device->drainInput();
    EXPECT_TRUE(device->pluggedIn());
}

TEST_F(HidapiBackendTest, AnIoErrorMeansTheDeviceHasGone) {
    struct Case {
        const char* what;
        void (*fail)(Device&);
    };
    const Case cases[] = {
        {"write",
         [](Device& d) {
             const TUSBI2CReport out = test::commandReport(cmdSerialNumber);
             EXPECT_EQ(d.write(out.data(), out.size()), -1);
         }},
        {"read",
         [](Device& d) {
             TUSBI2CReport in{};
             EXPECT_EQ(d.read(in.data(), in.size(), 10), -1);
         }},
        {"drain", [](Device& d) { d.drainInput(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeNode& node = adapterNode(std::string("/dev/hidraw-") + c.what);
        auto device = open(node.path);
        ASSERT_NE(device, nullptr);
        node.gone = true;
        c.fail(*device);
        EXPECT_FALSE(device->pluggedIn());

        // Once gone, nothing more reaches the node.
        const std::size_t writes = node.written.size();
        const std::size_t reads = node.readTimeouts.size();
        const TUSBI2CReport out = test::commandReport(cmdSerialNumber);
        TUSBI2CReport in{};
        EXPECT_EQ(device->write(out.data(), out.size()), -1);
        EXPECT_EQ(device->read(in.data(), in.size(), 10), -1);
        device->drainInput();
        EXPECT_EQ(node.written.size(), writes);
        EXPECT_EQ(node.readTimeouts.size(), reads);
    }
}

TEST_F(HidapiBackendTest, EnumerationListsEveryNodeInOrderAndFreesTheList) {
    fake.add("/dev/hidraw0", 0x1234, 0x0001, L"Pr\u00FCfger\u00E4t \u20AC \U0001F50C");
    fake.add("/dev/hidraw1", 0x1209, 0x0001).hasProduct = false;
    adapterNode("/dev/hidraw7");
    std::vector<DeviceInfo> seen;
    controller->enumerate([&](const DeviceInfo& info, int index) {
        EXPECT_EQ(index, static_cast<int>(seen.size()));
        seen.push_back(info);
        return true;
    });
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].productName,
              "Pr\xC3\xBC"
              "fger\xC3\xA4t \xE2\x82\xAC \xF0\x9F\x94\x8C");
    EXPECT_EQ(seen[0].vendorId, 0x1234);
    EXPECT_EQ(seen[1].productName, "");
    EXPECT_EQ(seen[2].path, "/dev/hidraw7");
    EXPECT_EQ(seen[2].vendorId, kAdapterVendorId);
    EXPECT_EQ(seen[2].productId, kAdapterProductId);
    EXPECT_EQ(fake.enumerationsNotFreed(), 0);
}

TEST_F(HidapiBackendTest, CheckOutOpensOnceAndClosesOnRelease) {
    FakeNode& node = adapterNode();
    auto device = open(node.path);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->info().path, node.path);
    EXPECT_EQ(device->info().productName, "Parvex");
    EXPECT_EQ(open(node.path), nullptr);
    EXPECT_EQ(node.opens, 1);
    device.reset();
    EXPECT_EQ(node.closes, 1);

    node.openable = false;  // a node without access rights
    EXPECT_EQ(open(node.path), nullptr);
}

TEST_F(HidapiBackendTest, ARefusedOpenIsExplainedOnlyForLackOfPermission) {
    const struct {
        int error;
        bool explained;
    } cases[] = {{EACCES, true}, {EPERM, true}, {EBUSY, false}, {ENOENT, false}, {EIO, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::strerror(c.error));
        const std::string path = "/dev/hidraw-errno-" + std::to_string(c.error);
        FakeNode& node = adapterNode(path);
        node.openable = false;
        node.openError = c.error;
        EXPECT_EQ(open(path), nullptr);
        const std::string problem = controller->accessProblem();
        EXPECT_EQ(!problem.empty(), c.explained) << problem;
        if (c.explained) {
            EXPECT_NE(problem.find("no permission to open it (" + path + ")"), std::string::npos);
            EXPECT_NE(problem.find("udev rule 70-parvex.rules"), std::string::npos);
            EXPECT_NE(problem.find("unplug the adapter and plug it in again"), std::string::npos);
        }
        fake.remove(path);
    }

    // Once the rule is in place the next enumeration forgets the refusal.
    FakeNode& node = adapterNode();
    node.openable = false;
    EXPECT_EQ(open(node.path), nullptr);
    EXPECT_FALSE(controller->accessProblem().empty());
    node.openable = true;
    EXPECT_NE(open(node.path), nullptr);
    EXPECT_EQ(controller->accessProblem(), "");
}

TEST(HidapiRealCalls, OpenErrorNamesWhyANodeCannotBeOpened) {
    const HidapiCalls& calls = realHidapiCalls();
    EXPECT_EQ(calls.openError("/nonexistent/hidraw0"), ENOENT);
    char path[] = "/tmp/parvex-node-XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_EQ(calls.openError(path), 0);
    if (::geteuid() != 0) {  // root may open whatever the mode says
        ASSERT_EQ(::chmod(path, 0), 0);
        EXPECT_EQ(calls.openError(path), EACCES);
    }
    ::unlink(path);
}

TEST_F(HidapiBackendTest, CheckOutOfAGoneDeviceIsFreeAgain) {
    FakeNode& node = adapterNode();
    auto device = open(node.path);
    ASSERT_NE(device, nullptr);
    node.gone = true;
    TUSBI2CReport in{};
    ASSERT_EQ(device->read(in.data(), in.size(), 0), -1);
    node.gone = false;  // the same node is back
    EXPECT_NE(open(node.path), nullptr);
}

TEST_F(HidapiBackendTest, NoticesReachTheHandlerOncePerBatch) {
    EXPECT_EQ(controller->noticeDescriptor(), FakeNotices::kDescriptor);
    controller->processNotices();
    EXPECT_EQ(changes, 0);

    FakeNode& ours = adapterNode("/dev/hidraw3");
    auto device = open(ours.path);
    ASSERT_NE(device, nullptr);
    notices->pending = {{"add", "/dev/hidraw4"}, {"remove", "/dev/hidraw4"}};
    controller->processNotices();
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(device->pluggedIn());

    // The removal of the node we hold shows before any exchange fails on it.
    notices->pending = {{"remove", "/dev/hidraw3"}};
    controller->processNotices();
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(device->pluggedIn());
    EXPECT_TRUE(ours.written.empty());
}

TEST(HidapiControllerWithoutNotices, OffersNoDescriptor) {
    test::FakeHidraw fake;
    HidapiController controller(test::FakeHidraw::calls(), nullptr);
    int changes = 0;
    controller.setChangeHandler([&] { ++changes; });
    EXPECT_EQ(controller.noticeDescriptor(), -1);
    controller.processNotices();
    EXPECT_EQ(changes, 0);
}

TEST(UdevNoticeSource, DrainsWithoutBlocking) {
    auto source = makeUdevNoticeSource();
    if (!source) GTEST_SKIP() << "udev cannot be reached here";
    EXPECT_GE(source->descriptor(), 0);
    for (const DeviceNotice& notice : source->drain()) {
        EXPECT_FALSE(notice.action.empty());
    }
}

}  // namespace
}  // namespace parvex::hid
