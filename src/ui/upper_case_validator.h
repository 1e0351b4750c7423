#pragma once
// Turns typed letters into upper case. It never refuses a text: what may be typed into a
// field is the window's key filter's business.

#include <QValidator>

namespace parvex::ui {

class UpperCaseValidator final : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

}  // namespace parvex::ui
