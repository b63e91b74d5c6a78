// The command line: the XScreenSaver launch form (with the input's last
// line as $XSCREENSAVER_WINDOW), the unwrapping of a show folder's path,
// and the run-mode switches with the preview handle.
#include <sstream>
#include <string>
#include <vector>

#include "host/hack_launch.h"
#include "host/run_mode.h"
#include "host/show_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input((const char*)data, size);
    const size_t lastLine = input.rfind('\n');
    const std::string line =
        input.substr(0, lastLine == std::string::npos ? input.size() : lastLine);
    const std::string env = lastLine == std::string::npos ? "" : input.substr(lastLine + 1);
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string w; words >> w;) args.push_back(w);
    HackLaunch launch;
    std::string problem;
    ParseHackLaunch(args, env.empty() ? nullptr : env.c_str(), &launch, &problem);
    UnwrappedPath(line);
    const std::string lowered = LowerCommandLine(line);
    ChooseRunMode(lowered);
    PreviewHandleFrom(lowered);
    return 0;
}
