// The concrete saver: its one window (full-screen or a preview child), the
// window procedure with the input rules, and frame pacing.
#pragma once

#include <cstdint>

#include "host/screensaver_app.h"
#include "platform/globals.h"

// The saver's pace: one frame every 11 ms, 90.9 frames a second.
const int32_t kFramePeriodMs = 11;

// Draws a frame when the process clock has moved a whole frame period past
// the start of the last one.
void PacedFrame();

class CTestScreensaver : public CScreensaverApp {
public:
    plat::HWND m_hSaverWnd = 0;

    CTestScreensaver() = default;

    plat::HWND CreateSaverWindow() override;
    void SaverFrame() override { PacedFrame(); }
    void EndSaver() override {}
    void ResumeSaver() override {}
    void Configure() override {}
    plat::HWND CreatePreviewWindow(plat::HWND parent) override;
    void PreviewFrame() override { PacedFrame(); }
    void EndPreview() override {}
    void ResumePreview() override {}
    const char* GetCompanyKey() override { return "CorvelScreenSavers"; }
    int32_t MsUntilNextFrame() override;
    // The frame-rate read-out when asked, and a seed of this process's own
    // (one process runs on each monitor).
    void PrepareHack(const HackLaunch& launch) override;
    void ReadStartupOptions() override;

private:
    plat::HWND CreateWindowFor(plat::HWND parent);
};

plat::LRESULT SaverWindowProc(plat::HWND hwnd, uint32_t message, plat::WPARAM wParam,
                              plat::LPARAM lParam);
