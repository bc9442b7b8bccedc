// A window's controls as a test expects to find them, and the check of one
// live control against that row.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include "core/window_layout.h"
#include "program_under_test.h"

inline int identifier(ControlId id) { return FirstControlIdentifier + static_cast<int>(id); }

struct ExpectedControl {
    ControlId id;
    const wchar_t* className;
    int x, y, width, height;  // in the main window's client area; 0 height: taller than given
    const wchar_t* text;      // nullptr: checked elsewhere
    bool enabled;
    bool visible = true;
};

inline RECT rectInParent(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

inline void expectControlAsListed(const ProgramUnderTest& program, const ExpectedControl& expected) {
    HWND control = program.control(identifier(expected.id));
    SCOPED_TRACE(static_cast<int>(expected.id));
    ASSERT_TRUE(control);
    wchar_t className[64] = {};
    GetClassNameW(control, className, 64);
    EXPECT_EQ(_wcsicmp(className, expected.className), 0);
    const RECT rect = rectInParent(control);
    EXPECT_EQ(rect.left, expected.x);
    EXPECT_EQ(rect.top, expected.y);
    EXPECT_EQ(rect.right - rect.left, expected.width);
    if (expected.height) EXPECT_EQ(rect.bottom - rect.top, expected.height);
    else EXPECT_GT(rect.bottom - rect.top, 23);  // an edit box is at least as tall as its 21-pixel font
    if (expected.text) EXPECT_EQ(textOf(control), expected.text);
    EXPECT_EQ(IsWindowEnabled(control) != FALSE, expected.enabled);
    EXPECT_EQ(IsWindowVisible(control) != FALSE, expected.visible);
}
