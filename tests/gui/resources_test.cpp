#include "program_resources.h"

#include <gtest/gtest.h>
#include <wx/bitmap.h>

#include <set>
#include <tuple>

namespace {

wxImage IconImage(const wxIconBundle& bundle, int size) {
    const wxIcon icon = bundle.GetIcon(wxSize(size, size), wxIconBundle::FALLBACK_NONE);
    if (!icon.IsOk())
        return {};
    return wxBitmap(icon).ConvertToImage();
}

bool Transparent(const wxImage& image, int x, int y) {
    if (image.HasAlpha())
        return image.GetAlpha(x, y) == wxIMAGE_ALPHA_TRANSPARENT;
    return image.HasMask() && image.IsTransparent(x, y);
}

} // namespace

TEST(ResourcesTest, TheProgramIconHasBothSizesIn16ColoursWithTransparentCorners) {
    const wxIconBundle bundle = ProgramIcon();
    EXPECT_EQ(bundle.GetIconCount(), 2u);
    for (const int size : {16, 32}) {
        const wxImage image = IconImage(bundle, size);
        ASSERT_TRUE(image.IsOk()) << size;
        EXPECT_EQ(image.GetSize(), wxSize(size, size));
        // The magnifier's handle leaves the top right corner free.
        EXPECT_TRUE(Transparent(image, size - 1, 0)) << size;
        std::set<std::tuple<int, int, int>> colours;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                if (!Transparent(image, x, y))
                    colours.insert({image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)});
            }
        }
        EXPECT_LE(colours.size(), 16u) << size;
        EXPECT_GE(colours.size(), 4u) << size;
    }
}

TEST(ResourcesTest, TheSplashLogoIsA163By105ColourPicture) {
    const wxImage logo = SplashLogo();
    ASSERT_TRUE(logo.IsOk());
    EXPECT_EQ(logo.GetSize(), wxSize(163, 105));
    int coloured = 0;
    for (int y = 0; y < logo.GetHeight(); ++y) {
        for (int x = 0; x < logo.GetWidth(); ++x) {
            if (std::abs(logo.GetRed(x, y) - logo.GetBlue(x, y)) > 40)
                ++coloured;
        }
    }
    EXPECT_GT(coloured, logo.GetWidth() * logo.GetHeight() / 4);
}
