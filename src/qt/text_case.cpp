#include "qt/text_case.h"

#include <QString>

namespace quellgate::qt {

std::string QtTextCase::LowerCase(std::string_view text) const {
    // Broken UTF-8 comes in as U+FFFD, so what goes out is always valid.
    const QString lower =
        locale_.toLower(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    return lower.toStdString();
}

}  // namespace quellgate::qt
