#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <system_error>

#include "app/Controls.h"
#include "app/DesignTable.h"
#include "app/Fonts.h"
#include "app/GdiHandles.h"
#include "app/Pictures.h"
#include "platform/PlatformOps.h"
#include "repair/BrowserRepair.h"
#include "repair/ProgressView.h"

namespace tovask::app {

// The program's one window: its controls come from the design table, and each
// control event goes to one small handler. It is also the progress list and
// start-page box that the repair reports to.
class Form1 final : public ProgressView {
  public:
    Form1(PlatformOps& platform, HINSTANCE instance);
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Start-up up to the load step; the window stays hidden.
    std::error_code create();
    // Shows the window where create() placed it, with the focus in Text1.
    void show();
    // Keyboard navigation between the controls; true when the message has
    // been handled and must not be dispatched.
    bool translateKeyboard(MSG& message);

    HWND window() const { return window_; }
    HWND control(ControlId id) const { return controls_[id].window; }

    // What the handlers change on the controls.
    void setCaption(ControlId id, std::wstring_view text);
    void setLinkColour(ControlId id, COLORREF colour);
    void setLogoBorder(ControlId id, bool border);

    // ProgressView, over List1 and Text1.
    void clearList() override;
    void appendLine(std::wstring_view line) override;
    std::wstring startPage() const override;
    void setStartPage(std::wstring_view text) override;

  private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void onCommand(ControlId id, UINT notification);
    HBRUSH onColourStatic(HDC dc, HWND label);
    void onDrawItem(const DRAWITEMSTRUCT& item);
    bool onSetCursor(HWND target);
    void onActivate(bool active);
    void onDestroy();
    void onWindowGone();

    std::error_code createWindow();
    std::error_code createControls();
    void Form_Load();

    void btndesblo_Click();
    void btndeshacer_Click();

    // Which handler a click on a control runs; one row per handled control.
    struct ClickRoute {
        ControlId control;
        void (Form1::*handler)();
    };
    static const ClickRoute kClickRoutes[];

    PlatformOps& platform_;
    HINSTANCE instance_;
    BrowserRepair repair_;
    int dpi_;
    FontSet fonts_;
    Picture logoInfo1_;
    Picture logoInfo2_;
    ScopedIcon bigIcon_;
    ScopedIcon smallIcon_;
    HCURSOR handCursor_ = nullptr;
    ControlSet controls_;
    HWND window_ = nullptr;
    // Where the focus was when another window became active, to put it back.
    HWND lastFocus_ = nullptr;
};

}  // namespace tovask::app
