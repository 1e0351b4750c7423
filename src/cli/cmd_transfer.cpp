// transfer: messages as the i2c tools write them.
#include "cli/commands.h"
#include "cli/transfer_messages.h"

namespace parvex::cli {

std::optional<std::string> checkTransfer(const CommandLine& line) {
    return parseTransferMessages({line.words.begin() + 1, line.words.end()}).error;
}

int runTransfer(Context& c) {
    const std::vector<std::string> args(c.line.words.begin() + 1, c.line.words.end());
    const ParsedTransfers parsed = parseTransferMessages(args);
    if (parsed.error) {
        c.console.error(*parsed.error);
        return kExitUsage;
    }
    JsonObject result;
    result.text("command", "transfer");
    std::string reads = "[";
    bool any = false;
    for (const BusTransfer& t : parsed.transfers) {
        TUSBI2CReport in{};
        const std::uint8_t status = c.session.link().I2CDeviceRead(t.report(), in);
        if (status != status::kSuccess) {
            result.raw("reads", reads + "]");
            return busFailure(c, result, "transfer to " + cHex(t.address7) + " failed", status);
        }
        if (t.readCount == 0) continue;
        const std::vector<std::uint8_t> bytes(in.begin() + report::kInData,
                                              in.begin() + report::kInData + t.readCount);
        std::string text;
        for (const std::uint8_t b : bytes) text += (text.empty() ? "" : " ") + cHex(b);
        c.console.line(text);
        reads += (any ? "," : "") + jsonBytes(bytes);
        any = true;
    }
    result.raw("reads", reads + "]").number("status", 0).text("statusText", plainStatusText(0));
    c.console.result(result);
    return kExitOk;
}

}  // namespace parvex::cli
