// Windows hands a program its command line as one text; the C runtime's
// argv would lose its quoting and spacing.
#include <windows.h>

#include "platform/application.h"
#include "platform/win32/utf16.h"

namespace plat {

std::string ProcessCommandLine(int, char**) {
    return CommandLineAfterProgramName(Utf8(GetCommandLineW()).c_str());
}

}  // namespace plat
