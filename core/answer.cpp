#include "answer.h"

Text composeAnswer(std::initializer_list<std::string_view> documents) {
    std::size_t length = AnswerHeader.size();
    for (auto document : documents) length += document.size();
    Text answer;
    answer.reserve(length);
    answer += AnswerHeader;
    for (auto document : documents) answer += document;
    return answer;
}
