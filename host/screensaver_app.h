// The screen-saver application: run modes, the full-screen and preview
// loops, and the system's password services.  A concrete saver supplies the
// ten hooks.
#pragma once

#include "platform/application.h"
#include "platform/platform.h"

struct HackLaunch;

class CScreensaverApp : public CWinApp {
public:
    // Hooks, in slot order.
    virtual plat::HWND CreateSaverWindow() = 0;
    virtual void SaverFrame() = 0;
    virtual void EndSaver() = 0;
    virtual void ResumeSaver() = 0;
    virtual void Configure() = 0;
    virtual plat::HWND CreatePreviewWindow(plat::HWND parent) = 0;
    virtual void PreviewFrame() = 0;
    virtual void EndPreview() = 0;
    virtual void ResumePreview() = 0;
    virtual const char* GetCompanyKey() = 0;

    // Milliseconds until the frame hook will next draw (0: now).  The run
    // loops sleep that long when no message is waiting instead of spinning.
    virtual int32_t MsUntilNextFrame() = 0;
    // Called by RunHack before the window is made, with what the launch
    // form asked for.
    virtual void PrepareHack(const HackLaunch& launch) = 0;
    // Reads the data directory and the options at start-up, once the
    // command line is known: from the show folder a launch names, when it
    // names one.
    virtual void ReadStartupOptions() = 0;

    // Chooses the mode from the command line and runs it; returns false so
    // the process ends.
    bool InitInstance() override;

    void RunSaver();
    void RunPreview(plat::HWND parent) { RunPreviewLoop(parent, false); }
    // The XScreenSaver form: a preview in the window it names (or in a
    // window of its own when it names none) that follows that window's
    // size.  Input never ends it.
    void RunHack(const HackLaunch& launch);
    plat::HWND CreateTestPreviewWindow();
    bool VerifyPassword(plat::HWND hwnd);
    void ChangePassword();

private:
    // A captioned window a quarter of the screen, centred, that paints
    // itself black: the host of the previews in a window of their own.
    plat::HWND CreateHostWindow(const char* title);
    void RunPreviewLoop(plat::HWND parent, bool followParentSize);
    // Sleeps until a message may be waiting or the next frame is due.
    void WaitForWork();
};

// The test-preview host window's procedure: paints itself black.
plat::LRESULT PreviewHostWindowProc(plat::HWND hwnd, uint32_t message, plat::WPARAM wParam,
                                    plat::LPARAM lParam);
