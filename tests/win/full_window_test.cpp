// The full edition's window seen from outside: its layout, the password box
// and its hint, and the song-title picker; and the title reads the page uses.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/window_layout.h"
#include "full/window_titles.h"
#include "expected_layout.h"
#include "program_under_test.h"

namespace {

std::wstring programPath() { return environmentPath("RELAY_FULL_EXE"); }

// Controls inside the group box stand at (5, 2) plus their place in it.
const ExpectedControl fullControls[] = {
    {ControlId::分组框1, L"Button", 5, 2, 360, 206, L"快捷键设置", true, true},
    {ControlId::透明标签1, L"Static", 24, 31, 75, 23, L"Ctrl+Alt+P", true, true},
    {ControlId::播放按钮, L"Button", 102, 31, 65, 23, L"播放/暂停", false, true},
    {ControlId::透明标签6, L"Static", 200, 31, 75, 23, L"Ctrl+Alt+U", true, true},
    {ControlId::音量加按钮, L"Button", 278, 31, 65, 23, L"音量加", false, true},
    {ControlId::透明标签2, L"Static", 24, 64, 75, 23, L"Ctrl+Alt+J", true, true},
    {ControlId::上一首按钮, L"Button", 102, 64, 65, 23, L"上一首", false, true},
    {ControlId::透明标签5, L"Static", 200, 64, 75, 23, L"Ctrl+Alt+I", true, true},
    {ControlId::音量减按钮, L"Button", 278, 64, 65, 23, L"音量减", false, true},
    {ControlId::透明标签3, L"Static", 24, 98, 75, 23, L"Ctrl+Alt+K", true, true},
    {ControlId::下一首按钮, L"Button", 102, 98, 65, 23, L"下一首", false, true},
    {ControlId::透明标签4, L"Static", 200, 98, 75, 23, L"Ctrl+Alt+L", true, true},
    {ControlId::喜欢按钮, L"Button", 278, 98, 65, 23, L"喜欢歌曲", false, true},
    {ControlId::按钮1, L"Button", 27, 132, 60, 23, L"测试", true, true},
    {ControlId::按钮2, L"Button", 114, 132, 60, 23, L"退出", true, true},
    {ControlId::按钮3, L"Button", 200, 132, 60, 23, L"关机密码", false, true},
    {ControlId::编辑框1, L"Edit", 281, 131, 70, 0, L"7395", true, true},
    {ControlId::按钮4, L"Button", 83, 175, 60, 23, L"获取歌名", true, true},
    {ControlId::编辑框2, L"Edit", 189, 175, 100, 0, L"", false, true},
    {ControlId::列表框1, L"ListBox", 9, 19, 350, 150, L"", true, false},
    {ControlId::透明标签7, L"Static", 35, 214, 300, 23, L"请将播放器全局快捷键对照上表设置", true, true},
    {ControlId::透明标签8, L"Static", 57, 239, 95, 23, L"控制页面地址：", true, true},
    {ControlId::超级链接框1, L"HotkeyRelayLink", 148, 239, 96, 23, nullptr, true, true},
    {ControlId::透明标签9, L"Static", 253, 239, 80, 20, L"By:Ostrevan", true, true},
};

std::wstring listItem(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length < 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// Visible, titled top-level windows of this test, on a thread of their own
// that keeps answering messages.
class TitledWindows {
public:
    explicit TitledWindows(std::vector<std::wstring> titles) {
        thread_ = std::thread([this, titles] {
            for (const auto& title : titles)
                windows_.push_back(CreateWindowExW(0, L"STATIC", title.c_str(), WS_OVERLAPPED | WS_VISIBLE, 10, 10,
                                                   120, 40, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
            threadId_ = GetCurrentThreadId();
            ready_ = true;
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
            for (HWND window : windows_) DestroyWindow(window);
        });
        while (!ready_) Sleep(5);
    }
    ~TitledWindows() {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    HWND operator[](std::size_t i) const { return windows_[i]; }

private:
    std::thread thread_;
    std::vector<HWND> windows_;
    std::atomic<DWORD> threadId_{0};
    std::atomic<bool> ready_{false};
};

std::int32_t handleOf(HWND window) { return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window)); }

class FullWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(programPath().empty()) << "RELAY_FULL_EXE names the program"; }
};

TEST_F(FullWindowTest, ShowsTheSharedControlsAndItsExtras) {
    ProgramUnderTest program(programPath());
    HWND window = program.mainWindow();
    ASSERT_TRUE(window);
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 375);
    EXPECT_EQ(outer.bottom - outer.top, 295);

    for (const ExpectedControl& expected : fullControls) expectControlAsListed(program, expected);
    HWND password = program.control(identifier(ControlId::编辑框1));
    EXPECT_EQ(SendMessageW(password, EM_GETPASSWORDCHAR, 0, 0), L'*');
    EXPECT_EQ(SendMessageW(password, EM_GETLIMITTEXT, 0, 0), 4);
    EXPECT_TRUE(GetWindowLongW(program.control(identifier(ControlId::编辑框2)), GWL_STYLE) & ES_READONLY);
}

