// The tray icon and the control skin on a window of this test's own.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "core/control_skin.h"
#include "core/host_address.h"
#include "core/tray_icon.h"
#include "core/tray_icon_image.h"

namespace {

struct NotifyCall {
    unsigned long message;
    NOTIFYICONDATAW data;
};
std::vector<NotifyCall> notifyCalls;

int __stdcall recordNotify(unsigned long message, void* data) {
    notifyCalls.push_back({message, *static_cast<NOTIFYICONDATAW*>(data)});
    return TRUE;
}

// A plain top-level window of this thread, destroyed with the fixture.
class OwnWindow : public ::testing::Test {
protected:
    HWND window = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ~OwnWindow() override { DestroyWindow(window); }
};

class TrayIconTest : public OwnWindow {
protected:
    TrayIcon::NotifyFunction saved = TrayIcon::notify;
    void SetUp() override {
        notifyCalls.clear();
        TrayIcon::notify = recordNotify;
    }
    void TearDown() override { TrayIcon::notify = saved; }
};

TEST_F(TrayIconTest, AddsOnceThenReplacesAndRemovesOnDestruction) {
    {
        TrayIcon tray(window);
        tray.set({});  // nothing shown, nothing to remove
        EXPECT_TRUE(notifyCalls.empty());
        tray.set(trayIconImage());
        tray.set(trayIconImage());
        EXPECT_TRUE(tray.isShown());
    }
    ASSERT_EQ(notifyCalls.size(), 3u);
    EXPECT_EQ(notifyCalls[0].message, static_cast<unsigned long>(NIM_ADD));
    EXPECT_EQ(notifyCalls[1].message, static_cast<unsigned long>(NIM_MODIFY));
    EXPECT_EQ(notifyCalls[2].message, static_cast<unsigned long>(NIM_DELETE));
    for (const NotifyCall& call : notifyCalls) {
        EXPECT_EQ(call.data.cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE));  // the first form
        EXPECT_EQ(call.data.hWnd, window);
        EXPECT_EQ(call.data.uID, 100u);
        EXPECT_EQ(call.data.szTip[0], L'\0');
    }
    EXPECT_EQ(notifyCalls[0].data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(notifyCalls[0].data.uCallbackMessage, 0x8064u);
    EXPECT_TRUE(notifyCalls[0].data.hIcon);
}

TEST_F(TrayIconTest, BytesThatMakeNoIconCountAsNoIcon) {
    TrayIcon tray(window);
    tray.set(trayIconImage());
    tray.set(std::string(30, 'x'));
    EXPECT_FALSE(tray.isShown());
    ASSERT_EQ(notifyCalls.size(), 2u);
    EXPECT_EQ(notifyCalls[1].message, static_cast<unsigned long>(NIM_DELETE));
}

TEST(TrayIconImage, MakesASixteenPixelIcon) {
    const std::string_view ico = trayIconImage();
    HICON icon = CreateIconFromResourceEx(reinterpret_cast<PBYTE>(const_cast<char*>(ico.data() + 22)), 1128, TRUE,
                                          0x00030000, 16, 16, LR_DEFAULTCOLOR);
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 16);
    EXPECT_EQ(bitmap.bmHeight, 16);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

LONG_PTR procedureOf(HWND window) { return GetWindowLongPtrW(window, GWLP_WNDPROC); }

HWND child(HWND parent, const wchar_t* className, DWORD style) {
    return CreateWindowExW(0, className, L"x", WS_CHILD | WS_VISIBLE | style, 0, 0, 60, 23, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

TEST_F(OwnWindow, SkinCoversTheListedKindsNowAndLaterAndGivesTheirProceduresBack) {
    HWND push = child(window, L"BUTTON", BS_PUSHBUTTON);
    HWND group = child(window, L"BUTTON", BS_GROUPBOX);
    HWND pushLikeCheck = child(window, L"BUTTON", BS_AUTOCHECKBOX | BS_PUSHLIKE);
    HWND edit = child(window, L"EDIT", 0);
    HWND label = child(window, L"STATIC", 0);
    HWND list = child(window, L"LISTBOX", 0);
    const LONG_PTR pushBefore = procedureOf(push), groupBefore = procedureOf(group), editBefore = procedureOf(edit);
    const LONG_PTR labelBefore = procedureOf(label), listBefore = procedureOf(list);
    const LONG_PTR pushLikeBefore = procedureOf(pushLikeCheck);

    enableControlSkin(3);
    EXPECT_NE(procedureOf(push), pushBefore);
    EXPECT_NE(procedureOf(group), groupBefore);
    EXPECT_NE(procedureOf(edit), editBefore);
    EXPECT_EQ(procedureOf(label), labelBefore);  // labels and list boxes keep their own look
    EXPECT_EQ(procedureOf(list), listBefore);
    EXPECT_EQ(procedureOf(pushLikeCheck), pushLikeBefore);

    HWND later = child(window, L"BUTTON", BS_AUTORADIOBUTTON);  // skinned as it is created
    const LONG_PTR skinnedProcedure = procedureOf(push);
    EXPECT_EQ(procedureOf(later), skinnedProcedure);

    enableControlSkin(0);
    EXPECT_EQ(procedureOf(push), pushBefore);
    EXPECT_EQ(procedureOf(group), groupBefore);
    EXPECT_EQ(procedureOf(edit), editBefore);
    EXPECT_NE(procedureOf(later), skinnedProcedure);
    HWND afterOff = child(window, L"BUTTON", BS_PUSHBUTTON);
    EXPECT_EQ(procedureOf(afterOff), pushBefore);  // the creation hook is gone too
}

TEST(HostIPv4Address, ResolvesDottedNamesAndGivesEmptyForOverlongOnes) {
    EXPECT_EQ(hostIPv4Address("127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(hostIPv4Address(std::string(5000, 'x')), "");
}

}  // namespace
