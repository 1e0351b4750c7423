#include "cli/transfer_messages.h"

#include <cerrno>
#include <cstdlib>

namespace parvex::cli {

std::optional<unsigned long> parseCNumber(const std::string& text, unsigned long max) {
    if (text.empty() || text.size() > 12 || text[0] == '-' || text[0] == '+' || text[0] == ' ') {
        return std::nullopt;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || end != text.c_str() + text.size() || value > max) return std::nullopt;
    return value;
}

TUSBI2CReport BusTransfer::report() const {
    TUSBI2CReport out{};
    const auto writeCount = static_cast<std::uint8_t>(write.size());
    out[report::kLength] = report::transferLength(writeCount);
    out[report::kCommand] = cmdTransfer;
    out[report::kWriteCount] = writeCount;
    out[report::kReadCount] = static_cast<std::uint8_t>(readCount);
    out[report::kAddress] = static_cast<std::uint8_t>(address7 << 1);
    for (std::size_t i = 0; i < write.size() && i < report::kMaxWriteBytes; ++i) {
        out[report::kWriteData + i] = write[i];
    }
    return out;
}

namespace {

struct Message {
    bool read = false;
    int length = 0;
    std::optional<std::uint8_t> address;
};

std::optional<std::string> parseDescriptor(const std::string& text, Message& m) {
    const std::string bad = "'" + text + "' is not a message ({r|w}LENGTH[@ADDRESS])";
    if (text.size() < 2 || (text[0] != 'r' && text[0] != 'w')) return bad;
    m.read = text[0] == 'r';
    const std::size_t at = text.find('@');
    const std::string lengthText =
        text.substr(1, at == std::string::npos ? std::string::npos : at - 1);
    if (lengthText.empty() || lengthText.find_first_not_of("0123456789") != std::string::npos) {
        return bad;
    }
    const auto length = parseCNumber(lengthText, 1000);
    if (!length) return bad;
    m.length = static_cast<int>(*length);
    if (at != std::string::npos) {
        const auto address = parseCNumber(text.substr(at + 1), 0x7F);
        if (!address) return "'" + text + "': the address must be a 7-bit number (0x00 to 0x7f)";
        m.address = static_cast<std::uint8_t>(*address);
    }
    if (m.read && (m.length < 1 || m.length > static_cast<int>(report::kMaxReadBytes))) {
        return "'" + text + "': a read takes 1 to 62 bytes";
    }
    if (!m.read && m.length > static_cast<int>(report::kMaxWriteBytes)) {
        return "'" + text + "': a write takes at most 58 bytes";
    }
    return std::nullopt;
}

}  // namespace

ParsedTransfers parseTransferMessages(const std::vector<std::string>& args) {
    ParsedTransfers parsed;
    if (args.empty()) {
        parsed.error = "no messages given";
        return parsed;
    }
    std::optional<std::uint8_t> address;
    // Whether the last transfer is a write still waiting for a read of the same address.
    bool writeOpen = false;
    for (std::size_t i = 0; i < args.size();) {
        Message m;
        if (auto error = parseDescriptor(args[i], m)) {
            parsed.error = error;
            return parsed;
        }
        ++i;
        if (m.address) {
            writeOpen = writeOpen && address == m.address;
            address = m.address;
        }
        if (!address) {
            parsed.error = "'" + args[i - 1] + "': the first message needs an address";
            return parsed;
        }
        if (m.read) {
            if (writeOpen) {
                parsed.transfers.back().readCount = m.length;
            } else {
                BusTransfer t;
                t.address7 = *address;
                t.readCount = m.length;
                parsed.transfers.push_back(t);
            }
            writeOpen = false;
            continue;
        }
        BusTransfer t;
        t.address7 = *address;
        t.hasWrite = true;
        for (int k = 0; k < m.length; ++k, ++i) {
            if (i >= args.size()) {
                parsed.error = "'" + args[i - 1 - static_cast<std::size_t>(k)] + "' needs " +
                               std::to_string(m.length) + " data bytes";
                return parsed;
            }
            const auto value = parseCNumber(args[i], 0xFF);
            if (!value) {
                parsed.error = "'" + args[i] + "' is not a byte value (0 to 0xff)";
                return parsed;
            }
            t.write.push_back(static_cast<std::uint8_t>(*value));
        }
        parsed.transfers.push_back(std::move(t));
        writeOpen = true;
    }
    return parsed;
}

}  // namespace parvex::cli
