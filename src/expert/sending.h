#pragma once
// Sending the expert table's messages: one record as a write or a read, all rows in table
// order, and one pass over the sequence. The runs report through a small target that the
// window implements (its progress text and its way of sending one message), so the rules on
// what is sent and when a run stops can be followed without a window.

#include <cstdint>
#include <optional>
#include <string>

#include "common/report.h"

namespace parvex::adapter {
class Transfers;
}

namespace parvex::expert {

class MessageTable;
class Sequence;

// The status the sequence runs let pass along with success.
inline constexpr std::uint8_t kSequencePassStatus = 11;

// The answer to the last read message, program-wide, kept until the next read.
TUSBI2CReport& ReplyReport();

// Sets or clears the record's acknowledge bit for one send.
void applyIgnoreAck(TUSBI2CReport& record, bool ignoreAck);

// Sends record r as a write message; the status byte.
std::uint8_t sendWrite(adapter::Transfers& transfers, MessageTable& table, int r, bool ignoreAck);
// Sends record r as a read message into `reply`; on success the row's Data text (when r is
// a row of the table) becomes the bytes read. The status byte.
std::uint8_t sendRead(adapter::Transfers& transfers, MessageTable& table, int r, bool ignoreAck,
                      TUSBI2CReport& reply);

// Send Message and Send All class a row as a write by its R/W text being exactly "Write";
// the sequence runs class a record as a write by its command byte.
[[nodiscard]] bool isWriteRow(const MessageTable& table, int r);
[[nodiscard]] bool isWriteRecord(const MessageTable& table, int r);

// The wait after message r in milliseconds: its row's Additional Delay text, 0 for a number
// of 0 or less and for a record beyond the table's last row; a conversion message for a text
// that is not a decimal integer.
struct Delay {
    std::uint32_t ms = 0;
    std::optional<std::string> error;
};
[[nodiscard]] Delay delayAfter(const MessageTable& table, int r);

class RunTarget {
public:
    virtual ~RunTarget() = default;
    virtual void showProgress(const std::string& text) = 0;
    // Before a message's delay is waited out (ms > 0): the last chance to show the progress.
    virtual void waiting(std::uint32_t /*ms*/) {}
    virtual std::uint8_t SendMessage(int r) = 0;
    virtual std::uint8_t ReceiveMessage(int r) = 0;
};

struct RunResult {
    std::uint8_t status = 0;
    bool stopped = false;              // a status or a conversion error ended the run
    std::optional<std::string> error;  // the conversion message, when one ended it
};

// Send All: rows with an empty Data text are passed over; any non-zero status stops.
// Progress "Sending Msg# r"; "Done" only when the loop ran to its end.
RunResult runSendAll(const MessageTable& table, RunTarget& target);
// One pass over the sequence: entries whose record is empty are passed over; a status
// other than 0 and 11 stops. Progress "Sending Msg # r".
RunResult runSequencePass(const MessageTable& table, const Sequence& sequence, int entryCount,
                          RunTarget& target);

}  // namespace parvex::expert
