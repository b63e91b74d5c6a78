// The screen-saver application: run modes, the full-screen and preview
// loops, and the system's password services.  A concrete saver supplies the
// ten hooks.
#pragma once

#include "platform/platform.h"
#include "platform/win_app.h"

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

    // Chooses the mode from the command line and runs it; returns false so
    // the process ends.
    bool InitInstance() override;

    void RunSaver();
    void RunPreview(plat::HWND parent);
    plat::HWND CreateTestPreviewWindow();
    bool VerifyPassword(plat::HWND hwnd);
    void ChangePassword();
};

// Whether this process has registered the test-preview host's class.
extern bool g_previewHostClassRegistered;

// The test-preview host window's procedure: paints itself black.
plat::LRESULT PreviewHostWindowProc(plat::HWND hwnd, uint32_t message, plat::WPARAM wParam,
                                    plat::LPARAM lParam);
