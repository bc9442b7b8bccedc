// The simple edition's window seen from outside, as a user and the shell see
// it: layout, caption, the test and exit buttons, the tray road, and the
// warning when port 80 is taken. Runs with a non-Chinese system code page.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "core/window_layout.h"
#include "expected_layout.h"
#include "program_under_test.h"

namespace {

constexpr UINT TrayCallback = 0x8064;

std::wstring programPath() { return environmentPath("RELAY_LITE_EXE"); }

// Controls inside the group box stand at (5, 2) plus their place in it.
const ExpectedControl liteControls[] = {
    {ControlId::分组框1, L"Button", 5, 2, 360, 155, L"快捷键设置", true},
    {ControlId::透明标签1, L"Static", 24, 22, 75, 23, L"Ctrl+Alt+P", true},
    {ControlId::播放按钮, L"Button", 102, 22, 65, 23, L"播放/暂停", false},
    {ControlId::透明标签6, L"Static", 200, 22, 75, 23, L"Ctrl+Alt+U", true},
    {ControlId::音量加按钮, L"Button", 278, 22, 65, 23, L"音量加", false},
    {ControlId::透明标签2, L"Static", 24, 55, 75, 23, L"Ctrl+Alt+J", true},
    {ControlId::上一首按钮, L"Button", 102, 55, 65, 23, L"上一首", false},
    {ControlId::透明标签5, L"Static", 200, 55, 75, 23, L"Ctrl+Alt+I", true},
    {ControlId::音量减按钮, L"Button", 278, 55, 65, 23, L"音量减", false},
    {ControlId::透明标签3, L"Static", 24, 89, 75, 23, L"Ctrl+Alt+K", true},
    {ControlId::下一首按钮, L"Button", 102, 89, 65, 23, L"下一首", false},
    {ControlId::透明标签4, L"Static", 200, 89, 75, 23, L"Ctrl+Alt+L", true},
    {ControlId::喜欢按钮, L"Button", 278, 89, 65, 23, L"喜欢歌曲", false},
    {ControlId::按钮1, L"Button", 110, 123, 60, 23, L"测试", true},
    {ControlId::按钮2, L"Button", 201, 123, 60, 23, L"关闭", true},
    {ControlId::透明标签7, L"Static", 36, 162, 300, 23, L"请将播放器全局快捷键对照上表设置", true},
    {ControlId::透明标签8, L"Static", 37, 183, 95, 23, L"远程控制地址：", true},
    {ControlId::超级链接框1, L"HotkeyRelayLink", 128, 183, 96, 23, nullptr, true},
    {ControlId::透明标签9, L"Static", 232, 184, 80, 20, L"By:Ostrevan", true},
};

std::wstring widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The host's name and first IPv4 address, as the resolver gives them.
struct HostIdentity {
    std::wstring name, address;
    HostIdentity() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        char host[256] = {};
        gethostname(host, sizeof host);
        name = widen(host);
        if (const hostent* entry = gethostbyname(host); entry && entry->h_addr_list[0])
            address = widen(inet_ntoa(*reinterpret_cast<in_addr*>(entry->h_addr_list[0])));
        WSACleanup();
    }
};

// Wine's desktop draws the notification area at the right end of its taskbar
// and gives no window per icon, so count the pixels of our icon there: its
// blue square has a red channel of 30, a colour nothing else there has.
int trayIconPixels() {
    const auto bars = topLevelWindows(L"Shell_TrayWnd");
    if (bars.empty() || !IsWindowVisible(bars.front())) return 0;
    RECT bar;
    GetWindowRect(bars.front(), &bar);
    HDC screen = GetDC(nullptr);
    int pixels = 0;
    for (int y = bar.top; y < bar.bottom; ++y)
        for (int x = std::max(bar.left, bar.right - 200); x < bar.right; ++x) {
            const COLORREF colour = GetPixel(screen, x, y);
            pixels += GetRValue(colour) == 30 && GetBValue(colour) > 100;
        }
    ReleaseDC(nullptr, screen);
    return pixels;
}

