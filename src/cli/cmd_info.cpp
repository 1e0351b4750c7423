// info and scan.
#include <algorithm>

#include "adapter/status_texts.h"
#include "cli/commands.h"

namespace parvex::cli {

int busFailure(Context& c, JsonObject& result, const std::string& what, std::uint8_t status) {
    const std::string text = plainStatusText(status);
    c.console.error(what + ": " + text);
    result.number("status", status).text("statusText", text);
    c.console.result(result);
    return kExitBus;
}

namespace {

std::string lineText(std::uint8_t lines) {
    if (lines == adapter::kLinesUnknown) return "unknown";
    const bool scl = (lines & report::kLineScl) != 0;
    const bool sda = (lines & report::kLineSda) != 0;
    return std::string("SCL ") + (scl ? "high" : "low") + ", SDA " + (sda ? "high" : "low");
}

std::string trimmedRevision(const std::string& rev) {
    std::string text;
    // NUL characters are left out, as the about box does.
    for (const char ch : rev) {
        if (ch != '\0') text += ch;
    }
    const auto last = text.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

}  // namespace

int runInfo(Context& c) {
    adapter::AdapterLink& link = c.session.link();
    const std::uint8_t lines = link.GetI2CPortStatus();
    JsonObject result;
    result.text("command", "info");
    if (lines == adapter::kLinesUnknown) return busFailure(c, result, "port status", 170);
    const std::string rev = trimmedRevision(link.firmwareRev());
    const int khz = link.ActualClock() / 1000;
    c.console.line("Firmware revision: " + rev);
    c.console.line("Serial number: " + std::to_string(link.SerialNumber()));
    c.console.line("Bus lines: " + lineText(lines));
    c.console.line("Clock: " + std::to_string(khz) + " kHz");
    result.text("firmwareRevision", rev)
        .number("serialNumber", link.SerialNumber())
        .number("busLines", lines)
        .text("busLinesText", lineText(lines))
        .number("clockHz", link.ActualClock())
        .number("status", 0);
    c.console.result(result);
    return kExitOk;
}

int runInfoAll(const CommandLine&, Console& console, Session& session) {
    const std::vector<AdapterSummary> list = session.listAdapters();
    std::string json = "[";
    for (std::size_t i = 0; i < list.size(); ++i) {
        const AdapterSummary& a = list[i];
        const std::string rev = trimmedRevision(a.firmwareRev);
        console.line(std::to_string(a.serial) + "  " + a.path + "  " +
                     (a.answered ? rev : std::string("(no answer)")));
        JsonObject item;
        item.text("path", a.path).number("serialNumber", a.serial).text("firmwareRevision", rev);
        item.boolean("answered", a.answered);
        json += (i > 0 ? "," : "") + item.str();
    }
    json += "]";
    if (list.empty()) console.line("No Parvex adapter found");
    JsonObject result;
    result.text("command", "info").raw("adapters", json).number("status", 0);
    console.result(result);
    return kExitOk;
}

namespace {

constexpr int kFirstProbe = 0x08;
constexpr int kLastProbe = 0x77;
// The range serial EEPROMs answer in, one address per 256-byte block.
constexpr int kEepromFirst = 0x50;
constexpr int kEepromLast = 0x57;

std::string scanTable(const std::vector<bool>& found) {
    std::string table = "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n";
    static constexpr char kDigits[] = "0123456789abcdef";
    for (int row = 0; row < 0x80; row += 16) {
        table += kDigits[row >> 4];
        table += "0:";
        for (int col = 0; col < 16; ++col) {
            const int a = row + col;
            if (a < kFirstProbe || a > kLastProbe) {
                table += "   ";
            } else if (found[static_cast<std::size_t>(a)]) {
                table += ' ';
                table += kDigits[a >> 4];
                table += kDigits[a & 0x0F];
            } else {
                table += " --";
            }
        }
        // i2cdetect leaves no blank at a line's end.
        while (table.back() == ' ') table.pop_back();
        table += '\n';
    }
    table.pop_back();
    return table;
}

// "EEPROM block 3 of 0x50 to 0x57" for the serial EEPROM range, empty elsewhere.
std::string addressNote(int a) {
    if (a < kEepromFirst || a > kEepromLast) return {};
    return "EEPROM block " + std::to_string(a - kEepromFirst);
}

// Runs of consecutive EEPROM addresses from a block 0: one chip of that many 256-byte blocks
// answers so, e.g. 0x50 to 0x57 for 2048 bytes.
std::vector<std::string> eepromGroups(const std::vector<bool>& found) {
    std::vector<std::string> groups;
    int a = kEepromFirst;
    while (a <= kEepromLast) {
        if (!found[static_cast<std::size_t>(a)]) {
            ++a;
            continue;
        }
        int end = a;
        while (end + 1 <= kEepromLast && found[static_cast<std::size_t>(end + 1)]) ++end;
        const int blocks = end - a + 1;
        groups.push_back("EEPROM blocks " + cHex(static_cast<std::uint8_t>(a)) + "-" +
                         cHex(static_cast<std::uint8_t>(end)) + " (" + hex2(unsigned(a) << 1) +
                         "-" + hex2(unsigned(end) << 1) + "): " + std::to_string(blocks) +
                         " x 256 bytes, as one " + std::to_string(blocks * 256) +
                         "-byte EEPROM answers");
        a = end + 1;
    }
    return groups;
}

}  // namespace

int runScan(Context& c) {
    const bool writeProbe = c.line.flag("write-probe");
    std::vector<bool> found(0x80, false);
    JsonObject result;
    result.text("command", "scan").text("probe", writeProbe ? "write" : "read");
    for (int a = kFirstProbe; a <= kLastProbe; ++a) {
        c.console.progress(a - kFirstProbe, kLastProbe - kFirstProbe + 1);
        TUSBI2CReport out{};
        out[report::kLength] = report::transferLength(0);
        out[report::kCommand] = cmdTransfer;
        out[report::kReadCount] = writeProbe ? 0 : 1;
        out[report::kAddress] = static_cast<std::uint8_t>(a << 1);
        TUSBI2CReport in{};
        const std::uint8_t status = c.session.link().I2CDeviceRead(out, in);
        if (status == status::kSuccess) {
            found[static_cast<std::size_t>(a)] = true;
        } else if (adapter::classifyStatus(status) != adapter::StatusClass::AddressNack) {
            // Anything but silence at an address (lines low, no adapter) spoils the map.
            return busFailure(c, result, "scan stopped at " + cHex(static_cast<std::uint8_t>(a)),
                              status);
        }
    }
    c.console.endProgress();
    c.console.line(scanTable(found));
    std::string list = "[";
    bool any = false;
    for (int a = kFirstProbe; a <= kLastProbe; ++a) {
        if (!found[static_cast<std::size_t>(a)]) continue;
        const std::string note = addressNote(a);
        c.console.line(cHex(static_cast<std::uint8_t>(a)) + " / " + hex2(unsigned(a) << 1) +
                       (note.empty() ? "" : "  " + note));
        JsonObject item;
        item.number("address", a).text("busAddress", hex2(unsigned(a) << 1));
        if (!note.empty()) item.text("note", note);
        list += (any ? "," : "") + item.str();
        any = true;
    }
    list += "]";
    std::string groups = "[";
    const std::vector<std::string> named = eepromGroups(found);
    for (std::size_t i = 0; i < named.size(); ++i) {
        c.console.line(named[i]);
        groups += (i > 0 ? "," : "") + jsonString(named[i]);
    }
    groups += "]";
    if (!any) c.console.line("No device answered");
    result.raw("found", list).raw("eepromGroups", groups).number("status", 0);
    c.console.result(result);
    return kExitOk;
}

}  // namespace parvex::cli
