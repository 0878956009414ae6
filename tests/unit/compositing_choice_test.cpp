#include "compositing_choice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

RendererQuery Renderer(std::optional<std::string> name) {
    return [name] { return name; };
}

// The user's own setting decides without the renderer being asked at all:
// asking loads OpenGL, which costs start-up time.
RendererQuery MustNotBeAsked() {
    return []() -> std::optional<std::string> {
        ADD_FAILURE() << "the renderer was asked although the user had decided";
        return "llvmpipe (LLVM 15.0.6, 256 bits)";
    };
}

} // namespace

TEST(IsSoftwareRenderer, KnowsTheSoftwareRenderersByName) {
    for (const char* name : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer",
                             "SwiftShader Device (LLVM 10.0.0)", "D3D12 (Microsoft Basic Render Driver)",
                             "LLVMPIPE (LLVM 11.0.1, 128 bits)"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsSoftwareRenderer(name));
    }
}

TEST(IsSoftwareRenderer, HardwareRenderersThatNameLlvmAreNotSoftware) {
    for (const char* name : {"AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49, 6.1.0-18-amd64)",
                             "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "NVIDIA GeForce GTX 1060/PCIe/SSE2",
                             "virgl (Mesa Intel(R) Xe Graphics (TGL GT2))", "Apple M1", ""}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IsSoftwareRenderer(name));
    }
}

TEST(ShouldDisableCompositing, OffOnlyWhenTheRendererIsKnownToBeSoftware) {
    EXPECT_TRUE(
        ShouldDisableCompositing(std::nullopt, std::nullopt, Renderer("llvmpipe (LLVM 15.0.6, 256 bits)")));
    EXPECT_FALSE(
        ShouldDisableCompositing(std::nullopt, std::nullopt, Renderer("Mesa Intel(R) UHD Graphics 620")));
    // No OpenGL to ask, or no answer: WebKit's own default stands.
    EXPECT_FALSE(ShouldDisableCompositing(std::nullopt, std::nullopt, Renderer(std::nullopt)));
}

TEST(ShouldDisableCompositing, TheUsersOwnSettingWinsWhateverItsValue) {
    // "0" asks WebKit to keep compositing; an empty value is still a choice.
    for (const char* value : {"0", "1", ""}) {
        SCOPED_TRACE(value);
        EXPECT_FALSE(ShouldDisableCompositing(value, std::nullopt, MustNotBeAsked()));
        EXPECT_FALSE(ShouldDisableCompositing(std::nullopt, value, MustNotBeAsked()));
    }
}

class ChooseCompositingModeTest : public testing::Test {
protected:
    void SetUp() override {
        Save("WEBKIT_DISABLE_COMPOSITING_MODE", m_disable);
        Save("WEBKIT_FORCE_COMPOSITING_MODE", m_force);
        unsetenv("WEBKIT_DISABLE_COMPOSITING_MODE");
        unsetenv("WEBKIT_FORCE_COMPOSITING_MODE");
    }
    void TearDown() override {
        Restore("WEBKIT_DISABLE_COMPOSITING_MODE", m_disable);
        Restore("WEBKIT_FORCE_COMPOSITING_MODE", m_force);
    }
    static std::optional<std::string> Get(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }

private:
    static void Save(const char* name, std::optional<std::string>& into) { into = Get(name); }
    static void Restore(const char* name, const std::optional<std::string>& value) {
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    std::optional<std::string> m_disable, m_force;
};

TEST_F(ChooseCompositingModeTest, SetsWebKitsVariableForASoftwareRenderer) {
    EXPECT_TRUE(ChooseCompositingMode(Renderer("llvmpipe (LLVM 15.0.6, 256 bits)")));
    EXPECT_EQ(Get("WEBKIT_DISABLE_COMPOSITING_MODE"), "1");
}

TEST_F(ChooseCompositingModeTest, LeavesTheEnvironmentAloneForHardware) {
    EXPECT_FALSE(ChooseCompositingMode(Renderer("NVIDIA GeForce GTX 1060/PCIe/SSE2")));
    EXPECT_EQ(Get("WEBKIT_DISABLE_COMPOSITING_MODE"), std::nullopt);
}

TEST_F(ChooseCompositingModeTest, TheUserHasChosenWhenEitherVariableIsSetWhateverItsValue) {
    EXPECT_FALSE(UserChoseCompositing());
    setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "", 1);
    EXPECT_TRUE(UserChoseCompositing());
    unsetenv("WEBKIT_DISABLE_COMPOSITING_MODE");
    setenv("WEBKIT_FORCE_COMPOSITING_MODE", "0", 1);
    EXPECT_TRUE(UserChoseCompositing());
}

TEST_F(ChooseCompositingModeTest, KeepsTheUsersValue) {
    setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "0", 1);
    EXPECT_FALSE(ChooseCompositingMode(MustNotBeAsked()));
    EXPECT_EQ(Get("WEBKIT_DISABLE_COMPOSITING_MODE"), "0");

    unsetenv("WEBKIT_DISABLE_COMPOSITING_MODE");
    setenv("WEBKIT_FORCE_COMPOSITING_MODE", "1", 1);
    EXPECT_FALSE(ChooseCompositingMode(MustNotBeAsked()));
    EXPECT_EQ(Get("WEBKIT_DISABLE_COMPOSITING_MODE"), std::nullopt);
}
