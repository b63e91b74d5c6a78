#include "platform/win_app.h"

static CWinApp* g_theApp = nullptr;

CWinApp::CWinApp() { g_theApp = this; }

CWinApp::~CWinApp() {
    if (g_theApp == this) g_theApp = nullptr;
}

CWinApp* CWinApp::Get() { return g_theApp; }

int RunApplication(int argc, char** argv) {
    CWinApp* app = CWinApp::Get();
    if (!app) return 1;
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    app->m_lpCmdLine = line;
    if (argc > 1) app->m_args.assign(argv + 1, argv + argc);
    app->InitInstance();
    return 0;
}
