// Texts between the cores and the windows.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/qt_printers.h"
#include "ui/text.h"

namespace parvex::test {
namespace {

TEST(Text, RoundTripsUtf8AndTakesTheViewsLengthOnly) {
    struct Case {
        std::string_view core;
        QString window;
    };
    using namespace std::string_view_literals;
    const Case cases[] = {
        {""sv, QString()},
        {"Transmission successful"sv, QStringLiteral("Transmission successful")},
        {"I\xC2\xB2"
         "C speed"sv,
         QStringLiteral("I\u00B2C speed")},
        {"A\0B"sv, QString(QStringLiteral("A")) + QChar(0) + QStringLiteral("B")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::qs(c.core), c.window);
        EXPECT_EQ(ui::ss(c.window), std::string(c.core));
    }
    // A view into a longer text: what lies past its end is not read.
    const std::string whole = "A0A2A4";
    EXPECT_EQ(ui::qs(std::string_view(whole).substr(2, 2)), "A2");
}

}  // namespace
}  // namespace parvex::test
