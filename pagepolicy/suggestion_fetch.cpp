#include "suggestion_fetch.h"

#include "failure.h"

#include <webkit2/webkit2.h>
#include <wx/webview.h>

#include <utility>

struct SuggestionFetch::State {
    WebKitWebView* view = nullptr;
    std::size_t maxBytes = 0;
    std::chrono::milliseconds timeLimit{};
    unsigned serial = 0; // of the question open; a callback of an older one is dropped
    bool open = false;
    guint timer = 0;
    Answered answered;
    Failed failed;

    void StopTimer() {
        if (timer != 0)
            g_source_remove(timer);
        timer = 0;
    }

    // Ends the open question with a failure: the load is stopped so that no
    // more of the answer is fetched.
    void Fail(const std::string& why) {
        if (!open)
            return;
        open = false;
        StopTimer();
        webkit_web_view_stop_loading(view);
        const Failed callback = std::move(failed);
        answered = nullptr;
        callback(why);
    }

    void Answer(std::string bytes) {
        if (!open)
            return;
        open = false;
        StopTimer();
        const Answered callback = std::move(answered);
        failed = nullptr;
        callback(bytes);
    }
};

namespace {

using State = SuggestionFetch::State;

struct DataRequest {
    std::weak_ptr<State> state;
    unsigned serial;
};

void OnData(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<DataRequest> request(static_cast<DataRequest*>(data));
    gsize length = 0;
    GError* error = nullptr;
    guchar* bytes = webkit_web_resource_get_data_finish(WEBKIT_WEB_RESOURCE(source), result, &length, &error);
    std::string answer(reinterpret_cast<const char*>(bytes), bytes ? length : 0);
    g_free(bytes);
    const std::string why = error ? std::string("it could not be read (") + error->message + ")" : "";
    if (error)
        g_error_free(error);
    const auto state = request->state.lock();
    if (!state || state->serial != request->serial)
        return;
    if (!why.empty())
        state->Fail(why);
    else if (answer.size() > state->maxBytes)
        state->Fail("the answer is larger than " + std::to_string(state->maxBytes / 1024) + " KB");
    else
        state->Answer(std::move(answer));
}

State& StateOf(gpointer data) {
    return *static_cast<State*>(data);
}

// The answer's head decides whether its body is worth fetching.
gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                        gpointer data) {
    State& state = StateOf(data);
    if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
        // Only the address asked, and its redirects; never a window of its own.
        if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION || !state.open)
            webkit_policy_decision_ignore(decision);
        else
            webkit_policy_decision_use(decision);
        return TRUE;
    }
    WebKitURIResponse* response =
        webkit_response_policy_decision_get_response(WEBKIT_RESPONSE_POLICY_DECISION(decision));
    const guint status = webkit_uri_response_get_status_code(response);
    const guint64 length = webkit_uri_response_get_content_length(response);
    if (!state.open) {
        webkit_policy_decision_ignore(decision);
    } else if (status != 200) {
        webkit_policy_decision_ignore(decision);
        state.Fail("the server answered " + std::to_string(status));
    } else if (length > state.maxBytes) {
        webkit_policy_decision_ignore(decision);
        state.Fail("the answer is larger than " + std::to_string(state.maxBytes / 1024) + " KB");
    } else {
        webkit_policy_decision_use(decision);
    }
    return TRUE;
}

void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
    State& state = StateOf(data);
    if (event != WEBKIT_LOAD_FINISHED || !state.open)
        return;
    WebKitWebResource* resource = webkit_web_view_get_main_resource(view);
    if (resource == nullptr)
        return state.Fail("there is no answer");
    // The state is owned by a shared pointer that the view's data holds.
    auto* owner = static_cast<std::shared_ptr<State>*>(g_object_get_data(G_OBJECT(view), "scoutwell-state"));
    webkit_web_resource_get_data(resource, nullptr, OnData, new DataRequest{*owner, state.serial});
}

gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError* error, gpointer data) {
    // A load this object stopped or replaced ends as cancelled; that is no news.
    if (!g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) &&
        !g_error_matches(error, WEBKIT_POLICY_ERROR,
                         WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE))
        StateOf(data).Fail(std::string("it could not be fetched (") + error->message + ")");
    return TRUE; // no error page: nobody sees this view
}

gboolean OnTimeLimit(gpointer data) {
    State& state = StateOf(data);
    state.timer = 0;
    state.Fail("no answer within " + std::to_string(state.timeLimit.count()) + " ms");
    return G_SOURCE_REMOVE;
}

} // namespace

SuggestionFetch::SuggestionFetch(wxWebView* pane, std::size_t maxBytes, std::chrono::milliseconds timeLimit)
    : m_state(std::make_shared<State>()) {
    auto* related = static_cast<WebKitWebView*>(pane->GetNativeBackend());
    m_state->view = WEBKIT_WEB_VIEW(webkit_web_view_new_with_related_view(related));
    g_object_ref_sink(m_state->view);
    m_state->maxBytes = maxBytes;
    m_state->timeLimit = timeLimit;
    WebKitSettings* settings = webkit_settings_new_with_settings(
        "enable-javascript", FALSE, "auto-load-images", FALSE, "enable-page-cache", FALSE, nullptr);
    webkit_web_view_set_settings(m_state->view, settings);
    g_object_unref(settings);
    g_object_set_data_full(G_OBJECT(m_state->view), "scoutwell-state", new std::shared_ptr<State>(m_state),
                           [](gpointer data) { delete static_cast<std::shared_ptr<State>*>(data); });
    State* state = m_state.get();
    g_signal_connect(m_state->view, "decide-policy", G_CALLBACK(OnDecidePolicy), state);
    g_signal_connect(m_state->view, "load-changed", G_CALLBACK(OnLoadChanged), state);
    g_signal_connect(m_state->view, "load-failed", G_CALLBACK(OnLoadFailed), state);
}

SuggestionFetch::~SuggestionFetch() {
    Cancel();
    WebKitWebView* view = m_state->view;
    g_signal_handlers_disconnect_by_data(view, m_state.get());
    gtk_widget_destroy(GTK_WIDGET(view));
    g_object_unref(view);
}

void SuggestionFetch::Ask(const std::string& address, Answered answered, Failed failed) {
    Cancel();
    State& state = *m_state;
    state.open = true;
    state.answered = std::move(answered);
    state.failed = std::move(failed);
    state.timer = g_timeout_add(static_cast<guint>(state.timeLimit.count()), OnTimeLimit, &state);
    webkit_web_view_load_uri(state.view, address.c_str());
}

void SuggestionFetch::Cancel() {
    State& state = *m_state;
    ++state.serial;
    state.StopTimer();
    if (state.open) {
        state.open = false;
        state.answered = nullptr;
        state.failed = nullptr;
        webkit_web_view_stop_loading(state.view);
    }
}
