#include "opensearch_offer.h"

#include "code_pages.h"
#include "failure.h"

#include <webkit2/webkit2.h>
#include <wx/webview.h>

#include <memory>
#include <optional>

namespace {

// Page scripts run in their own world, so a page that replaces fetch or
// querySelectorAll cannot change what the program sees.
constexpr const char* ScriptWorld = "scoutwell";

// One line per advertised description: title, unit separator, absolute
// address; lines joined by record separators. Control characters cannot
// reach a menu label.
constexpr const char* FindLinksScript = R"(
Array.from(document.querySelectorAll(
    'link[rel~="search" i][type="application/opensearchdescription+xml" i][href]'),
  link => ((link.title || location.hostname).replace(/[\x00-\x1f]/g, ' ').trim() || location.hostname) +
    '\x1f' + link.href).join('\x1e'))";

// Answers "ok", unit separator, the bytes in base64; or "error", unit
// separator, what was wrong. Arguments: href, limit (bytes).
constexpr const char* FetchScript = R"(
const target = new URL(href, document.baseURI);
if (target.origin !== location.origin)
  return 'error\x1fit is on another site (' + target.host + ') than the page';
let response;
try {
  response = await fetch(target, {credentials: 'same-origin', cache: 'no-store',
                                  signal: AbortSignal.timeout(30000)});
  if (new URL(response.url).origin !== location.origin)
    return 'error\x1fit was sent on to another site (' + new URL(response.url).host + ')';
  if (!response.ok)
    return 'error\x1fthe server answered ' + response.status + (response.statusText ? ' ' + response.statusText : '');
  const tooLarge = 'error\x1fit is larger than ' + Math.floor(limit / 1024) + ' KB';
  if (Number(response.headers.get('content-length')) > limit) {
    response.body?.cancel();
    return tooLarge;
  }
  const reader = response.body.getReader();
  const parts = [];
  let size = 0;
  for (;;) {
    const {done, value} = await reader.read();
    if (done)
      break;
    size += value.length;
    if (size > limit) {
      reader.cancel();
      return tooLarge;
    }
    parts.push(value);
  }
  let binary = '';
  for (const part of parts)
    for (let i = 0; i < part.length; i += 8192)
      binary += String.fromCharCode.apply(null, part.subarray(i, i + 8192));
  return 'ok\x1f' + btoa(binary);
} catch (failure) {
  return 'error\x1fit could not be fetched (' + failure.message + ')';
})";

struct Offer {
    wxWebView* view = nullptr; // null once the view is gone
    std::size_t maxBytes = 0;
    DescriptionFetched onFetched;
    std::vector<AdvertisedEngine> engines;
    std::string enginesPage; // the address the engines were read from
};

constexpr const char* OfferKey = "scoutwell-search-engine-offer";

std::shared_ptr<Offer>* OfferOf(WebKitWebView* webView) {
    return static_cast<std::shared_ptr<Offer>*>(g_object_get_data(G_OBJECT(webView), OfferKey));
}

WebKitWebView* WebKitViewOf(wxWebView* view) {
    return static_cast<WebKitWebView*>(view->GetNativeBackend());
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::wstring::npos)
            return parts;
        start = end + 1;
    }
}

// Takes the result of a script run and gives its text, or why there is none.
std::optional<std::wstring> ScriptText(JSCValue* value, GError* error, std::string& failure) {
    if (value == nullptr) {
        failure = error ? error->message : "the page's script engine gave no answer";
        if (error)
            g_error_free(error);
        return std::nullopt;
    }
    gchar* text = jsc_value_to_string(value);
    std::wstring result = DecodeUtf8(text ? text : "").value_or(std::wstring());
    g_free(text);
    g_object_unref(value);
    return result;
}

void OnLinksFound(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<std::weak_ptr<Offer>> weak(static_cast<std::weak_ptr<Offer>*>(data));
    GError* error = nullptr;
    JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
    std::string failure;
    const auto text = ScriptText(value, error, failure);
    const auto offer = weak->lock();
    if (!offer || !text)
        return;
    const char* page = webkit_web_view_get_uri(WEBKIT_WEB_VIEW(source));
    if (page == nullptr || offer->enginesPage != page)
        return; // the view has moved on to another page since
    offer->engines.clear();
    if (text->empty())
        return;
    for (const std::wstring& line : Split(*text, L'\x1e')) {
        const auto fields = Split(line, L'\x1f');
        if (fields.size() == 2)
            offer->engines.push_back({fields[0], fields[1]});
    }
}

void OnLoadChanged(WebKitWebView* webView, WebKitLoadEvent event, gpointer) {
    auto* offer = OfferOf(webView);
    if (offer == nullptr)
        return;
    if (event == WEBKIT_LOAD_STARTED) {
        (*offer)->engines.clear();
        (*offer)->enginesPage.clear();
    } else if (event == WEBKIT_LOAD_FINISHED) {
        const char* page = webkit_web_view_get_uri(webView);
        (*offer)->enginesPage = page ? page : "";
        webkit_web_view_evaluate_javascript(webView, FindLinksScript, -1, ScriptWorld, nullptr, nullptr,
                                            OnLinksFound, new std::weak_ptr<Offer>(*offer));
    }
}

