// Text and ByteData: how the system holds the bytes it receives, searches and sends.
//
// A Text is GBK (code page 936) and never holds a zero byte; the empty string is
// also the "absent" text, so absent and empty cannot behave differently anywhere.
// A ByteData is a counted run of raw bytes, zero bytes included. Both own their
// storage and release it exactly once, when they go out of scope.
#pragma once

#include <string>
#include <string_view>

using Text = std::string;
using ByteData = std::string;

// 1-based byte position of the first occurrence of needle in haystack, or -1.
// The scan steps over two-byte GBK characters (a byte of 0x80 or above takes
// the next byte with it), so a needle never matches at a second byte.
// ignoreCase folds only ASCII A-Z; start counts from 1 and defaults to the
// first byte, and the result is always counted from the haystack's first byte.
int findText(std::string_view haystack, std::string_view needle, int start = 1,
             bool ignoreCase = false);

// The received bytes up to the first zero byte, as a Text.
Text bytesToText(std::string_view data);
