#pragma once

#include "browser_view.h"
#include "wx_placement.h"

#include <memory>

class PageGuard;

class wxWebView;
class wxWindow;
typedef struct _WebKitBackForwardList WebKitBackForwardList;
typedef struct _WebKitBackForwardListItem WebKitBackForwardListItem;

// A BrowserView over wxWebView (WebKitGTK). The view is a child of the given
// window, which owns and destroys it.
class WebKitBrowserView : public BrowserView {
public:
    // Creates the view with no address and an empty history.
    explicit WebKitBrowserView(wxWindow* parent);
    ~WebKitBrowserView() override;

    void Navigate(const std::wstring& url) override;
    void GoBack() override;
    void GoForward() override;
    void Stop() override;
    std::wstring LocationURL() const override;

    float Left() const override { return m_placement.Left(); }
    float Top() const override { return m_placement.Top(); }
    float Width() const override { return m_placement.Width(); }
    float Height() const override { return m_placement.Height(); }
    void SetLeft(float twips) override { m_placement.SetLeft(twips); }
    void SetTop(float twips) override { m_placement.SetTop(twips); }
    void SetWidth(float twips) override { m_placement.SetWidth(twips); }
    void SetHeight(float twips) override { m_placement.SetHeight(twips); }
    bool Visible() const override { return m_placement.Visible(); }
    void SetVisible(bool visible) override { m_placement.SetVisible(visible); }

    wxWebView* View() const { return m_view; }

private:
    void GoTo(WebKitBackForwardListItem* item);

    wxWebView* m_view;
    WebKitBackForwardList* m_list; // the view's own
    WxPlacement m_placement;
    bool m_navigated = false;
    std::unique_ptr<PageGuard> m_guard;
};
