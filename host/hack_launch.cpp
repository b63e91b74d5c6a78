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

bool ParseHackLaunch(const std::vector<std::string>& args, const char* envWindow, HackLaunch* out) {
    HackLaunch h;
    bool hackForm = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (Is(a, "root")) {
            h.root = hackForm = true;
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
        } else if (a.rfind("--data=", 0) == 0) {
            h.hasData = true;
            h.data = a.substr(7);
        } else if (Is(a, "window-id")) {
            hackForm = true;
            if (i + 1 < args.size() && ParseWindowId(args[i + 1], &h.windowId)) {
                h.hasWindowId = true;
                ++i;
            }
        } else if (a.rfind("--window-id=", 0) == 0) {
            hackForm = true;
            h.hasWindowId = ParseWindowId(a.substr(12), &h.windowId);
        }
    }
    if (!hackForm) return false;
    if (!h.hasWindowId) {
        uintptr_t id = 0;
        if (envWindow && ParseWindowId(envWindow, &id)) {
            h.windowId = id;
            h.hasWindowId = true;
        } else {
            h.useRootWindow = true;
        }
    }
    *out = h;
    return true;
}
