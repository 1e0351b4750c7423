#include "adapter/status_texts.h"

#include <gtest/gtest.h>

#include <map>

namespace parvex::adapter {
namespace {

TEST(StatusTexts, EveryCodeHasItsTextAndTheRestAreUnspecified) {
    const std::map<int, std::string> texts = {
        {0, "Transmission successful"},
        {1, "Unknown error condition"},
        {2, "Slave address nAcked"},
        {3, "I2C bus error"},
        {4, "Slave address nAcked"},
        {5, "Arbitration Lost"},
        {6, "Firmware revision read success"},
        {7, ""},
        {8, "Check I2C bus signals"},
        {10, "I2C bus Time-out"},
        {16, "I2C Time-out. SDA and SCL low."},
        {17, "I2C Time-out. SDA low."},
        {18, "I2C Time-out. SCL low."},
        {19, "I2C Time-out. SDA and SCL high."},
        {24, "Invalid HID_I2C Request or Request not supported"},
        {64, "Partial transfer completed"},
        {65, "Verification successful"},
        {80, "Data send unsuccessful"},
        {117, "System Registry Error"},
        {170, "No Hardware Connected"},
        {255, "Hardware Not Detected"},
    };
    for (int code = 0; code <= 255; ++code) {
        const auto row = texts.find(code);
        const std::string body = row == texts.end() ? "Unspecified error" : row->second;
        EXPECT_EQ(statusText(static_cast<std::uint8_t>(code)),
                  "<P align=\"center\">" + body + "</FONT>")
            << "code " << code;
    }
    // Codes the program assigns itself without a row of their own.
    EXPECT_EQ(statusText(153), "<P align=\"center\">Unspecified error</FONT>");
    EXPECT_EQ(statusText(72), "<P align=\"center\">Unspecified error</FONT>");
}

TEST(StatusTexts, BusLineMessages) {
    EXPECT_EQ(busLineMessage(0), "SCL and SDA low. Ensure pull-ups are connected to SDA and SCL.");
    EXPECT_EQ(busLineMessage(1), "SDA low. Ensure pull-ups are connected to SDA and SCL.");
    EXPECT_EQ(busLineMessage(2), "SCL low. Ensure pull-ups are connected to SDA and SCL.");
    for (int state : {3, 4, 7, 0xFF}) {
        EXPECT_TRUE(busLineMessage(static_cast<std::uint8_t>(state)).empty()) << state;
    }
}

TEST(ClockArithmetic, RequestsGiveTheDividerAndTheAchievableClock) {
    struct Case {
        std::uint32_t requestKHz;
        std::int32_t divider;
        std::int32_t clockHz;
        const char* panel;
    };
    const Case cases[] = {
        {1, 48000, 1000, "<P align=\"center\">1 kHz</FONT>"},
        {7, 6857, 7000, "<P align=\"center\">7 kHz</FONT>"},
        {100, 480, 100000, "<P align=\"center\">100 kHz</FONT>"},
        {333, 144, 333333, "<P align=\"center\">333 kHz</FONT>"},
        {400, 120, 400000, "<P align=\"center\">400 kHz</FONT>"},
        {700, 68, 705882, "<P align=\"center\">705 kHz</FONT>"},
        {1000, 48, 1000000, "<P align=\"center\">1000 kHz</FONT>"},
        {1700, 28, 1714285, "<P align=\"center\">1714 kHz</FONT>"},
        {2000, 24, 2000000, "<P align=\"center\">2000 kHz</FONT>"},
        {48000, 1, 48000000, "<P align=\"center\">48000 kHz</FONT>"},
        // Outside the range the divider is defined for: the nearest valid request.
        {0, 48000, 1000, "<P align=\"center\">1 kHz</FONT>"},
        {48001, 1, 48000000, "<P align=\"center\">48000 kHz</FONT>"},
        {4294967295u, 1, 48000000, "<P align=\"center\">48000 kHz</FONT>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requestKHz);
        EXPECT_EQ(clockDivider(c.requestKHz), c.divider);
        EXPECT_EQ(clockFromDivider(c.divider), c.clockHz);
        EXPECT_EQ(frequencyPanelAfterClockChange(c.clockHz), c.panel);
    }
}

TEST(ClockArithmetic, PortStatusCountsGiveTheClock) {
    EXPECT_EQ(clockFromCounts(238, 238), 100000);
    EXPECT_EQ(clockFromCounts(118, 118), 200000);
    EXPECT_EQ(clockFromCounts(0, 0), 12000000);
    EXPECT_EQ(clockFromCounts(65535, 65535), 366);
    EXPECT_EQ(frequencyPanelFromPortStatus(200000),
              "<P align=\"center\"><FONT color=\"clWhite\">200 kHz</FONT>");
    EXPECT_EQ(frequencyPanelFromPortStatus(366),
              "<P align=\"center\"><FONT color=\"clWhite\">0 kHz</FONT>");
}

}  // namespace
}  // namespace parvex::adapter
