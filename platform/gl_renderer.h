#pragma once

#include <optional>
#include <string>

// The name of the OpenGL renderer this process would get (GL_RENDERER, as
// "llvmpipe (LLVM 15.0.6, 256 bits)" or "Mesa Intel(R) UHD Graphics 620"),
// asked through EGL the way WebKit asks for its own. Nothing when the system
// has no EGL or no renderer answers. Loads EGL at run time: the program needs
// no OpenGL package to build or to start.
std::optional<std::string> QueryGlRenderer();
