// The register window's bus commands against the virtual adapter's register device at 40.
#include "gui/device/device_fixture.h"

#include "adapter/status_texts.h"
#include "common/report.h"

namespace parvex::test {
namespace {

QString statusOf(std::uint8_t code) {
    return QString::fromStdString(adapter::statusText(code));
}

// The transfer commands the adapter received: (first register, write count, read count).
std::vector<std::array<int, 3>> transfers(const sim::VirtualAdapter& adapter) {
    std::vector<std::array<int, 3>> out;
    for (const TUSBI2CReport& r : adapter.outputLog())
        if (r[report::kCommand] == cmdTransfer)
            out.push_back({r[report::kWriteData], r[report::kWriteCount], r[report::kReadCount]});
    return out;
}

class DeviceBusTest : public DeviceTest {
protected:
    device::TfrmLongI2C* openAt40(int registers) {
        device::TfrmLongI2C* w = open();
        w->applyDefinition({"Chip", "40", registers, {}, {}});
        for (int i = 0; i < 64; ++i)
            chip->registers()[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i + 0x80);
        virt->adapter().clearLog();
        return w;
    }
};

TEST_F(DeviceBusTest, ReadAllAndWriteAllSplitTheirTransfers) {
    const struct {
        int registers;
        std::vector<std::array<int, 3>> reads;   // first register, write count, read count
        std::vector<std::array<int, 3>> writes;  // first register, write count (with subaddress)
    } cases[] = {
        {10, {{0, 1, 10}}, {{0, 11, 0}}},
        {60, {{0, 1, 60}}, {{0, 33, 0}, {32, 29, 0}}},
        {61, {{0, 1, 32}, {32, 1, 29}}, {{0, 33, 0}, {32, 30, 0}}},
        {64, {{0, 1, 32}, {32, 1, 32}}, {{0, 33, 0}, {32, 33, 0}}},
        {58, {{0, 1, 58}}, {{0, 33, 0}, {32, 27, 0}}},
    };
    for (const auto& c : cases) {
        device::TfrmLongI2C* w = openAt40(c.registers);
        click(w, "btnRead");
        EXPECT_EQ(transfers(virt->adapter()), c.reads) << c.registers;
        EXPECT_EQ(status(), statusOf(0)) << c.registers;
        EXPECT_EQ(cell(w, c.registers - 1), QString::number(0x80 + c.registers - 1, 16).toUpper());
        virt->adapter().clearLog();
        click(w, "btnWrite");
        EXPECT_EQ(transfers(virt->adapter()), c.writes) << c.registers;
        EXPECT_EQ(status(), statusOf(0)) << c.registers;
    }
}

TEST_F(DeviceBusTest, WriteAllReachesTheChipAndReadAllSetsModified) {
    device::TfrmLongI2C* w = openAt40(64);
    clickRegister(w, 5);
    type("5A");
    click(w, "btnWrite");
    EXPECT_EQ(chip->registers()[5], 0x5A);
    EXPECT_EQ(chip->registers()[63], 0xFF);

    w = openAt40(64);
    chip->registers()[63] = 0x10;
    click(w, "btnRead");
    EXPECT_EQ(cell(w, 63), "10");
    EXPECT_TRUE(w->DeviceModified());
}

TEST_F(DeviceBusTest, SingleRegisterCommands) {
    device::TfrmLongI2C* w = openAt40(64);
    clickRegister(w, 0x21);
    type("C3");
    clickRegister(w, 0x21);
    click(w, "btnWriteOne");
    EXPECT_EQ(chip->registers()[0x21], 0xC3);
    EXPECT_EQ(status(), statusOf(0));

    chip->registers()[0x21] = 0x07;
    click(w, "btnReadOne");
    EXPECT_EQ(cell(w, 0x21), "07");

    virt->adapter().clearLog();
    setAddress(w, "42");  // nobody answers there
    click(w, "btnReadOne");
    EXPECT_EQ(cell(w, 0x21), "07") << "a failed read changes no cell";
    EXPECT_EQ(status(), statusOf(2));
    EXPECT_EQ(cellRole(w, 0x21, Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    setAddress(w, "40");
    click(w, "btnReadOne");
    EXPECT_FALSE(cellRole(w, 0x21, Qt::ForegroundRole).isValid())
        << "the mark goes with a good read";
}

TEST_F(DeviceBusTest, AShortAddressOrAValueThatIsNoNumberSendsNothing) {
    device::TfrmLongI2C* w = openAt40(64);
    clickRegister(w, 0);  // the field is not left when a button is pressed: it never had the focus
    setAddress(w, "4");
    for (const char* button : {"btnWriteOne", "btnReadOne", "btnRead", "btnWrite"}) {
        main->ResetWarning();
        click(w, button);
        EXPECT_EQ(status(), R"(<FONT color="clRed">Invalid address</FONT>)") << button;
    }
    EXPECT_TRUE(virt->adapter().outputLog().empty());

    setAddress(w, "40");
    virt->adapter().clearLog();
    w->applyRegister(QStringLiteral("ZZ"), QStringLiteral("Odd"));
    click(w, "btnWriteOne");
    click(w, "btnWrite");
    EXPECT_EQ(prompts.texts(), (QStringList{"'ZZ' is not a valid hexadecimal value.",
                                            "'ZZ' is not a valid hexadecimal value."}));
    EXPECT_TRUE(virt->adapter().outputLog().empty());
}

TEST_F(DeviceBusTest, NoAdapterAndAnAdapterPulledAtEachExchange) {
    device::TfrmLongI2C* w = openHooked();
    w->applyDefinition({"Chip", "40", 256, {}, {}});
    virt->unplug();
    settle();
    click(w, "btnReadOne");
    EXPECT_EQ(status(), statusOf(170));
    EXPECT_EQ(cell(w, 0), "FF");

    for (int pullAt = 0; pullAt < 8; ++pullAt) {
        virt->plug();
        settle();
        hooked->count = 0;
        hooked->beforeTransfer = [&](int n) {
            if (n == pullAt) virt->unplug();
        };
        click(w, "btnRead");
        EXPECT_EQ(hooked->count, 8) << "a failed transfer does not stop the others";
        EXPECT_EQ(status(), statusOf(170))
            << "the first failure is the one shown, pulled at " << pullAt;
        EXPECT_EQ(cellRole(w, 32 * pullAt, Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
        EXPECT_EQ(cellRole(w, 0, Qt::ForegroundRole).isValid(), pullAt == 0);
        settle();

        virt->plug();
        settle();
        hooked->count = 0;
        click(w, "btnWrite");
        EXPECT_EQ(hooked->count, 8);
        EXPECT_EQ(status(), statusOf(170)) << "Write All pulled at " << pullAt;
        settle();
    }
    hooked->beforeTransfer = nullptr;
}

TEST_F(DeviceBusTest, ReadAllEndsOnTheFirstFailureNotTheLastSuccess) {
    device::TfrmLongI2C* w = openHooked();
    w->applyDefinition({"Chip", "40", 64, {}, {}});
    chip->registers()[32] = 0x20;
    hooked->beforeTransfer = [&](int n) {
        if (n == 0) virt->adapter().forceNextStatus(2);
    };
    click(w, "btnRead");
    EXPECT_EQ(status(), statusOf(2));
    EXPECT_EQ(cell(w, 0), "FF");
    EXPECT_EQ(cell(w, 32), "20") << "the second transfer still ran";
    hooked->beforeTransfer = nullptr;
}

}  // namespace
}  // namespace parvex::test
