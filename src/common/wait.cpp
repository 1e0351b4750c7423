#include "common/wait.h"

#include <chrono>
#include <thread>

namespace parvex::timing {
namespace {

class SystemClock final : public Clock {
public:
    std::uint64_t nowMicros() override {
        using namespace std::chrono;
        return static_cast<std::uint64_t>(
            duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void sleepMillis(std::uint32_t ms) override {
        if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

SystemClock systemClock;
Clock* current = &systemClock;

}  // namespace

Clock& clock() {
    return *current;
}
void setClock(Clock* replacement) {
    current = replacement ? replacement : &systemClock;
}
void sleepMs(std::uint32_t ms) {
    current->sleepMillis(ms);
}
std::uint64_t nowUs() {
    return current->nowMicros();
}

}  // namespace parvex::timing
