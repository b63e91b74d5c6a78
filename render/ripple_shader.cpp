#include "render/ripple_shader.h"

#include <GL/glew.h>

#include <cstdio>
#include <vector>

#include "platform/file.h"
#include "platform/globals.h"

char* ReadTextFile(const char* path) {
    if (!path) return nullptr;
    FILE* f = plat::OpenFile(path, "r");
    if (!f) return nullptr;
    long n = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) n = std::ftell(f);
    std::rewind(f);
    // A source larger than any shader counts as unreadable too.
    if (n < 1 || n > kMaxShaderSourceBytes) {
        std::fclose(f);
        return nullptr;
    }
    char* text = new char[(size_t)n + 1];
    size_t got = std::fread(text, 1, (size_t)n, f);
    std::fclose(f);
    // Line ends: carriage returns before a newline are dropped, so sources
    // saved with CR LF read the same as LF ones.
    size_t out = 0;
    for (size_t i = 0; i < got; ++i) {
        if (text[i] == '\r' && i + 1 < got && text[i + 1] == '\n') continue;
        text[out++] = text[i];
    }
    text[out] = '\0';
    return text;
}

// Shows a failed compile or link once on standard error, so whoever edits
// the shader sources sees why the water is not rippling.
static void ReportLog(GLuint object, bool isProgram, const char* what) {
    GLint ok = 0, length = 0;
    if (isProgram) {
        glGetProgramiv(object, GL_LINK_STATUS, &ok);
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    } else {
        glGetShaderiv(object, GL_COMPILE_STATUS, &ok);
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    }
    if (ok) return;
    std::vector<char> log((size_t)(length > 1 ? length : 1), '\0');
    if (isProgram)
        glGetProgramInfoLog(object, (GLsizei)log.size(), nullptr, log.data());
    else
        glGetShaderInfoLog(object, (GLsizei)log.size(), nullptr, log.data());
    std::fprintf(stderr, "%s failed:\n%s\n", what, log.data());
}

bool LoadRippleShader() {
    GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);

    char path[256];
    char* vertexSource = nullptr;
    char* fragmentSource = nullptr;
    if (plat::FormatDataPath(path, sizeof path, "shaders\\ripple.vsh"))
        vertexSource = ReadTextFile(path);
    if (!vertexSource) return false;
    if (plat::FormatDataPath(path, sizeof path, "shaders\\ripple.fsh"))
        fragmentSource = ReadTextFile(path);
    if (!fragmentSource) {
        delete[] vertexSource;
        return false;
    }

    const GLchar* source = vertexSource;
    glShaderSource(vertex, 1, &source, nullptr);
    source = fragmentSource;
    glShaderSource(fragment, 1, &source, nullptr);
    delete[] vertexSource;
    delete[] fragmentSource;

    glCompileShader(vertex);
    glCompileShader(fragment);
    ReportLog(vertex, false, "ripple.vsh: compiling");
    ReportLog(fragment, false, "ripple.fsh: compiling");

    g_rippleProgram = glCreateProgram();
    glAttachShader(g_rippleProgram, fragment);
    glAttachShader(g_rippleProgram, vertex);
    glLinkProgram(g_rippleProgram);
    ReportLog(g_rippleProgram, true, "ripple shader: linking");
    return true;
}
