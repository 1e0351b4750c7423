// Notices of the real HID backend reach the adapter link through the event loop.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>

#include "gui/shell/shell_fixture.h"
#include "hid/hidapi_backend.h"

namespace parvex::test {
namespace {

int enumerations = 0;

hid_device_info* countingEnumerate(unsigned short, unsigned short) {
    ++enumerations;
    return nullptr;
}
void freeNothing(hid_device_info*) {}
hid_device* openNothing(const char*) {
    return nullptr;
}
int writeNothing(hid_device*, const unsigned char*, std::size_t) {
    return -1;
}
int readNothing(hid_device*, unsigned char*, std::size_t, int) {
    return -1;
}
void closeNothing(hid_device*) {}
int noOpenError(const char*) {
    return 0;
}

// A notice source over a pipe: a byte written to the pipe is one "add" notice.
class PipeNotices : public hid::NoticeSource {
public:
    PipeNotices() { EXPECT_EQ(::pipe(fds_), 0); }
    ~PipeNotices() override {
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    [[nodiscard]] int descriptor() const override { return fds_[0]; }
    std::vector<hid::DeviceNotice> drain() override {
        char c = 0;
        std::vector<hid::DeviceNotice> out;
        if (::read(fds_[0], &c, 1) == 1) out.push_back({"add", "/dev/hidraw9"});
        return out;
    }
    void raise() const { EXPECT_EQ(::write(fds_[1], "x", 1), 1); }

private:
    int fds_[2] = {-1, -1};
};

TEST(RealBackendNoticeTest, ANoticeOnTheDescriptorRunsTheDeviceChangeOnce) {
    ScriptedPrompts prompts;
    const hid::HidapiCalls calls{countingEnumerate, freeNothing,  openNothing, writeNothing,
                                 readNothing,       closeNothing, noOpenError};
    auto notices = std::make_unique<PipeNotices>();
    PipeNotices* pipe = notices.get();
    shell::TfrmMain main(std::make_unique<hid::HidapiController>(calls, std::move(notices)));

    enumerations = 0;
    settle();  // the first notice, queued at start-up
    EXPECT_EQ(enumerations, 1);
    EXPECT_EQ(main.pnlStatusBar()->panelText(shell::MarkupStatusBar::HardwarePanel),
              R"(<P align="center"><FONT color="clWhite">Parvex Hardware Not Detected</FONT>)");

    pipe->raise();
    EXPECT_EQ(enumerations, 1);  // nothing happens outside the event loop
    settle();
    EXPECT_EQ(enumerations, 2);
    settle();
    EXPECT_EQ(enumerations, 2);
}

}  // namespace
}  // namespace parvex::test