TEST_F(FullWindowTest, PasswordBoxTakesFourCharactersAndShowsTheHintAtThePointer) {
    ProgramUnderTest program(programPath());
    ASSERT_TRUE(program.mainWindow());
    HWND password = program.control(identifier(ControlId::编辑框1));
    SendMessageW(password, EM_SETSEL, 0, -1);
    for (wchar_t typed : std::wstring(L"12345")) SendMessageW(password, WM_CHAR, typed, 0);
    EXPECT_EQ(textOf(password), L"1234");  // the fifth is refused

    auto visibleTips = [&] {
        std::vector<HWND> shown;
        for (HWND tip : topLevelWindows(L"tooltips_class32", program.processId()))
            if (IsWindowVisible(tip)) shown.push_back(tip);
        return shown;
    };
    // A release outside the box (the box holds the mouse while it is down) is not over it.
    PostMessageW(password, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-50), 5));
    waitFor([] { return false; }, 500);
    EXPECT_TRUE(visibleTips().empty());

    SetCursorPos(700, 420);
    PostMessageW(password, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    HWND balloon = nullptr;
    ASSERT_TRUE(waitFor([&] {
        const auto shown = visibleTips();
        balloon = shown.empty() ? nullptr : shown.front();
        return balloon != nullptr;
    }));
    EXPECT_TRUE(GetWindowLongW(balloon, GWL_STYLE) & TTS_BALLOON);
    // The hint names the default password, whatever the box holds now.
    EXPECT_EQ(textOf(balloon), L"默认关机密码:7395");
    RECT where;
    GetWindowRect(balloon, &where);
    EXPECT_LE(std::abs(where.left - 700) + std::abs(where.top - 420), 400) << "shown near the pointer";
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(balloon); }, 6000)) << "hides itself after its display time";
}

TEST_F(FullWindowTest, PickerListsTitledWindowsAndADoubleClickTakesOne) {
    TitledWindows titled({L"第一首 - Song A", L"Same title", L"Same title"});
    ProgramUnderTest program(programPath());
    ASSERT_TRUE(program.mainWindow());
    HWND list = program.control(identifier(ControlId::列表框1));
    HWND handleBox = program.control(identifier(ControlId::编辑框2));

    PostMessageW(program.control(identifier(ControlId::按钮4)), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(list) != FALSE; }));
    std::vector<std::pair<std::wstring, std::int32_t>> items;
    for (int i = 0, count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); i < count; ++i)
        items.emplace_back(listItem(list, i), static_cast<std::int32_t>(SendMessageW(list, LB_GETITEMDATA, i, 0)));
    auto find = [&](HWND window) {
        return std::find_if(items.begin(), items.end(), [&](const auto& item) { return item.second == handleOf(window); });
    };
    ASSERT_NE(find(titled[0]), items.end());
    EXPECT_EQ(find(titled[0])->first, L"第一首 - Song A");
    ASSERT_NE(find(titled[1]), items.end());  // two windows of one title: two items, own handles
    ASSERT_NE(find(titled[2]), items.end());
    EXPECT_NE(find(program.mainWindow()), items.end());  // the program's own window is titled too
    for (const auto& item : items) EXPECT_FALSE(item.first.empty());

    const int picked = static_cast<int>(find(titled[0]) - items.begin());
    SendMessageW(list, LB_SETCURSEL, picked, 0);
    PostMessageW(program.mainWindow(), WM_COMMAND, MAKEWPARAM(identifier(ControlId::列表框1), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list));
    ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(list); }));
    EXPECT_EQ(textOf(handleBox), std::to_wstring(handleOf(titled[0])));

    // With nothing selected a double-click writes -1.
    PostMessageW(program.control(identifier(ControlId::按钮4)), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(list) != FALSE; }));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    PostMessageW(program.mainWindow(), WM_COMMAND, MAKEWPARAM(identifier(ControlId::列表框1), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list));
    ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(list); }));
    EXPECT_EQ(textOf(handleBox), L"-1");
}

TEST(WindowTitles, ListsEveryVisibleWindowBeyondSixtyFour) {
    std::vector<std::wstring> titles;
    for (int i = 0; i < 80; ++i) titles.push_back(L"window " + std::to_wstring(i));
    TitledWindows many(titles);
    const std::vector<std::int32_t> listed = listTopLevelWindows();
    for (int i = 0; i < 80; ++i)
        EXPECT_NE(std::find(listed.begin(), listed.end(), handleOf(many[static_cast<std::size_t>(i)])), listed.end()) << i;
}

TEST(WindowTitles, ReadsTitlesAndGivesNothingForGoneUntitledOrHungWindows) {
    TitledWindows titled({L"七里香 \u266B <b>", L""});
    EXPECT_EQ(readWindowTitle(handleOf(titled[0])), std::u16string(u"七里香 \u266B <b>"));
    EXPECT_FALSE(readWindowTitle(handleOf(titled[1])));
    EXPECT_FALSE(readWindowTitle(0));
    EXPECT_FALSE(readWindowTitle(-1));

    // A window whose thread does not answer: the read gives up instead of waiting.
    std::atomic<HWND> hung{nullptr};
    std::atomic<bool> release{false};
    std::thread owner([&] {
        hung = CreateWindowExW(0, L"STATIC", L"hung", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        while (!release) Sleep(10);  // never looks at its messages
        DestroyWindow(hung);
    });
    while (!hung) Sleep(5);
    const DWORD before = GetTickCount();
    EXPECT_FALSE(readWindowTitle(handleOf(hung)));
    EXPECT_LT(GetTickCount() - before, 5000u);
    release = true;
    owner.join();
}

TEST(GbkCharacter, EncodesWhatGbkHoldsAndNothingElse) {
    EXPECT_EQ(gbkCharacter(U'七'), "\xC6\xDF");
    EXPECT_EQ(gbkCharacter(U'\u266B'), "");
    EXPECT_EQ(gbkCharacter(U'\U0001F600'), "");
    EXPECT_EQ(gbkCharacter(U'\u00E9'), "\xA8\xA6");  // é is in GBK
}

}  // namespace
