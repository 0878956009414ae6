#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

class wxWebView;

// Asks an engine's suggestions address as the panes would ask it: a web view
// that is never shown, related to a pane's view, so the panes' network
// session, proxy and cookies apply and no other HTTP code is involved. Its
// scripts are off; only the answer's bytes are read.
class SuggestionFetch {
public:
    using Answered = std::function<void(const std::string& bytes)>;
    using Failed = std::function<void(const std::string& why)>;

    // pane: the view whose session is used; it outlives this object.
    SuggestionFetch(wxWebView* pane, std::size_t maxBytes, std::chrono::milliseconds timeLimit);
    ~SuggestionFetch();
    SuggestionFetch(const SuggestionFetch&) = delete;
    SuggestionFetch& operator=(const SuggestionFetch&) = delete;

    // Asks address, dropping the question still open (its callbacks are
    // never called). Exactly one of the callbacks is called later, from the
    // event loop: answered with the bytes of a success (status 200) of at
    // most maxBytes within the time limit; failed otherwise.
    void Ask(const std::string& address, Answered answered, Failed failed);
    // Drops the question still open, if any.
    void Cancel();

    struct State;

private:
    std::shared_ptr<State> m_state;
};
