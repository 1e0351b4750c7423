#include "ui/upper_case_validator.h"

namespace parvex::ui {

QValidator::State UpperCaseValidator::validate(QString& input, int&) const {
    input = input.toUpper();
    return Acceptable;
}

}  // namespace parvex::ui
