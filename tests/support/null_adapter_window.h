#pragma once
// A main window that hears nothing: for tests and benchmarks that drive the adapter link
// without caring what it shows. Standard library only, so core tests and benchmarks can
// use it too.

#include <string>

#include "adapter/adapter_link.h"

namespace parvex::test {

class NullStatusSink : public adapter::StatusSink {
public:
    void showStatus(const std::string&) override {}
};

class NullAdapterListener : public adapter::AdapterListener {
public:
    void setOptionsMenuEnabled(bool) override {}
    void setStatusBarEnabled(bool) override {}
    void setHardwarePanel(const std::string&) override {}
    void setFrequencyPanel(const std::string&) override {}
    void showBusLineMessage(const std::string&) override {}
    void repaintStatusBar() override {}
};

}  // namespace parvex::test
