// The window's one notification-area icon, identifier 100.
#pragma once

#include <string_view>

struct HWND__;
struct HICON__;

// The callback message of the icon: WM_APP + 100.
constexpr unsigned TrayCallbackMessage = 0x8064;
constexpr unsigned TrayIconIdentifier = 100;

class TrayIcon {
public:
    explicit TrayIcon(HWND__* owner) : owner_(owner) {}
    ~TrayIcon() { set({}); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Shows the ICO image as the icon, replacing one already shown; no image
    // (or bytes no icon can be made of) removes it. The tip is cut to 62 bytes.
    void set(std::string_view icoBytes, std::string_view tip = {});
    bool isShown() const { return shown_ != nullptr; }

    // The shell call, replaceable so that tests can watch what is asked of it.
    using NotifyFunction = int(__stdcall*)(unsigned long message, void* data);
    static NotifyFunction notify;

private:
    HWND__* owner_;
    HICON__* shown_ = nullptr;
};