struct Fetch {
    std::wstring title;
    std::weak_ptr<Offer> offer;
};

void OnFetched(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<Fetch> fetch(static_cast<Fetch*>(data));
    GError* error = nullptr;
    JSCValue* value =
        webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source), result, &error);
    FetchedDescription fetched{fetch->title, {}, {}};
    std::string failure;
    if (const auto text = ScriptText(value, error, failure)) {
        const auto fields = Split(*text, L'\x1f');
        if (fields.size() == 2 && fields[0] == L"ok") {
            gsize length = 0;
            guchar* bytes = g_base64_decode(EncodeUtf8(fields[1]).c_str(), &length);
            fetched.document.assign(reinterpret_cast<const char*>(bytes), length);
            g_free(bytes);
        } else {
            fetched.failure = fields.size() == 2 ? EncodeUtf8(fields[1]) : "the page's script gave no answer";
        }
    } else {
        fetched.failure = "it could not be fetched (" + failure + ")";
    }
    // The view may be destroyed while the fetch runs; its answer then goes nowhere.
    const auto offer = fetch->offer.lock();
    if (!offer || offer->view == nullptr)
        return;
    IgnoreFailure([&] { offer->onFetched(fetched); });
}

void FetchDescription(const std::shared_ptr<Offer>& offer, const AdvertisedEngine& engine) {
    GVariantBuilder arguments;
    g_variant_builder_init(&arguments, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&arguments, "{sv}", "href",
                          g_variant_new_string(EncodeUtf8(engine.address).c_str()));
    g_variant_builder_add(&arguments, "{sv}", "limit",
                          g_variant_new_double(static_cast<double>(offer->maxBytes)));
    webkit_web_view_call_async_javascript_function(WebKitViewOf(offer->view), FetchScript, -1,
                                                   g_variant_builder_end(&arguments), ScriptWorld, nullptr,
                                                   nullptr, OnFetched, new Fetch{engine.title, offer});
}

struct MenuChoice {
    std::weak_ptr<Offer> offer;
    AdvertisedEngine engine;
};

void OnAddChosen(GSimpleAction*, GVariant*, gpointer data) {
    const auto* choice = static_cast<MenuChoice*>(data);
    if (const auto offer = choice->offer.lock(); offer && offer->view)
        FetchDescription(offer, choice->engine);
}

gboolean OnContextMenu(WebKitWebView* webView, WebKitContextMenu* menu, GdkEvent*, WebKitHitTestResult*,
                       gpointer) {
    auto* offer = OfferOf(webView);
    if (offer == nullptr || (*offer)->engines.empty())
        return FALSE;
    webkit_context_menu_append(menu, webkit_context_menu_item_new_separator());
    for (const AdvertisedEngine& engine : (*offer)->engines) {
        GSimpleAction* action = g_simple_action_new("add-search-engine", nullptr);
        g_signal_connect_data(
            action, "activate", G_CALLBACK(OnAddChosen), new MenuChoice{*offer, engine},
            [](gpointer choice, GClosure*) { delete static_cast<MenuChoice*>(choice); }, GConnectFlags(0));
        const std::string label = "Add search engine \u201c" + EncodeUtf8(engine.title) + "\u201d";
        webkit_context_menu_append(
            menu, webkit_context_menu_item_new_from_gaction(G_ACTION(action), label.c_str(), nullptr));
        g_object_unref(action);
    }
    return FALSE;
}

} // namespace

void OfferAdvertisedEngines(wxWebView* view, std::size_t maxBytes, DescriptionFetched onFetched) {
    WebKitWebView* webView = WebKitViewOf(view);
    auto offer = std::make_shared<Offer>(Offer{view, maxBytes, std::move(onFetched), {}, {}});
    g_object_set_data_full(G_OBJECT(webView), OfferKey, new std::shared_ptr<Offer>(offer),
                           [](gpointer data) { delete static_cast<std::shared_ptr<Offer>*>(data); });
    g_signal_connect(webView, "load-changed", G_CALLBACK(OnLoadChanged), nullptr);
    g_signal_connect(webView, "context-menu", G_CALLBACK(OnContextMenu), nullptr);
    view->Bind(wxEVT_DESTROY, [view, weak = std::weak_ptr<Offer>(offer)](wxWindowDestroyEvent& event) {
        if (const auto offer = weak.lock(); offer && event.GetEventObject() == view)
            offer->view = nullptr;
        event.Skip();
    });
}

std::vector<AdvertisedEngine> AdvertisedEngines(wxWebView* view) {
    const auto* offer = OfferOf(WebKitViewOf(view));
    return offer ? (*offer)->engines : std::vector<AdvertisedEngine>{};
}
