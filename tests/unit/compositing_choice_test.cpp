#include "compositing_choice.h"

#include <gtest/gtest.h>

#include <cstdlib>

// The renderer is asked only when the user set neither of WebKit's variables (an empty value is a choice
// too; asking loads OpenGL); only a software renderer turns compositing off, not hardware that names LLVM.
TEST(ChooseCompositingMode, SetsWebKitsVariableOnlyForASoftwareRendererAndKeepsTheUsersValue) {
    const struct {
        const char *disable, *force; // nullptr: unset
        std::optional<std::string> renderer;
        std::string disableAfter;
    } cases[] = {
        {nullptr, nullptr, "llvmpipe (LLVM 15.0.6, 256 bits)", "1"},
        {nullptr, nullptr, "AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49)", "(unset)"},
        {nullptr, nullptr, std::nullopt, "(unset)"}, // no answer
        {"", nullptr, {}, ""},
        {nullptr, "1", {}, "(unset)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.renderer.value_or(c.disable ? c.disable : "-"));
        for (const auto& [name, value] : {std::pair{"WEBKIT_DISABLE_COMPOSITING_MODE", c.disable},
                                          {"WEBKIT_FORCE_COMPOSITING_MODE", c.force}})
            value ? void(setenv(name, value, 1)) : void(unsetenv(name));
        const bool userSet = c.disable || c.force;
        EXPECT_EQ(UserChoseCompositing(), userSet);
        bool asked = false;
        const bool chosen = ChooseCompositingMode([&] {
            asked = true;
            return c.renderer;
        });
        EXPECT_EQ(asked, !userSet);
        const char* after = std::getenv("WEBKIT_DISABLE_COMPOSITING_MODE");
        EXPECT_EQ(after ? std::string(after) : "(unset)", c.disableAfter);
        EXPECT_EQ(chosen, !userSet && c.disableAfter == "1");
    }
    unsetenv("WEBKIT_DISABLE_COMPOSITING_MODE");
    unsetenv("WEBKIT_FORCE_COMPOSITING_MODE");
}