void minimise(HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void clickTray(HWND window, UINT mouseMessage) { PostMessageW(window, TrayCallback, 100, mouseMessage); }

bool isCentred(HWND window) {
    RECT outer;
    GetWindowRect(window, &outer);
    return outer.left == (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2 &&
           outer.top == (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2;
}

class LiteWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(programPath().empty()) << "RELAY_LITE_EXE names the program";
        ASSERT_NE(GetACP(), 936u) << "the window must be checked on a PC whose code page is not GBK";
    }
};

TEST_F(LiteWindowTest, ShowsTheLayoutCaptionAndAddressCentred) {
    ProgramUnderTest program(programPath());
    HWND window = program.mainWindow();
    ASSERT_TRUE(window);
    const HostIdentity host;

    EXPECT_EQ(textOf(window), L"Tavrelo—主机：" + host.name);
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 375);
    EXPECT_EQ(outer.bottom - outer.top, 234);
    EXPECT_TRUE(isCentred(window));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);

    for (const ExpectedControl& expected : liteControls) expectControlAsListed(program, expected);
    EXPECT_EQ(textOf(program.control(identifier(ControlId::超级链接框1))), host.address);
    EXPECT_FALSE(host.address.empty());
    // Nothing below the address line, and none of the full edition's extras.
    for (ControlId extra : {ControlId::按钮3, ControlId::按钮4, ControlId::编辑框1, ControlId::编辑框2, ControlId::列表框1})
        EXPECT_FALSE(program.control(identifier(extra)));
}

TEST_F(LiteWindowTest, MinimiseHidesIntoOneTrayIconAndAClickRestoresCentred) {
    ASSERT_EQ(trayIconPixels(), 0);
    ProgramUnderTest program(programPath());
    HWND window = program.mainWindow();
    ASSERT_TRUE(window);

    // Dragging never hides the window, and no icon shows before a minimise.
    SetWindowPos(window, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    waitFor([] { return false; }, 300);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(trayIconPixels(), 0);

    int oneIcon = 0;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        minimise(window);
        ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(window) && IsIconic(window); }));
        ASSERT_TRUE(waitFor([&] { return trayIconPixels() > 0; }));
        waitFor([] { return false; }, 300);
        if (round == 0) oneIcon = trayIconPixels();
        EXPECT_EQ(trayIconPixels(), oneIcon) << "a second minimise must replace the icon, not add one";

        // Right button and double-click do nothing; the left button's release restores.
        clickTray(window, WM_RBUTTONUP);
        clickTray(window, WM_CONTEXTMENU);
        clickTray(window, WM_LBUTTONDBLCLK);
        waitFor([] { return false; }, 300);
        EXPECT_FALSE(IsWindowVisible(window));

        clickTray(window, WM_LBUTTONUP);
        ASSERT_TRUE(waitFor([&] { return IsWindowVisible(window) && !IsIconic(window); }));
        EXPECT_TRUE(waitFor([&] { return isCentred(window); }));
        EXPECT_EQ(trayIconPixels(), oneIcon);  // the icon stays after a restore
        SetWindowPos(window, nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }

    // The exit button ends the program with code 0 and takes the icon with it.
    PostMessageW(program.control(identifier(ControlId::按钮2)), BM_CLICK, 0, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(program.waitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(waitFor([&] { return trayIconPixels() == 0; }));
}

TEST_F(LiteWindowTest, CloseBoxEndsTheProgramAndRemovesTheTrayIcon) {
    ASSERT_EQ(trayIconPixels(), 0);
    ProgramUnderTest program(programPath());
    HWND window = program.mainWindow();
    ASSERT_TRUE(window);
    minimise(window);
    ASSERT_TRUE(waitFor([&] { return trayIconPixels() > 0; }));
    clickTray(window, WM_LBUTTONUP);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(window) != FALSE; }));

    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(program.waitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(waitFor([&] { return trayIconPixels() == 0; }));
}

// Sets the default value of a key under HKEY_CLASSES_ROOT for the length of a
// test, creating the key if need be, and puts back what was there.
class ClassesRootDefault {
public:
    ClassesRootDefault(const std::wstring& key, const std::wstring& value) : key_(key) {
        DWORD disposition = 0;
        RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        &handle_, &disposition);
        created_ = disposition == REG_CREATED_NEW_KEY;
        wchar_t previous[1024] = {};
        DWORD size = sizeof previous;
        hadPrevious_ = RegQueryValueExW(handle_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(previous), &size) ==
                       ERROR_SUCCESS;
        previous_ = previous;
        set(value);
    }
    ~ClassesRootDefault() {
        if (hadPrevious_) set(previous_);
        RegCloseKey(handle_);
        if (created_) RegDeleteKeyW(HKEY_CLASSES_ROOT, key_.c_str());
    }

