#include "expert/sending.h"

#include <algorithm>

#include "adapter/transfers.h"
#include "common/wait.h"
#include "expert/message_table.h"
#include "expert/sequence.h"

namespace parvex::expert {

TUSBI2CReport& ReplyReport() {
    static TUSBI2CReport reply{};
    return reply;
}

void applyIgnoreAck(TUSBI2CReport& record, bool ignoreAck) {
    std::uint8_t& options = record[report::kMessageOptions];
    if (ignoreAck)
        options = static_cast<std::uint8_t>(options & ~report::kOptionCheckAck);
    else
        options = static_cast<std::uint8_t>(options | report::kOptionCheckAck);
}

std::uint8_t sendWrite(adapter::Transfers& transfers, MessageTable& table, int r, bool ignoreAck) {
    TUSBI2CReport& record = table.record(r);
    applyIgnoreAck(record, ignoreAck);
    return transfers.I2CDeviceWrite(record);
}

std::uint8_t sendRead(adapter::Transfers& transfers, MessageTable& table, int r, bool ignoreAck,
                      TUSBI2CReport& reply) {
    TUSBI2CReport& record = table.record(r);
    // The input report carries at most 62 bytes read.
    const int n = std::min<int>(record[report::kMessageCount], report::kMaxReadBytes);
    applyIgnoreAck(record, ignoreAck);
    transfers.I2CDeviceRead(record, reply);
    const std::uint8_t status = reply[report::kStatus];
    if (status != status::kSuccess) return status;
    if (r <= table.rowCount()) table.setDataText(r, dataText(&reply[report::kInData], n));
    return status::kSuccess;
}

bool isWriteRow(const MessageTable& table, int r) {
    return table.row(r).RW == kWriteText;
}

bool isWriteRecord(const MessageTable& table, int r) {
    return table.record(r)[report::kCommand] == cmdWriteMessage;
}

Delay delayAfter(const MessageTable& table, int r) {
    if (r > table.rowCount()) return {};
    const std::string& text = table.row(r).DelayTime;
    const std::optional<std::int32_t> value = parseDecimal(text);
    if (!value) return {0, integerConversionMessage(text)};
    return {*value > 0 ? static_cast<std::uint32_t>(*value) : 0u, std::nullopt};
}

namespace {

// Waits out message r's delay; the conversion message when its text is not a number.
std::optional<std::string> waitAfter(const MessageTable& table, int r, RunTarget& target) {
    const Delay d = delayAfter(table, r);
    if (d.error) return d.error;
    if (d.ms > 0) {
        target.waiting(d.ms);
        timing::sleepMs(d.ms);
    }
    return std::nullopt;
}

}  // namespace

RunResult runSendAll(const MessageTable& table, RunTarget& target) {
    RunResult result;
    // Rows may come and go while a message is sent (the window lets no events through, but
    // a target might): the bound is read anew each time round.
    for (int r = 1; r <= table.rowCount(); ++r) {
        if (table.row(r).DataString.empty()) continue;
        target.showProgress("Sending Msg# " + std::to_string(r));
        result.status = isWriteRow(table, r) ? target.SendMessage(r) : target.ReceiveMessage(r);
        if (result.status != status::kSuccess) {
            result.stopped = true;
            return result;
        }
        if ((result.error = waitAfter(table, r, target))) {
            result.stopped = true;
            return result;
        }
    }
    target.showProgress("Done");
    return result;
}

RunResult runSequencePass(const MessageTable& table, const Sequence& sequence, int entryCount,
                          RunTarget& target) {
    RunResult result;
    for (int k = 1; k <= entryCount && k <= kMaxSequenceEntries; ++k) {
        const int r = sequence.entry(k - 1);
        if (r < 1 || r > kMaxMessages) continue;
        target.showProgress("Sending Msg # " + std::to_string(r));
        if (table.record(r)[report::kLength] == 0) continue;
        result.status = isWriteRecord(table, r) ? target.SendMessage(r) : target.ReceiveMessage(r);
        if (result.status != status::kSuccess && result.status != kSequencePassStatus) {
            result.stopped = true;
            return result;
        }
        if ((result.error = waitAfter(table, r, target))) {
            result.stopped = true;
            return result;
        }
    }
    return result;
}

}  // namespace parvex::expert
