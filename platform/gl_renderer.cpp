#include "gl_renderer.h"

#include <dlfcn.h>

#include <cstdint>
#include <cstring>

namespace {

// The few EGL and GL names used here, as the Khronos headers define them, so
// that building needs no EGL development package.
using EGLDisplay = void*;
using EGLContext = void*;
using EGLSurface = void*;
using EGLConfig = void*;
using EGLint = std::int32_t;
using EGLBoolean = unsigned;
using EGLenum = unsigned;

constexpr EGLint EglNone = 0x3038;
constexpr EGLint EglExtensions = 0x3055;
constexpr EGLint EglSurfaceType = 0x3033;
constexpr EGLint EglPbufferBit = 0x0001;
constexpr EGLint EglRenderableType = 0x3040;
constexpr EGLint EglOpenGlEs2Bit = 0x0004;
constexpr EGLint EglWidth = 0x3057;
constexpr EGLint EglHeight = 0x3056;
constexpr EGLint EglContextClientVersion = 0x3098;
constexpr EGLenum EglOpenGlEsApi = 0x30A0;
constexpr EGLenum EglPlatformSurfacelessMesa = 0x31DD;
constexpr unsigned GlRenderer = 0x1F01;

bool HasExtension(const char* extensions, const char* name) {
    if (extensions == nullptr)
        return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at != nullptr; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == extensions || at[-1] == ' ';
        const bool endsWord = at[length] == '\0' || at[length] == ' ';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

class Egl {
public:
    Egl() : m_library(dlopen("libEGL.so.1", RTLD_NOW | RTLD_LOCAL)) {
        if (m_library == nullptr)
            return;
        load(getProcAddress, "eglGetProcAddress");
        load(getDisplay, "eglGetDisplay");
        load(initialize, "eglInitialize");
        load(terminate, "eglTerminate");
        load(queryString, "eglQueryString");
        load(bindApi, "eglBindAPI");
        load(chooseConfig, "eglChooseConfig");
        load(createContext, "eglCreateContext");
        load(destroyContext, "eglDestroyContext");
        load(createPbufferSurface, "eglCreatePbufferSurface");
        load(destroySurface, "eglDestroySurface");
        load(makeCurrent, "eglMakeCurrent");
        load(releaseThread, "eglReleaseThread");
    }
    // The library stays loaded: WebKit loads it in this process anyway, and
    // drivers do not all survive being unloaded.

    bool Loaded() const { return m_complete && m_library != nullptr; }

    void* (*getProcAddress)(const char*) = nullptr;
    EGLDisplay (*getDisplay)(void*) = nullptr;
    EGLBoolean (*initialize)(EGLDisplay, EGLint*, EGLint*) = nullptr;
    EGLBoolean (*terminate)(EGLDisplay) = nullptr;
    const char* (*queryString)(EGLDisplay, EGLint) = nullptr;
    EGLBoolean (*bindApi)(EGLenum) = nullptr;
    EGLBoolean (*chooseConfig)(EGLDisplay, const EGLint*, EGLConfig*, EGLint, EGLint*) = nullptr;
    EGLContext (*createContext)(EGLDisplay, EGLConfig, EGLContext, const EGLint*) = nullptr;
    EGLBoolean (*destroyContext)(EGLDisplay, EGLContext) = nullptr;
    EGLSurface (*createPbufferSurface)(EGLDisplay, EGLConfig, const EGLint*) = nullptr;
    EGLBoolean (*destroySurface)(EGLDisplay, EGLSurface) = nullptr;
    EGLBoolean (*makeCurrent)(EGLDisplay, EGLSurface, EGLSurface, EGLContext) = nullptr;
    EGLBoolean (*releaseThread)() = nullptr;

private:
    template <typename Function> void load(Function& function, const char* name) {
        if (m_library != nullptr)
            function = reinterpret_cast<Function>(dlsym(m_library, name));
        m_complete = m_complete && function != nullptr;
    }

    void* m_library;
    bool m_complete = true;
};

// A display without a window: the platform WebKit renders on when it can.
EGLDisplay OpenDisplay(const Egl& egl) {
    const char* clientExtensions = egl.queryString(nullptr, EglExtensions);
    if (HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        using GetPlatformDisplay = EGLDisplay (*)(EGLenum, void*, const std::intptr_t*);
        auto getPlatformDisplay =
            reinterpret_cast<GetPlatformDisplay>(egl.getProcAddress("eglGetPlatformDisplay"));
        if (getPlatformDisplay == nullptr)
            getPlatformDisplay =
                reinterpret_cast<GetPlatformDisplay>(egl.getProcAddress("eglGetPlatformDisplayEXT"));
        if (getPlatformDisplay != nullptr) {
            if (EGLDisplay display = getPlatformDisplay(EglPlatformSurfacelessMesa, nullptr, nullptr))
                return display;
        }
    }
    return egl.getDisplay(nullptr);
}

// Makes a small OpenGL ES 2 context current, with no surface where the
// driver allows it and a 1x1 off-screen one otherwise. Returns the surface
// made, if any, through surface.
EGLContext MakeContextCurrent(const Egl& egl, EGLDisplay display, EGLSurface& surface) {
    const EGLint contextAttributes[] = {EglContextClientVersion, 2, EglNone};
    const char* extensions = egl.queryString(display, EglExtensions);
    if (HasExtension(extensions, "EGL_KHR_surfaceless_context") &&
        (HasExtension(extensions, "EGL_KHR_no_config_context") ||
         HasExtension(extensions, "EGL_MESA_configless_context"))) {
        if (EGLContext context = egl.createContext(display, nullptr, nullptr, contextAttributes)) {
            if (egl.makeCurrent(display, nullptr, nullptr, context))
                return context;
            egl.destroyContext(display, context);
        }
    }
    const EGLint configAttributes[] = {EglSurfaceType, EglPbufferBit, EglRenderableType, EglOpenGlEs2Bit,
                                       EglNone};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!egl.chooseConfig(display, configAttributes, &config, 1, &count) || count < 1)
        return nullptr;
    const EGLint surfaceAttributes[] = {EglWidth, 1, EglHeight, 1, EglNone};
    surface = egl.createPbufferSurface(display, config, surfaceAttributes);
    if (surface == nullptr)
        return nullptr;
    if (EGLContext context = egl.createContext(display, config, nullptr, contextAttributes)) {
        if (egl.makeCurrent(display, surface, surface, context))
            return context;
        egl.destroyContext(display, context);
    }
    egl.destroySurface(display, surface);
    surface = nullptr;
    return nullptr;
}

using GetString = const unsigned char* (*)(unsigned);

GetString FindGetString(const Egl& egl) {
    // EGL hands out core GL functions only where it says so; otherwise they
    // come from the GLES library itself.
    if (HasExtension(egl.queryString(nullptr, EglExtensions), "EGL_KHR_client_get_all_proc_addresses")) {
        if (auto function = reinterpret_cast<GetString>(egl.getProcAddress("glGetString")))
            return function;
    }
    if (void* gles = dlopen("libGLESv2.so.2", RTLD_NOW | RTLD_LOCAL))
        return reinterpret_cast<GetString>(dlsym(gles, "glGetString"));
    return nullptr;
}

} // namespace

std::optional<std::string> QueryGlRenderer() {
    const Egl egl;
    if (!egl.Loaded())
        return std::nullopt;
    EGLDisplay display = OpenDisplay(egl);
    EGLint major = 0, minor = 0;
    if (display == nullptr || !egl.initialize(display, &major, &minor))
        return std::nullopt;

    std::optional<std::string> renderer;
    EGLSurface surface = nullptr;
    if (egl.bindApi(EglOpenGlEsApi)) {
        if (EGLContext context = MakeContextCurrent(egl, display, surface)) {
            if (const GetString getString = FindGetString(egl)) {
                if (const unsigned char* name = getString(GlRenderer))
                    renderer = reinterpret_cast<const char*>(name);
            }
            egl.makeCurrent(display, nullptr, nullptr, nullptr);
            egl.destroyContext(display, context);
        }
    }
    if (surface != nullptr)
        egl.destroySurface(display, surface);
    egl.terminate(display);
    egl.releaseThread();
    return renderer;
}
