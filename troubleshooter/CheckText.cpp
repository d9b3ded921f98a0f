#include "troubleshooter/CheckText.h"

#include <QCoreApplication>
#include <vector>

std::string CheckText(const char* source, std::initializer_list<std::string> facts) {
    const std::string text = QCoreApplication::translate("Troubleshooter", source).toStdString();
    const std::vector<std::string> values(facts);
    // One pass over the translated text, so no fact is ever read as a placeholder.
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const bool isPlaceholder =
            text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9';
        if (isPlaceholder) {
            const size_t index = static_cast<size_t>(text[i + 1] - '1');
            if (index < values.size()) {
                result += values[index];
                ++i;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}
