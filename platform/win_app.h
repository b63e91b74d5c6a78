// The application object the program starts through: it holds the command
// line (the program's arguments joined by spaces) and has one start-up entry.
#pragma once

#include <string>

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    // Runs the application; the return value is ignored and the process ends.
    virtual bool InitInstance() = 0;

    std::string m_lpCmdLine;

    // The one application object, or null.
    static CWinApp* Get();
};

// Joins argv[1..] with spaces into the application's command line and calls
// its InitInstance.  Returns the process exit status.
int RunApplication(int argc, char** argv);
