// The application object the program starts through: it holds the command
// line (the text after the program name) and has one start-up entry.
#pragma once

#include <string>
#include <vector>

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    // Runs the application; the return value is ignored and the process ends.
    virtual bool InitInstance() = 0;

    // The exit status InitInstance leaves for the process (0: done).
    int m_exitStatus = 0;

    std::string m_lpCmdLine;
    // The arguments one by one as the program was given them (a folder
    // name may hold spaces); empty when only the line above was set.
    std::vector<std::string> m_args;

    // The one application object, or null.
    static CWinApp* Get();
};

// Puts the process's command line after the program name into the
// application's m_lpCmdLine, keeps argv[1..] one by one in m_args as well,
// and calls its InitInstance.  Returns the process exit status: the
// application's own, else 1 when the window system was needed and could not
// be reached, else 0.
int RunApplication(int argc, char** argv);

namespace plat {

// The process's command line after the program name: on Linux argv[1..]
// joined by spaces; on Windows the text Windows passed, as it was written.
std::string ProcessCommandLine(int argc, char** argv);

// The text after the program name of a Windows command line: a name
// starting with a quote ends at the next quote, any other at the first
// blank or tab; the blanks and tabs after it are skipped.
std::string CommandLineAfterProgramName(const char* commandLine);

}  // namespace plat
