#include "tray_icon.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "gbk_wide.h"

namespace {

int __stdcall shellNotify(unsigned long message, void* data) {
    return Shell_NotifyIconW(message, static_cast<NOTIFYICONDATAW*>(data));
}

HICON iconFromIco(std::string_view ico) {
    // An ICO with one image: a 22-byte header, then the image at its offset.
    if (ico.size() < 22) return nullptr;
    auto read32 = [&](std::size_t at) {
        std::uint32_t value;
        memcpy(&value, ico.data() + at, 4);
        return value;
    };
    const std::uint32_t size = read32(14), offset = read32(18);
    if (offset > ico.size() || size > ico.size() - offset) return nullptr;
    const auto width = static_cast<unsigned char>(ico[6]), height = static_cast<unsigned char>(ico[7]);
    auto* image = reinterpret_cast<PBYTE>(const_cast<char*>(ico.data() + offset));
    return CreateIconFromResourceEx(image, size, TRUE, 0x00030000, width ? width : 256, height ? height : 256,
                                    LR_DEFAULTCOLOR);
}

}  // namespace

TrayIcon::NotifyFunction TrayIcon::notify = shellNotify;

void TrayIcon::set(std::string_view icoBytes, std::string_view tip) {
    HICON icon = icoBytes.empty() ? nullptr : iconFromIco(icoBytes);

    // The first form of the structure: understood by every shell version.
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = owner_;
    data.uID = TrayIconIdentifier;
    const std::wstring wideTip = wideFromGbk(tip.substr(0, 62));
    std::copy_n(wideTip.begin(), std::min<std::size_t>(wideTip.size(), 63), data.szTip);

    if (icon) {
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = TrayCallbackMessage;
        data.hIcon = icon;
        notify(shown_ ? NIM_MODIFY : NIM_ADD, &data);
    } else if (shown_) {
        notify(NIM_DELETE, &data);
    }
    if (shown_) DestroyIcon(shown_);
    shown_ = icon;
}
