#include "platform/application.h"

#include "platform/platform.h"

static CWinApp* g_theApp = nullptr;

CWinApp::CWinApp() { g_theApp = this; }

CWinApp::~CWinApp() {
    if (g_theApp == this) g_theApp = nullptr;
}

CWinApp* CWinApp::Get() { return g_theApp; }

int RunApplication(int argc, char** argv) {
    CWinApp* app = CWinApp::Get();
    if (!app) return 1;
    app->m_lpCmdLine = plat::ProcessCommandLine(argc, argv);
    if (argc > 1) app->m_args.assign(argv + 1, argv + argc);
    app->InitInstance();
    if (app->m_exitStatus != 0) return app->m_exitStatus;
    return plat::Current().DisplayUnreachable() ? 1 : 0;
}

namespace plat {

std::string CommandLineAfterProgramName(const char* commandLine) {
    const char* p = commandLine ? commandLine : "";
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

}  // namespace plat
