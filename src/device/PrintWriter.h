#pragma once
// Lines onto a printer: a fixed-pitch font, each line at the left of the printable area, one
// line height below the last, a new page when the next line does not fit.

#include <QString>
#include <optional>
#include <string>
#include <vector>

class QFont;
class QPrinter;

namespace parvex::device {

// "Courier New" 10 point, or the platform's fixed-pitch face where that one is missing.
[[nodiscard]] QFont printFont();
// Prints the lines as one job; the error text when the job could not be started.
[[nodiscard]] std::optional<QString> printLines(QPrinter& printer,
                                                const std::vector<std::string>& lines);

}  // namespace parvex::device
