#include "program_resources.h"

#include <gtest/gtest.h>
#include <wx/bitmap.h>

// The artwork is embedded at build time: each picture must arrive whole.
TEST(ResourcesTest, TheIconsAndTheSplashLogoDecodeAtTheirSizes) {
    const wxIconBundle bundle = ProgramIcon();
    for (const int size : {16, 32}) {
        const wxIcon icon = bundle.GetIcon(wxSize(size, size), wxIconBundle::FALLBACK_NONE);
        ASSERT_TRUE(icon.IsOk()) << size;
        const wxImage image = wxBitmap(icon).ConvertToImage();
        EXPECT_EQ(image.GetSize(), wxSize(size, size));
        EXPECT_TRUE(image.HasAlpha() ? image.GetAlpha(size - 1, 0) == 0 : image.IsTransparent(size - 1, 0));
    }
    EXPECT_EQ(SplashLogo().GetSize(), wxSize(163, 105));
}
