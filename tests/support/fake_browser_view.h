#pragma once

#include "browser_view.h"
#include "failure.h"

#include <string>
#include <vector>

// A placement that holds exactly what it is given, refusing negative sizes as
// real controls do: the layout arithmetic can be checked to the twip.
template <typename Base = Placement> class FakePlacementOf : public Base {
public:
    float Left() const override { return m_left; }
    float Top() const override { return m_top; }
    float Width() const override { return m_width; }
    float Height() const override { return m_height; }
    void SetLeft(float twips) override { m_left = twips; }
    void SetTop(float twips) override { m_top = twips; }
    void SetWidth(float twips) override { m_width = Checked(twips); }
    void SetHeight(float twips) override { m_height = Checked(twips); }
    bool Visible() const override { return m_visible; }
    void SetVisible(bool visible) override { m_visible = visible; }

private:
    static float Checked(float size) {
        if (size < 0)
            throw ScoutwellError("negative size");
        return size;
    }
    float m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    bool m_visible = true;
};

using FakePlacement = FakePlacementOf<>;

// A browser view with a plain list as its history.
class FakeBrowserView : public FakePlacementOf<BrowserView> {
public:
    void Navigate(const std::wstring& url) override {
        navigations.push_back(url);
        history.resize(current + 1);
        history.push_back(url);
        ++current;
    }
    void GoBack() override {
        if (current <= 0)
            throw ScoutwellError("no earlier page");
        --current;
    }
    void GoForward() override {
        if (current + 1 >= static_cast<int>(history.size()))
            throw ScoutwellError("no later page");
        ++current;
    }
    void Stop() override { ++stops; }
    std::wstring LocationURL() const override { return current < 0 ? std::wstring() : history[current]; }

    std::vector<std::wstring> navigations;
    std::vector<std::wstring> history;
    int current = -1;
    int stops = 0;
};
