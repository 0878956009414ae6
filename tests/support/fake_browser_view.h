#pragma once

#include "browser_view.h"
#include "failure.h"

#include <string>
#include <vector>

// Holds exactly what it is given, refusing negative sizes as real controls do.
template <typename Base = Placement> class FakePlacementOf : public Base {
public:
    float Left() const override { return m_place[0]; }
    float Top() const override { return m_place[1]; }
    float Width() const override { return m_place[2]; }
    float Height() const override { return m_place[3]; }
    void SetLeft(float twips) override { m_place[0] = twips; }
    void SetTop(float twips) override { m_place[1] = twips; }
    void SetWidth(float twips) override { m_place[2] = Size(twips); }
    void SetHeight(float twips) override { m_place[3] = Size(twips); }
    bool Visible() const override { return m_visible; }
    void SetVisible(bool visible) override { m_visible = visible; }

private:
    static float Size(float twips) { return twips < 0 ? throw ScoutwellError("negative size") : twips; }
    float m_place[4] = {};
    bool m_visible = true;
};

using FakePlacement = FakePlacementOf<>;

// A browser view that records where it was sent.
class FakeBrowserView : public FakePlacementOf<BrowserView> {
public:
    void Navigate(const std::wstring& url) override { navigations.push_back(url); }
    void GoBack() override {}
    void GoForward() override {}
    void Stop() override {}
    std::wstring LocationURL() const override { return navigations.empty() ? L"" : navigations.back(); }

    std::vector<std::wstring> navigations;
};
