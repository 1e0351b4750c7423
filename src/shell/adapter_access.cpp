#include "shell/adapter_access.h"

#include <utility>

#include "shell/markup_status_bar.h"
#include "ui/prompts.h"

namespace parvex::shell {

void AdapterAccessNotice::update(const std::string& problem) {
    const QString text = QString::fromStdString(problem);
    MarkupPanel* panel = bar_.panel(MarkupStatusBar::HardwarePanel);
    // An empty hint leaves the status bar's own hint in force.
    panel->setToolTip(text);
    if (text.isEmpty()) {
        // Mended, or the adapter was pulled: the next time it happens is news again.
        told_ = false;
        return;
    }
    bar_.setPanelText(MarkupStatusBar::HardwarePanel, kHardwareNoPermission);
    // Other HID devices coming and going repeat the device change; the box is not repeated.
    if (!std::exchange(told_, true)) ui::prompts().warning(text);
}

}  // namespace parvex::shell
