#pragma once

#include <QLocale>

#include "platform/text_case.h"

namespace quellgate::qt {

// Lower case by the rules of the user's locale.
class QtTextCase : public TextCase {
public:
    std::string LowerCase(std::string_view text) const override;

private:
    QLocale locale_ = QLocale::system();
};

}  // namespace quellgate::qt
