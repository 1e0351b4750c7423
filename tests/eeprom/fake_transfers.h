#pragma once
// A recording stand-in for the transfer operations: logs every call with its arguments
// and answers like the adapter link over the virtual adapter with one 24Cxx EEPROM on its
// bus (without the write cycle's busy time and the page roll-over), with chosen calls
// failing. The transfer contract suite runs it beside the link so the two stay alike.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "adapter/transfers.h"
#include "common/report.h"

namespace parvex::eeprom::test {

struct Call {
    enum class Op { ReadByte, ReadArray, WriteByte, WriteArray, Other };
    Op op;
    std::uint8_t address;
    std::uint8_t subaddress;
    int count;                       // NumBytes of arrays, 1 for single bytes
    std::vector<std::uint8_t> data;  // bytes written
    bool operator==(const Call& o) const {
        return op == o.op && address == o.address && subaddress == o.subaddress &&
               count == o.count && data == o.data;
    }
};

class FakeTransfers final : public adapter::Transfers {
public:
    // The EEPROM: block n of 256 bytes answers at base + 2n. Erased 2 KB by default, like
    // the virtual adapter's own chip; addresses past the last block are not acknowledged.
    std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(2048, 0xFF);
    std::uint8_t base = 0xA0;
    // With the adapter pulled, every call gives 170.
    bool plugged = true;
    // Status of the n-th call (counting from 0); absent calls succeed.
    std::map<int, std::uint8_t> failAt;
    std::vector<Call> calls;

    std::uint8_t I2CWrite(std::uint8_t address, std::uint8_t dataByte) override {
        return transfer(record({Call::Op::Other, address, 0, 0, {}}), address, {dataByte}, 0,
                        nullptr);
    }
    std::uint8_t I2CWriteByte(std::uint8_t address, std::uint8_t subaddress,
                              std::uint8_t dataByte) override {
        return transfer(record({Call::Op::WriteByte, address, subaddress, 1, {dataByte}}), address,
                        {subaddress, dataByte}, 0, nullptr);
    }
    std::uint8_t I2CWriteArray(std::uint8_t address, std::uint8_t subaddress,
                               std::uint16_t numBytes, const std::uint8_t* dataPointer) override {
        std::vector<std::uint8_t> data;
        if (numBytes > 1 && dataPointer) data.assign(dataPointer, dataPointer + numBytes - 1);
        const std::uint8_t forced =
            record({Call::Op::WriteArray, address, subaddress, numBytes, data});
        if (numBytes > report::kMaxWriteBytes || (numBytes > 1 && !dataPointer))
            return plugged ? status::kInvalidRequest : status::kNoHardware;
        data.insert(data.begin(), subaddress);
        return transfer(forced, address, data, 0, nullptr);
    }
    void I2CRead(std::uint8_t address, TUSBI2CReport& in) override {
        transfer(record({Call::Op::Other, address, 0, 0, {}}), address, {}, 1, &in);
    }
    void I2CReadCount(std::uint8_t address, std::uint8_t count, TUSBI2CReport& in) override {
        transfer(record({Call::Op::Other, address, 0, 0, {}}), address, {}, count, &in);
    }
    void I2CReadByte(std::uint8_t address, std::uint8_t subaddress, TUSBI2CReport& in) override {
        transfer(record({Call::Op::ReadByte, address, subaddress, 1, {}}), address, {subaddress}, 1,
                 &in);
    }
    void I2CReadArray(std::uint8_t address, std::uint8_t subaddress, std::int32_t numBytes,
                      TUSBI2CReport& in) override {
        transfer(record({Call::Op::ReadArray, address, subaddress, numBytes, {}}), address,
                 {subaddress}, numBytes, &in);
    }
    std::uint8_t I2CDeviceWrite(const TUSBI2CReport& out) override { return raw(out, nullptr); }
    std::uint8_t I2CDeviceRead(const TUSBI2CReport& out, TUSBI2CReport& in) override {
        return raw(out, &in);
    }

private:
    std::uint8_t record(Call call) {
        const int index = static_cast<int>(calls.size());
        calls.push_back(std::move(call));
        const auto it = failAt.find(index);
        return it == failAt.end() ? 0 : it->second;
    }

    [[nodiscard]] bool acknowledges(std::uint8_t address) const {
        const int a = address & 0xFE;
        return a >= base && static_cast<std::size_t>((a - base) / 2) * 256 < memory.size();
    }

    // One transfer as the adapter runs it: the write part (word address, then data) and,
    // after a repeated start, the read part from the chip's address pointer. `forced` is
    // the status a test chose for this call.
    std::uint8_t transfer(std::uint8_t forced, std::uint8_t address,
                          const std::vector<std::uint8_t>& written, std::int32_t readCount,
                          TUSBI2CReport* in) {
        std::uint8_t result = forced;
        if (!plugged)
            result = status::kNoHardware;
        else if (result == 0 && (written.size() > report::kMaxWriteBytes || readCount < 0 ||
                                 readCount > static_cast<std::int32_t>(report::kMaxReadBytes)))
            result = status::kInvalidRequest;
        else if (result == 0 && !acknowledges(address))
            result = status::kAddressNack;
        if (in) {
            // A failed read leaves junk in the data bytes, as a real reply may: the caller
            // must not use them.
            in->fill(0xEE);
            (*in)[report::kStatus] = result;
        }
        if (result != 0) return result;
        const std::size_t size = memory.size();
        if (!written.empty()) {
            const std::size_t block = static_cast<std::size_t>(((address & 0xFE) - base) / 2);
            pointer_ = (block * 256 + written[0]) % size;
            for (std::size_t i = 1; i < written.size(); ++i) {
                memory[pointer_] = written[i];
                pointer_ = (pointer_ + 1) % size;
            }
        }
        for (std::int32_t i = 0; in && i < readCount; ++i) {
            (*in)[report::kInData + static_cast<std::size_t>(i)] = memory[pointer_];
            pointer_ = (pointer_ + 1) % size;
        }
        return result;
    }

    // Composed transfer reports are run like the operations; other commands only succeed.
    std::uint8_t raw(const TUSBI2CReport& out, TUSBI2CReport* in) {
        const std::uint8_t forced = record({Call::Op::Other, out[report::kAddress], 0, 0, {}});
        if (out[report::kCommand] != cmdTransfer) {
            const std::uint8_t result = plugged ? forced : status::kNoHardware;
            if (in) (*in)[report::kStatus] = result;
            return result;
        }
        const std::size_t count = out[report::kWriteCount];
        const std::size_t available = out.size() - report::kWriteData;
        std::vector<std::uint8_t> written(
            out.begin() + report::kWriteData,
            out.begin() + static_cast<long>(report::kWriteData + std::min(count, available)));
        if (count > available) written.resize(count);  // refused as too long below
        return transfer(forced, out[report::kAddress], written, out[report::kReadCount], in);
    }

    std::size_t pointer_ = 0;
};

}  // namespace parvex::eeprom::test
