#include "compositing_choice.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

RendererQuery Renderer(std::optional<std::string> name) {
    return [name] { return name; };
}

RendererQuery MustNotBeAsked() { // asking loads OpenGL; the user's own setting decides without it
    return []() -> std::optional<std::string> {
        ADD_FAILURE() << "the renderer was asked although the user had decided";
        return "llvmpipe";
    };
}

} // namespace

TEST(IsSoftwareRenderer, KnowsTheSoftwareRenderersAndNotHardwareThatNamesLlvm) {
    for (const char* name : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer",
                             "SwiftShader Device (LLVM 10.0.0)", "D3D12 (Microsoft Basic Render Driver)"})
        EXPECT_TRUE(IsSoftwareRenderer(name)) << name;
    for (const char* name :
         {"AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49, 6.1.0-18-amd64)",
          "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "virgl (Mesa Intel(R) Xe Graphics)", ""})
        EXPECT_FALSE(IsSoftwareRenderer(name)) << name;
}

// The renderer is asked only when the user set neither of WebKit's variables (an empty value is a choice
// too); only a software renderer turns compositing off.
TEST(ChooseCompositingMode, SetsWebKitsVariableOnlyForASoftwareRendererAndKeepsTheUsersValue) {
    const struct {
        const char *disable, *force; // nullptr: unset
        std::optional<std::string> renderer;
        bool chosen;
        std::string disableAfter;
    } cases[] = {
        {nullptr, nullptr, "llvmpipe (LLVM 15.0.6, 256 bits)", true, "1"},
        {nullptr, nullptr, "NVIDIA GeForce GTX 1060/PCIe/SSE2", false, "(unset)"},
        {nullptr, nullptr, std::nullopt, false, "(unset)"}, // no answer
        {"0", nullptr, {}, false, "0"},
        {"", nullptr, {}, false, ""},
        {nullptr, "", {}, false, "(unset)"},
        {nullptr, "1", {}, false, "(unset)"},
    };
    for (const auto& c : cases) {
        for (const auto& [name, value] : {std::pair{"WEBKIT_DISABLE_COMPOSITING_MODE", c.disable},
                                          {"WEBKIT_FORCE_COMPOSITING_MODE", c.force}})
            value ? void(setenv(name, value, 1)) : void(unsetenv(name));
        const bool userSet = c.disable || c.force;
        EXPECT_EQ(UserChoseCompositing(), userSet);
        EXPECT_EQ(ChooseCompositingMode(userSet ? MustNotBeAsked() : Renderer(c.renderer)), c.chosen);
        const char* after = std::getenv("WEBKIT_DISABLE_COMPOSITING_MODE");
        EXPECT_EQ(after ? std::string(after) : "(unset)", c.disableAfter);
    }
    unsetenv("WEBKIT_DISABLE_COMPOSITING_MODE");
    unsetenv("WEBKIT_FORCE_COMPOSITING_MODE");
}
