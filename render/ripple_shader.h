// The GLSL program that ripples the water surface.
#pragma once

#include "platform/globals.h"

// Builds the program from "shaders\ripple.vsh" and "shaders\ripple.fsh" in
// the data directory; false when either source cannot be read.
bool LoadRippleShader();

// The largest shader source file read.
const long kMaxShaderSourceBytes = 1024 * 1024;

// The whole file as a new NUL-terminated buffer (delete[]), or null when the
// path is null, the file cannot be opened, is empty or larger than
// kMaxShaderSourceBytes.
char* ReadTextFile(const char* path);
