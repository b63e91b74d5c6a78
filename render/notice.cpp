#include "render/notice.h"

#include <cstring>

#include "platform/clock_ticks.h"
#include "platform/globals.h"
#include "render/overlay_text.h"

namespace {

constexpr int kMaxLines = 4;

// Bytes of text that make up to `columns` characters (a UTF-8 sequence is
// one), and whether the text goes on past them.
int BytesForColumns(const char* text, int columns, bool* more) {
    int bytes = 0;
    for (int n = 0; text[bytes] && n < columns; ++n) {
        ++bytes;
        while (((unsigned char)text[bytes] & 0xC0) == 0x80) ++bytes;
    }
    *more = text[bytes] != '\0';
    return bytes;
}

}  // namespace

void DrawNotice(int32_t clockMs) {
    if (!g_run.notice[0]) return;
    if (!g_run.noticeStarted) {
        g_run.noticeStarted = true;
        g_run.noticeStartMs = clockMs;
    }
    const int32_t shown = plat::TickDiff(clockMs, g_run.noticeStartMs);
    if (shown < 0 || shown >= kNoticeMs) return;

    const int w = g_run.windowWidth, h = g_run.windowHeight;
    const int scale = OverlayScale(h);
    const int margin = 4 * scale;
    int columns = (w - 2 * margin) / (6 * scale);
    if (columns < 1) return;
    char line[sizeof g_run.notice];
    if (columns > (int)sizeof line - 4) columns = (int)sizeof line - 4;
    const char* rest = g_run.notice;
    for (int i = 0; i < kMaxLines && *rest; ++i) {
        bool more = false;
        int bytes = BytesForColumns(rest, columns, &more);
        // Break at the last space that fits, when there is one.
        if (more && i + 1 < kMaxLines) {
            int space = bytes;
            while (space > 0 && rest[space] != ' ') --space;
            if (space > 0) bytes = space;
        }
        std::memcpy(line, rest, (size_t)bytes);
        line[bytes] = '\0';
        // The last line that has room ends in "..." when the text goes on.
        if (more && i + 1 == kMaxLines) {
            int keep = BytesForColumns(rest, columns > 3 ? columns - 3 : 0, &more);
            std::memcpy(line + keep, "...", 4);
        }
        const int top = h - margin - i * 9 * scale;
        DrawOverlayText(line, margin, top - 7 * scale, scale, w, h);
        rest += bytes;
        while (*rest == ' ') ++rest;
    }
}
