#pragma once

#include <functional>
#include <string>

class wxWebView;

// Finds text in one page with the web engine's own find, ignoring case and
// going round from the end to the start: every match is highlighted and the
// first one scrolled into view and selected. The number of matches arrives
// later, through the handler given at construction.
class PageFind {
public:
    // Matches beyond this many are reported as this many.
    static constexpr unsigned MostMatches = 999;

    PageFind(wxWebView* view, std::function<void(unsigned matches)> counted);
    ~PageFind();
    PageFind(const PageFind&) = delete;
    PageFind& operator=(const PageFind&) = delete;

    // Highlights text in the page and counts it; an empty text clears.
    void Search(const std::wstring& text);
    // The next or previous match after the one selected, once searched.
    void Step(bool forward);
    // Takes the highlights away.
    void Clear();

private:
    void* m_controller; // a WebKitFindController, held for the life of this object
    std::function<void(unsigned)> m_counted;
    bool m_searched = false;
};
