#pragma once
// The program's one clock and one blocking sleep. Tests and the virtual adapter
// replace the clock so that page-write waits and chip write cycles cost no real time.

#include <cstdint>

namespace parvex::timing {

class Clock {
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual std::uint64_t nowMicros() = 0;
    virtual void sleepMillis(std::uint32_t ms) = 0;
};

// A clock whose time moves only when somebody sleeps on it (or advances it).
class FakeClock final : public Clock {
public:
    std::uint64_t nowMicros() override { return now_; }
    void sleepMillis(std::uint32_t ms) override {
        now_ += std::uint64_t{ms} * 1000;
        slept_ += ms;
    }
    void advanceMicros(std::uint64_t us) { now_ += us; }
    [[nodiscard]] std::uint64_t totalSleptMillis() const { return slept_; }

private:
    std::uint64_t now_ = 0;
    std::uint64_t slept_ = 0;
};

// The clock in force; the system clock unless a test installed another.
Clock& clock();
// Installs a clock; nullptr puts the system clock back. The caller keeps ownership.
void setClock(Clock* replacement);

// Blocking sleep through the clock in force.
void sleepMs(std::uint32_t ms);
[[nodiscard]] std::uint64_t nowUs();

// Installs a clock for the lifetime of a scope.
class ScopedClock {
public:
    explicit ScopedClock(Clock& c) { setClock(&c); }
    ~ScopedClock() { setClock(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace parvex::timing
