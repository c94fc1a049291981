#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quobel {

// Texts below the user interface are UTF-8 byte strings; Qt's are QStrings. The two meet here.
inline QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string S(const QString& text) {
    return text.toStdString();
}

}  // namespace quobel
