#include "ui/upper_case_validator.h"

namespace parvex::ui {

QValidator::State UpperCaseValidator::validate(QString& input, int&) const {
    if (maxLength_ > 0 && input.size() > maxLength_) return Invalid;
    input = input.toUpper();
    return Acceptable;
}

}  // namespace parvex::ui
