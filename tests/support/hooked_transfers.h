#pragma once
// Transfers passed on to another set, with a hook before each one: a test pulls the
// adapter, stalls it or counts exchanges at the n-th transfer of a window's operation.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

#include "adapter/transfers.h"
#include "common/report.h"

namespace parvex::test {

class HookedTransfers : public adapter::Transfers {
public:
    explicit HookedTransfers(adapter::Transfers* target = nullptr) : target_(target) {}
    void setTarget(adapter::Transfers& target) { target_ = &target; }

    // Called before every transfer operation with its number, counting from 0.
    std::function<void(int)> beforeTransfer;
    int transferCount = 0;
    // The status byte each transfer operation ended with, in order.
    std::vector<std::uint8_t> statuses;

    std::uint8_t I2CWrite(std::uint8_t address, std::uint8_t dataByte) override {
        return noted(hook().I2CWrite(address, dataByte));
    }
    std::uint8_t I2CWriteByte(std::uint8_t address, std::uint8_t subaddress,
                              std::uint8_t dataByte) override {
        return noted(hook().I2CWriteByte(address, subaddress, dataByte));
    }
    std::uint8_t I2CWriteArray(std::uint8_t address, std::uint8_t subaddress,
                               std::uint16_t numBytes, const std::uint8_t* dataPointer) override {
        return noted(hook().I2CWriteArray(address, subaddress, numBytes, dataPointer));
    }
    void I2CRead(std::uint8_t address, TUSBI2CReport& inReport) override {
        hook().I2CRead(address, inReport);
        noted(inReport[report::kStatus]);
    }
    void I2CReadCount(std::uint8_t address, std::uint8_t count, TUSBI2CReport& inReport) override {
        hook().I2CReadCount(address, count, inReport);
        noted(inReport[report::kStatus]);
    }
    void I2CReadByte(std::uint8_t address, std::uint8_t subaddress,
                     TUSBI2CReport& inReport) override {
        hook().I2CReadByte(address, subaddress, inReport);
        noted(inReport[report::kStatus]);
    }
    void I2CReadArray(std::uint8_t address, std::uint8_t subaddress, std::int32_t numBytes,
                      TUSBI2CReport& inReport) override {
        hook().I2CReadArray(address, subaddress, numBytes, inReport);
        noted(inReport[report::kStatus]);
    }
    std::uint8_t I2CDeviceWrite(const TUSBI2CReport& outReport) override {
        return noted(hook().I2CDeviceWrite(outReport));
    }
    std::uint8_t I2CDeviceRead(const TUSBI2CReport& outReport, TUSBI2CReport& inReport) override {
        return noted(hook().I2CDeviceRead(outReport, inReport));
    }

private:
    std::uint8_t noted(std::uint8_t status) {
        statuses.push_back(status);
        return status;
    }
    adapter::Transfers& hook() {
        if (!target_) throw std::logic_error("HookedTransfers: no set to pass transfers on to");
        const int n = transferCount++;
        if (beforeTransfer) beforeTransfer(n);
        return *target_;
    }
    adapter::Transfers* target_;
};

}  // namespace parvex::test
