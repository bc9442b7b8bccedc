// A balloon-shaped tip that shows a text at a point of the screen and hides
// itself after its display time.
#pragma once

#include <string_view>

struct HWND__;

class BalloonTip {
public:
    static constexpr unsigned DisplayTimeMs = 3000;

    explicit BalloonTip(HWND__* owner) : owner_(owner) {}
    ~BalloonTip();
    BalloonTip(const BalloonTip&) = delete;
    BalloonTip& operator=(const BalloonTip&) = delete;

    // Shows the GBK text with the balloon's pointer at the screen point.
    bool show(int x, int y, std::string_view text);

private:
    void create();
    HWND__* owner_;
    HWND__* tip_ = nullptr;
    struct HFONT__* font_ = nullptr;
};
