#pragma once
// An adapter that is plugged in but that this user may not open would otherwise look exactly
// like no adapter at all. This keeps the reason and its remedy in the hardware panel's hint
// and says it once in a message box each time the problem appears.

#include <QString>
#include <string>

namespace parvex::shell {

class MarkupStatusBar;

// The hardware panel while an adapter is plugged in that cannot be opened for lack of
// permission.
inline const QString kHardwareNoPermission = QStringLiteral(
    R"(<P align="center"><FONT color="clRed">Parvex Hardware: No Permission</FONT>)");

class AdapterAccessNotice {
public:
    explicit AdapterAccessNotice(MarkupStatusBar& bar) : bar_(bar) {}

    // After each device change: `problem` is the HID layer's account of an adapter it could
    // not open, empty when there is none (or an adapter is in use).
    void update(const std::string& problem);

private:
    MarkupStatusBar& bar_;
    bool told_ = false;
};

}  // namespace parvex::shell
