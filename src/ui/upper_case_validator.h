#pragma once
// Turns typed letters into upper case, and optionally bounds how many characters can be
// typed. It never refuses a character for what it is: what may be typed into a field is
// the window's key filter's business.
//
// The length limit lives here rather than in QLineEdit::setMaxLength because that one also
// cuts texts the program sets (a corrected "07F" became "07"); a validator is consulted for
// typing only.

#include <QValidator>

namespace parvex::ui {

class UpperCaseValidator final : public QValidator {
    Q_OBJECT
public:
    // maxLength 0: no limit.
    explicit UpperCaseValidator(QObject* parent = nullptr, int maxLength = 0)
        : QValidator(parent), maxLength_(maxLength) {}
    void setMaxLength(int maxLength) { maxLength_ = maxLength; }
    [[nodiscard]] int maxLength() const { return maxLength_; }
    State validate(QString& input, int& position) const override;

private:
    int maxLength_;
};

}  // namespace parvex::ui
