#include "host/hack_launch.h"

#include <cctype>

bool ParseWindowId(const std::string& text, uintptr_t* id) {
    size_t i = 0;
    while (i < text.size() && std::isspace((unsigned char)text[i])) ++i;
    int base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    unsigned long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * (unsigned)base + (unsigned)digit;
        if (value > 0xFFFFFFFFull) return false;
    }
    if (value == 0) return false;
    *id = (uintptr_t)value;
    return true;
}

static bool Is(const std::string& arg, const char* name) {
    // Both "-name" and "--name".
    return arg == std::string("-") + name || arg == std::string("--") + name;
}

static bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

static bool IsHackForm(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (StartsWith(a, "--") || a == "-root" || a == "-window-id") return true;
    return false;
}

HackCommand ParseHackLaunch(const std::vector<std::string>& args, const char* envWindow,
                            HackLaunch* out, std::string* problem) {
    if (!IsHackForm(args)) return HACK_NOT_GIVEN;
    HackLaunch h;
    bool help = false, version = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (Is(a, "root")) {
            h.root = true;
        } else if (Is(a, "fps")) {
            h.fps = true;
        } else if (Is(a, "trail") || Is(a, "no-trail")) {
            h.trail = Is(a, "trail") ? 1 : 0;
        } else if (Is(a, "letterbox") || Is(a, "no-letterbox")) {
            h.letterbox = Is(a, "letterbox") ? 1 : 0;
        } else if (Is(a, "data")) {
            // The next argument is the folder whatever it looks like: a
            // folder may be named like a switch.
            h.hasData = true;
            h.data = i + 1 < args.size() ? args[++i] : std::string();
        } else if (StartsWith(a, "--data=")) {
            h.hasData = true;
            h.data = a.substr(7);
        } else if (Is(a, "window-id") || StartsWith(a, "--window-id=")) {
            const bool joined = StartsWith(a, "--window-id=");
            if (!joined && i + 1 >= args.size()) {
                *problem = "--window-id needs a window id";
                return HACK_BAD;
            }
            const std::string value = joined ? a.substr(12) : args[++i];
            if (!ParseWindowId(value, &h.windowId)) {
                *problem = "--window-id \"" + value + "\" is not a window id (0x... or decimal)";
                return HACK_BAD;
            }
            h.hasWindowId = true;
        } else if (Is(a, "help")) {
            help = true;
        } else if (Is(a, "version")) {
            version = true;
        } else {
            *problem =
                (StartsWith(a, "-") ? "unknown option \"" : "unexpected argument \"") + a + "\"";
            return HACK_BAD;
        }
    }
    if (help) return HACK_HELP;
    if (version) return HACK_VERSION;
    if (!h.hasWindowId) {
        uintptr_t id = 0;
        if (!h.root) {
            h.ownWindow = true;
        } else if (envWindow && ParseWindowId(envWindow, &id)) {
            h.windowId = id;
            h.hasWindowId = true;
        } else {
            h.useRootWindow = true;
        }
    }
    *out = h;
    return HACK_RUN;
}

const char* HackUsage() {
    return "Usage: wavendell [OPTION]...\n"
           "Wavendell fountains: an OpenGL screen saver of water fountains.\n"
           "\n"
           "  --root               draw in the window $XSCREENSAVER_WINDOW names, else\n"
           "                       on the root window (how XScreenSaver runs it)\n"
           "  --window-id ID       draw in the X window ID (0x... or decimal); wins over\n"
           "                       --root\n"
           "  --data FOLDER        play the show in FOLDER (or the defaultScenario.xml\n"
           "                       in it) instead of the installed one\n"
           "  --trail, --no-trail  the motion-blur trail on or off for this run\n"
           "  --letterbox, --no-letterbox\n"
           "                       letterbox the picture to 16:10, or fill the window\n"
           "  --fps                show the frame rate\n"
           "  --help               print this help and exit\n"
           "  --version            print the version and exit\n"
           "Each option also takes one dash.  Without --root or --window-id the saver\n"
           "draws in a window of its own.  A line without an argument that begins with\n"
           "\"--\" takes the Windows switches, in any case and anywhere on it:\n"
           "  /s                   full screen, ending on input\n"
           "  /p ID                a preview inside the X window ID (decimal)\n"
           "  /testpreview         a preview in a window of its own\n"
           "  /c, /a, or nothing   end at once (no settings dialog, no password)\n"
           "\n"
           "Exit status: 0 when done, 1 when the X display cannot be opened, 2 for an\n"
           "unknown option; stopped by SIGTERM or SIGINT, it ends by that signal.\n";
}

std::string HackVersionLine() {
    return std::string("wavendell (Wavendell fountains) ") + WAVENDELL_VERSION + "\n";
}
