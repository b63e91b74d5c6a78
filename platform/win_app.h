// The application object the program starts through: it holds the command
// line (the program's arguments joined by spaces) and has one start-up entry.
#pragma once

#include <string>
#include <vector>

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    // Runs the application; the return value is ignored and the process ends.
    virtual bool InitInstance() = 0;

    std::string m_lpCmdLine;
    // The arguments one by one as the program was given them (a folder
    // name may hold spaces); empty when only the line above was set.
    std::vector<std::string> m_args;

    // The one application object, or null.
    static CWinApp* Get();
};

// Joins argv[1..] with spaces into the application's command line, keeps
// them one by one as well, and calls its InitInstance.  Returns the process exit status.
int RunApplication(int argc, char** argv);
