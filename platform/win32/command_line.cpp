// Windows hands a program its command line as one text; the C runtime's
// argv would lose its quoting and spacing.
#include <windows.h>

#include "platform/application.h"

namespace plat {

std::string ProcessCommandLine(int, char**) {
    return CommandLineAfterProgramName(GetCommandLineA());
}

}  // namespace plat
