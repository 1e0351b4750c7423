// Every transfer operation of the link, alone and in the runs the windows make of them, with
// the adapter pulled at each of its exchanges.

#include <gtest/gtest.h>

#include <vector>

#include "pull_at_each_exchange.h"

namespace parvex::test {
namespace {

std::uint8_t firstFailure(std::uint8_t so_far, std::uint8_t status) {
    return so_far != 0 ? so_far : status;
}

std::uint8_t readStatus(const std::function<void(TUSBI2CReport&)>& read) {
    TUSBI2CReport in{};
    read(in);
    return in[report::kStatus];
}

TUSBI2CReport message(std::uint8_t command, std::uint8_t address, std::uint8_t count) {
    TUSBI2CReport r{};
    r[report::kLength] = static_cast<std::uint8_t>(count + 6);
    r[report::kCommand] = command;
    r[report::kMessageCount] = count;
    r[report::kMessageOptions] = 15;
    r[report::kMessageAddress] = address;
    return r;
}

TEST(PullAtEachExchange, EveryTransferOperation) {
    const std::uint8_t data[4] = {1, 2, 3, 4};
    const struct {
        const char* name;
        BusOperation operation;
    } cases[] = {
        {"I2CWrite", [](VirtualRig& r) { return r.link.I2CWrite(0x40, 1); }},
        {"I2CWriteByte", [](VirtualRig& r) { return r.link.I2CWriteByte(0x40, 2, 3); }},
        {"I2CWriteArray", [&](VirtualRig& r) { return r.link.I2CWriteArray(0x40, 0, 5, data); }},
        {"I2CRead",
         [](VirtualRig& r) { return readStatus([&](auto& in) { r.link.I2CRead(0x40, in); }); }},
        {"I2CReadCount",
         [](VirtualRig& r) {
             return readStatus([&](auto& in) { r.link.I2CReadCount(0x40, 8, in); });
         }},
        {"I2CReadByte",
         [](VirtualRig& r) {
             return readStatus([&](auto& in) { r.link.I2CReadByte(0xA0, 9, in); });
         }},
        {"I2CReadArray",
         [](VirtualRig& r) {
             return readStatus([&](auto& in) { r.link.I2CReadArray(0xA0, 0, 32, in); });
         }},
        {"I2CDeviceWrite",
         [](VirtualRig& r) { return r.link.I2CDeviceWrite(message(cmdWriteMessage, 0x40, 2)); }},
        {"I2CDeviceRead",
         [](VirtualRig& r) {
             TUSBI2CReport in{};
             return r.link.I2CDeviceRead(message(cmdReadMessage, 0x41, 3), in);
         }},
        {"HID_Send_OutputReport",
         [](VirtualRig& r) {
             return readStatus([&](auto& in) {
                 r.link.HID_Send_OutputReport(message(cmdReadMessage, 0x41, 1), in);
             });
         }},
        {"HID_UpdateClock", [](VirtualRig& r) { return r.link.HID_UpdateClock(400, true); }},
    };
    for (const auto& c : cases) EXPECT_EQ(pullAtEachExchange(c.name, c.operation), 1u) << c.name;
}

TEST(PullAtEachExchange, RunsOfExchangesAsTheWindowsMakeThem) {
    // The EEPROM editor's Read All of 2 KB in 32-byte chunks.
    const BusOperation readAll = [](VirtualRig& r) {
        std::uint8_t outcome = 0;
        for (int address = 0; address < 2048; address += 32) {
            const auto bus = static_cast<std::uint8_t>(0xA0 | ((address >> 8) << 1));
            outcome = firstFailure(outcome, readStatus([&](auto& in) {
                                       r.link.I2CReadArray(
                                           bus, static_cast<std::uint8_t>(address & 0xFF), 32, in);
                                   }));
        }
        return outcome;
    };
    // Page writes with the chip's write time between them.
    const BusOperation writePages = [](VirtualRig& r) {
        std::uint8_t outcome = 0;
        const std::vector<std::uint8_t> page(16, 0x5A);
        for (int address = 0; address < 256; address += 16) {
            outcome = firstFailure(
                outcome,
                r.link.I2CWriteArray(0xA0, static_cast<std::uint8_t>(address), 17, page.data()));
            timing::sleepMs(5);
        }
        return outcome;
    };
    // The register window's Write All and Read All of 64 registers in 32-register chunks.
    const BusOperation registers = [](VirtualRig& r) {
        std::uint8_t outcome = 0;
        const std::vector<std::uint8_t> values(32, 0x77);
        for (std::uint8_t first : {0, 32})
            outcome = firstFailure(outcome, r.link.I2CWriteArray(0x40, first, 33, values.data()));
        for (std::uint8_t first : {0, 32}) {
            outcome = firstFailure(
                outcome, readStatus([&](auto& in) { r.link.I2CReadArray(0x40, first, 32, in); }));
        }
        return outcome;
    };
    EXPECT_EQ(pullAtEachExchange("Read All", readAll), 64u);
    EXPECT_EQ(pullAtEachExchange("page writes", writePages), 16u);
    EXPECT_EQ(pullAtEachExchange("register Write All and Read All", registers), 4u);
}

TEST(PullAtEachExchange, ArrivalSequence) {
    // Pulled while its identity and bus lines are read, the adapter ends up shown as gone.
    const BusOperation arrival = [](VirtualRig& r) -> std::uint8_t {
        r.link.HIDCtlDeviceChange();
        return r.link.attached() ? 0 : 170;
    };
    EXPECT_EQ(pullAtEachExchange("arrival", arrival), 3u);
}

TEST(PullAtEachExchange, GettingBackInStep) {
    // Out of step after a late answer: the re-synchronisation is the first exchange.
    const auto outOfStep = [](VirtualRig& r) {
        r.ctl.holdAnswers(1);
        TUSBI2CReport in{};
        r.link.I2CReadByte(0xA0, 0, in);
        ASSERT_EQ(r.link.sync(), adapter::LinkSync::OutOfStep);
    };
    const BusOperation read = [](VirtualRig& r) {
        return readStatus([&](auto& in) { r.link.I2CReadByte(0xA0, 1, in); });
    };
    EXPECT_EQ(pullAtEachExchange("read out of step", read, outOfStep), 2u);
}

}  // namespace
}  // namespace parvex::test
