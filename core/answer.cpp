#include "answer.h"

#include <vector>

#include "text_conversions.h"

Text composeAnswer(std::initializer_list<std::string_view> documents) {
    std::vector<std::string_view> parts{AnswerHeader};
    parts.insert(parts.end(), documents);
    return joinTexts(parts);
}
