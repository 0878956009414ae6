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

TEST(ShouldDisableCompositing, OffOnlyForAKnownSoftwareRendererAndTheUsersSettingWins) {
    EXPECT_TRUE(ShouldDisableCompositing(std::nullopt, std::nullopt, Renderer("llvmpipe (LLVM 15.0.6)")));
    EXPECT_FALSE(
        ShouldDisableCompositing(std::nullopt, std::nullopt, Renderer("Mesa Intel(R) UHD Graphics")));
    EXPECT_FALSE(ShouldDisableCompositing(std::nullopt, std::nullopt, Renderer(std::nullopt))); // no answer
    for (const char* value : {"0", "1", ""}) { // an empty value is still a choice
        EXPECT_FALSE(ShouldDisableCompositing(value, std::nullopt, MustNotBeAsked()));
        EXPECT_FALSE(ShouldDisableCompositing(std::nullopt, value, MustNotBeAsked()));
    }
}

TEST(ChooseCompositingMode, SetsWebKitsVariableOnlyForASoftwareRendererAndKeepsTheUsersValue) {
    const char* names[] = {"WEBKIT_DISABLE_COMPOSITING_MODE", "WEBKIT_FORCE_COMPOSITING_MODE"};
    const auto get = [](const char* name) {
        return std::getenv(name) ? std::string(std::getenv(name)) : "(unset)";
    };
    unsetenv(names[0]);
    unsetenv(names[1]);
    EXPECT_FALSE(ChooseCompositingMode(Renderer("NVIDIA GeForce GTX 1060/PCIe/SSE2")));
    EXPECT_EQ(get(names[0]), "(unset)");
    EXPECT_TRUE(ChooseCompositingMode(Renderer("llvmpipe (LLVM 15.0.6, 256 bits)")));
    EXPECT_EQ(get(names[0]), "1");
    setenv(names[0], "0", 1);
    EXPECT_FALSE(ChooseCompositingMode(MustNotBeAsked()));
    EXPECT_EQ(get(names[0]), "0");
    unsetenv(names[0]);
    setenv(names[1], "", 1);
    EXPECT_TRUE(UserChoseCompositing());
    EXPECT_FALSE(ChooseCompositingMode(MustNotBeAsked()));
    EXPECT_EQ(get(names[0]), "(unset)");
    unsetenv(names[1]);
}