private:
    void set(const std::wstring& value) {
        RegSetValueExW(handle_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    std::wstring key_, previous_;
    HKEY handle_ = nullptr;
    bool created_ = false, hadPrevious_ = false;
};

// Stands in for the PC's browser: a shell command that writes the address it
// was given to a file, exactly as the program asked.
class RecordingBrowser {
public:
    RecordingBrowser(const wchar_t* commandKey, const std::wstring& log, const std::wstring& commandBeforeLog,
                     const std::wstring& commandAfterLog)
        : log_((DeleteFileW(log.c_str()), log)),
          command_(commandKey, commandBeforeLog + L"\"" + log + L"\"" + commandAfterLog) {}
    std::string opened() const {
        std::ifstream file(log_.c_str());
        std::string line;
        std::getline(file, line);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        while (!line.empty() && line.front() == ' ') line.erase(0, 1);
        return line;
    }

private:
    std::wstring log_;
    ClassesRootDefault command_;
};

constexpr wchar_t Cmd[] = L"C:\\windows\\system32\\cmd.exe /c ";

TEST_F(LiteWindowTest, TestButtonOpensTheBareHttpAddressInTheBrowser) {
    const std::wstring log = environmentPath("BROWSER_LOG");
    ASSERT_FALSE(log.empty());
    RecordingBrowser browser(L"http\\shell\\open\\command", log, std::wstring(Cmd) + L"echo %1>>", L"");

    ProgramUnderTest program(programPath());
    ASSERT_TRUE(program.mainWindow());
    PostMessageW(program.control(identifier(ControlId::按钮1)), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitFor([&] { return !browser.opened().empty(); }, 20000));
    const HostIdentity host;
    EXPECT_EQ(widen(browser.opened()), L"http://" + host.address);  // no port, no trailing slash
    EXPECT_TRUE(program.isRunning());
}

// Pixels of the link's text drawn mostly in red and mostly in blue.
std::pair<int, int> redAndBluePixels(HWND link) {
    RECT rect;
    GetWindowRect(link, &rect);
    HDC screen = GetDC(nullptr);
    int red = 0, blue = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) {
            const COLORREF colour = GetPixel(screen, x, y);
            red += GetRValue(colour) > 200 && GetGValue(colour) < 90 && GetBValue(colour) < 90;
            blue += GetBValue(colour) > 200 && GetRValue(colour) < 90 && GetGValue(colour) < 90;
        }
    ReleaseDC(nullptr, screen);
    return {red, blue};
}

TEST_F(LiteWindowTest, AddressLinkOpensTheBareAddressThroughTheWebPageProgramAndTurnsRed) {
    const std::wstring log = environmentPath("BROWSER_LOG");
    // The shell cannot open a bare address, so the link starts the program
    // registered for .htm files with the address after its command.
    ClassesRootDefault webPages(L".htm", L"htmlfile");
    RecordingBrowser browser(L"htmlfile\\shell\\open\\command", log, std::wstring(Cmd) + L">>", L" echo \"%1\"");
    ProgramUnderTest program(programPath());
    ASSERT_TRUE(program.mainWindow());
    HWND link = program.control(identifier(ControlId::超级链接框1));
    ASSERT_TRUE(waitFor([&] { return redAndBluePixels(link).second > 0; })) << "blue before any click";
    EXPECT_EQ(redAndBluePixels(link).first, 0);

    PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    ASSERT_TRUE(waitFor([&] { return !browser.opened().empty(); }, 20000));
    EXPECT_EQ(widen(browser.opened()), HostIdentity().address);
    EXPECT_TRUE(waitFor([&] { return redAndBluePixels(link).first > 0 && redAndBluePixels(link).second == 0; }))
        << "red once the click opened the address";
}

TEST_F(LiteWindowTest, TakenPortLeavesTheProgramRunningAndSaysWhyOnce) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET holder = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(80);
    ASSERT_EQ(bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(holder, 1), 0);

    ProgramUnderTest program(programPath());
    ASSERT_TRUE(program.mainWindow());
    std::vector<HWND> boxes;
    ASSERT_TRUE(waitFor([&] { return !(boxes = topLevelWindows(L"#32770", program.processId())).empty(); }));
    waitFor([] { return false; }, 500);
    EXPECT_EQ(topLevelWindows(L"#32770", program.processId()).size(), 1u);
    // The box's message is one of its children; find it by its words.
    std::wstring message;
    for (HWND child = GetWindow(boxes[0], GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (textOf(child).find(L"端口 80") != std::wstring::npos) message = textOf(child);
    EXPECT_NE(message.find(L"已被其他程序占用"), std::wstring::npos) << "no reason given";

    PostMessageW(boxes[0], WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitFor([&] { return topLevelWindows(L"#32770", program.processId()).empty(); }));
    waitFor([] { return false; }, 500);
    EXPECT_TRUE(program.isRunning());
    EXPECT_TRUE(IsWindowVisible(program.mainWindow()));
    closesocket(holder);
    WSACleanup();
}

}  // namespace
