// Every answer starts with one minimal HTTP header block: browsers built on
// WebKit refuse a bare HTML document without a status line.
#pragma once

#include <initializer_list>
#include <string_view>

#include "text.h"

inline constexpr std::string_view AnswerHeader =
    "HTTP/1.0 200 OK\r\n"
    "Content-Type: text/html; charset=gb2312\r\n"
    "Cache-Control: no-store\r\n"
    "Connection: close\r\n"
    "\r\n";

// The header block followed by the given documents, ready for one send.
Text composeAnswer(std::initializer_list<std::string_view> documents);
