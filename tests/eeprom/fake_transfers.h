#pragma once
// A recording stand-in for the transfer operations: logs every call with its arguments
// and answers reads from a memory image, with chosen calls failing.

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
    // What reads answer: memory[(address - base) / 2 * 256 + subaddress + i].
    std::vector<std::uint8_t> memory;
    std::uint8_t base = 0xA0;
    // Status of the n-th call (counting from 0); absent calls succeed.
    std::map<int, std::uint8_t> failAt;
    std::vector<Call> calls;

    std::uint8_t I2CWrite(std::uint8_t address, std::uint8_t) override {
        return record({Call::Op::Other, address, 0, 0, {}});
    }
    std::uint8_t I2CWriteByte(std::uint8_t address, std::uint8_t subaddress,
                              std::uint8_t dataByte) override {
        return record({Call::Op::WriteByte, address, subaddress, 1, {dataByte}});
    }
    std::uint8_t I2CWriteArray(std::uint8_t address, std::uint8_t subaddress,
                               std::uint16_t numBytes, const std::uint8_t* dataPointer) override {
        return record({Call::Op::WriteArray, address, subaddress, numBytes,
                       std::vector<std::uint8_t>(dataPointer, dataPointer + numBytes - 1)});
    }
    void I2CRead(std::uint8_t address, TUSBI2CReport& in) override {
        in[report::kStatus] = record({Call::Op::Other, address, 0, 0, {}});
    }
    void I2CReadCount(std::uint8_t address, std::uint8_t, TUSBI2CReport& in) override {
        in[report::kStatus] = record({Call::Op::Other, address, 0, 0, {}});
    }
    void I2CReadByte(std::uint8_t address, std::uint8_t subaddress, TUSBI2CReport& in) override {
        answer(Call::Op::ReadByte, address, subaddress, 1, in);
    }
    void I2CReadArray(std::uint8_t address, std::uint8_t subaddress, std::int32_t numBytes,
                      TUSBI2CReport& in) override {
        answer(Call::Op::ReadArray, address, subaddress, numBytes, in);
    }
    std::uint8_t I2CDeviceWrite(const TUSBI2CReport&) override {
        return record({Call::Op::Other, 0, 0, 0, {}});
    }
    std::uint8_t I2CDeviceRead(const TUSBI2CReport&, TUSBI2CReport& in) override {
        in[report::kStatus] = record({Call::Op::Other, 0, 0, 0, {}});
        return in[report::kStatus];
    }

private:
    std::uint8_t record(Call call) {
        const int index = static_cast<int>(calls.size());
        calls.push_back(std::move(call));
        const auto it = failAt.find(index);
        return it == failAt.end() ? 0 : it->second;
    }

    void answer(Call::Op op, std::uint8_t address, std::uint8_t subaddress, int count,
                TUSBI2CReport& in) {
        // A failed read leaves junk in the data bytes, as a real reply may: the caller
        // must not use them.
        in.fill(0xEE);
        const std::uint8_t status = record({op, address, subaddress, count, {}});
        in[report::kStatus] = status;
        if (status != 0) return;
        const std::size_t first = static_cast<std::size_t>((address - base) / 2) * 256 + subaddress;
        for (int i = 0; i < count; ++i) {
            const std::size_t a = first + static_cast<std::size_t>(i);
            in[report::kInData + static_cast<std::size_t>(i)] = a < memory.size() ? memory[a] : 0;
        }
    }
};

}  // namespace parvex::eeprom::test
