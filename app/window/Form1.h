#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <system_error>

#include "app/window/WindowOps.h"
#include "app/window/controls/Controls.h"
#include "app/window/design/DesignTable.h"
#include "app/window/design/Fonts.h"
#include "app/window/drawing/GdiHandles.h"
#include "app/window/drawing/Pictures.h"
#include "platform/PlatformOps.h"
#include "repair/report/ProgressView.h"
#include "repair/run/BrowserRepair.h"

namespace tovask::app {

// The program's one window: its controls come from the design table, and each
// control event goes to one small handler. It is also the progress list and
// start-page box that the repair reports to, and it shows the repair's notices.
class Form1 final : public ProgressView {
  public:
    Form1(PlatformOps& platform, WindowOps& windowOps, HINSTANCE instance);
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
    // The pointer messages of the controls, seen on their way to them.
    void notePointer(const MSG& message);

    HWND window() const { return window_; }
    HWND control(ControlId id) const { return controls_[id].window; }

    // What the handlers change on the controls.
    void setCaption(ControlId id, std::wstring_view text);
    void setLinkColour(ControlId id, COLORREF colour);
    void setLogoBorder(ControlId id, bool border);

    // ProgressView, over List1 and Text1, and message boxes.
    void clearList() override;
    void appendLine(std::wstring_view line) override;
    void setStartPage(std::wstring_view text) override;
    void showNotice(const Notice& notice) override;
    bool confirm(const Notice& question) override;
    bool offer(const Notice& question) override;

    // What a press of the repair button asks for: the page typed in Text1,
    // and every kind of finding offered.
    RunRequest runRequest() const;
    // The consent of the repair: the findings dialog.
    std::vector<FindingId> chooseFindings(const FindingsOffer& offer);

  private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(HWND sender, UINT notification);
    void onMouseMove(HWND target, POINT point);
    void onMouseDown(HWND target, UINT message);
    void onMouseUp(HWND target, UINT message, WPARAM buttonsDown, POINT point);
    HBRUSH onColourStatic(HDC dc, HWND label);
    void onDrawItem(const DRAWITEMSTRUCT& item);
    bool onSetCursor(HWND target);
    void onActivate(bool active);
    void onDestroy();
    void onWindowGone();

    std::error_code createWindow();
    std::error_code createControls();
    void Form_Load();
    HWND nextReachableTabStop(bool backwards) const;

    // Clicks.
    void btndesblo_Click();
    void btndeshacer_Click();
    void btnsalir_Click();
    void btnacerca_Click();
    void btnTovask_Click();
    void LabelLinkforo_Click();
    void LabelForo1_Click();
    void LabelForo2_Click();
    void LabelForo3_Click();
    void LabelInfo1_Click();
    void LabelInfo2_Click();
    void LogoInfo1_Click();
    void LogoInfo2_Click();

    // Pointer moves: hover help and link colours.
    void Form_MouseMove();
    void Picture1_MouseMove();
    void LabelCuerpo_MouseMove();
    void btndesblo_MouseMove();
    void btndeshacer_MouseMove();
    void btnsalir_MouseMove();
    void btnacerca_MouseMove();
    void LabelLinkforo_MouseMove();
    void LabelForo1_MouseMove();
    void LabelForo2_MouseMove();
    void LabelForo3_MouseMove();
    void LabelInfo1_MouseMove();
    void LabelInfo2_MouseMove();

    // Mouse buttons held on the logos.
    void LogoInfo1_MouseDown();
    void LogoInfo1_MouseUp();
    void LogoInfo2_MouseDown();
    void LogoInfo2_MouseUp();

    void showDetails(std::wstring_view text);
    void paintLink(ControlId id, COLORREF colour);
    void turnPanelLinksBlue();
    void openSite(std::wstring_view url);
    void placeLinksInBody(std::wstring_view body);
    void moveControl(ControlId id, POINT topLeft);

    // Which handler an event of a control runs; one row per handled control.
    struct Route {
        ControlId control;
        void (Form1::*handler)();
    };
    struct ButtonRoute {
        ControlId control;
        void (Form1::*pressed)();
        void (Form1::*released)();
    };
    static const Route kClickRoutes[];
    static const Route kMouseMoveRoutes[];
    static const ButtonRoute kMouseButtonRoutes[];
    void runClick(ControlId id);
    void runMouseMove(ControlId id);
    void runMouseButton(ControlId id, bool pressed);

    PlatformOps& platform_;
    WindowOps& windowOps_;
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
    // The label or logo where the left button went down, while it is held:
    // releasing it there completes a click.
    HWND clickStartedOn_ = nullptr;
};

}  // namespace tovask::app
