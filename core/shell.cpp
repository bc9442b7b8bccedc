#include "shell.h"

#include <windows.h>
#include <shellapi.h>

#include "gbk_wide.h"

void openUrl(std::string_view url) {
    HWND owner = FindWindowW(nullptr, L"Microsoft Internet Explorer");
    ShellExecuteW(owner, L"open", wideFromGbk(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
