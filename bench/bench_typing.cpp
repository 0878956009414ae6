// Typing into the keyword box as a person types, with the engine's
// suggestions on and off, while the event loop's answers to pings are timed.
#include "bench.h"

#include <fstream>
#include <random>
#include <thread>

namespace {

// An engine the user added whose description offers suggestions; its
// addresses are the page server's, through the views' proxy as always.
// (The chooser is typed in lower case; names compare without case.)
constexpr const char* SuggestingEngine = "bench suggest";
constexpr const char* SuggestingDescription =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<OpenSearchDescription xmlns=\"http://a9.com/-/spec/opensearch/1.1/\">\n"
    "  <ShortName>Bench Suggest</ShortName>\n"
    "  <Url type=\"text/html\" template=\"http://suggest.bench.example/search?q={searchTerms}\"/>\n"
    "  <Url type=\"application/x-suggestions+json\" "
    "template=\"http://suggest.bench.example/__bench/suggest?q={searchTerms}\"/>\n"
    "</OpenSearchDescription>\n";

// What is typed, a key and the time to the next one: about 9 characters a
// second within a word, a pause after some words (long enough for the list
// to come even at 400 ms), and a slip ("naer") put right with three
// backspaces.
struct Keystroke {
    std::string keysym;
    milliseconds gap;
};
std::vector<Keystroke> Phrase() {
    std::mt19937 random(21); // the same jitter every run
    std::uniform_int_distribution<int> jitter(-30, 30);
    std::vector<Keystroke> keys;
    auto type = [&](const std::string& text, int pauseAfter) {
        for (char c : text)
            keys.push_back({c == ' ' ? "space" : std::string(1, c), milliseconds(110 + jitter(random))});
        keys.back().gap += milliseconds(pauseAfter);
    };
    type("new york", 900);
    type(" city", 900);
    type(" hotels", 900);
    type(" naer", 400);
    for (int i = 0; i < 3; ++i)
        keys.push_back({"BackSpace", milliseconds(150)});
    type("ear central park", 0);
    return keys;
}

// How often the program's windows other than the main one were mapped: the
// suggestions list is one of them.
int PopupMaps(const XSession& x, pid_t pid) {
    int maps = 0;
    for (const auto& [id, state] : x.Windows())
        if (state.pid == pid && state.name != "Scoutwell")
            maps += state.maps;
    return maps;
}

int SuggestionRequests(const PageServer& server, Clock::time_point since) {
    int count = 0;
    for (const auto& arrival : server.ArrivalsSince(since))
        count += arrival.path.rfind(PageServer::SuggestionsPath, 0) == 0 ? 1 : 0;
    return count;
}

} // namespace

// The phrase typed with pings in between, until 1.5 s after the last key
// (the program's pause, the answer's delay and the list shown).
double Bench::TypeWithPings(XWindowId window) {
    const std::vector<Keystroke> keys = Phrase();
    auto nextKey = Clock::now();
    Clock::time_point lastKey{};
    std::size_t typed = 0, keysBeforeLongest = 0;
    double longest = 0;
    while (typed < keys.size() || Clock::now() - lastKey < milliseconds(1500)) {
        if (typed < keys.size() && Clock::now() >= nextKey) {
            m_x.Key(keys[typed].keysym.c_str());
            nextKey += keys[typed].gap;
            if (++typed == keys.size())
                lastKey = Clock::now();
        }
        const auto answer = m_x.Ping(window, milliseconds(5000));
        if (const double waited = answer ? Ms(*answer) : 5000.0; waited > longest)
            longest = waited, keysBeforeLongest = typed;
        std::this_thread::sleep_for(milliseconds(1));
    }
    // Where it was, to tell a stall of the typing from one of the list.
    Log("longest " + Fixed(longest, 0) + " ms, after key " + std::to_string(keysBeforeLongest) + " of " +
        std::to_string(keys.size()));
    return longest;
}

void Bench::TypingInstance(bool suggestions, int run) {
    const std::string mode = suggestions ? "on" : "off";
    const fs::path folder = NewInstanceFolder();
    fs::copy_file(m_options.program, folder / "scoutwell");
    const auto environment = Environment(ProgramAuto, folder / "home");
    // Both processes know the engine; only the user's setting differs.
    const fs::path config = folder / "home" / "config" / "scoutwell";
    fs::create_directories(config / "engines");
    std::ofstream(config / "engines" / "bench-suggest.xml") << SuggestingDescription;
    if (!suggestions)
        std::ofstream(config / "settings") << "suggest-while-typing=off\n";
    m_x.ForgetWindows();
    // The machine's load beside each process: a stall of a busy machine is not the program's.
    std::string load;
    std::getline(std::ifstream("/proc/loadavg"), load, ' ');
    Log("typing, suggestions " + mode + ", run " + std::to_string(run + 1) + ", 1-minute load " + load);

    ChildProcess program((folder / "scoutwell").string(), {}, environment, false);
    const pid_t pid = program.Pid();
    const auto main = WaitForWindow(
        pid, [](const auto& w) { return w.mapped && w.firstPainted && w.name == "Scoutwell"; },
        milliseconds(30000));
    if (!main) {
        Log("the program's main window did not appear");
        return;
    }
    Settle(milliseconds(3000));
    // The first pane's engine is the one with suggestions, as a user sets it.
    m_choosers = {"altavista", "lycos", "infoseek", "savvy search", "dogpile"};
    SetChoosers({SuggestingEngine, "lycos", "infoseek", "savvy search", "dogpile"});
    for (int delay : Delays) {
        m_server.SetDelay(milliseconds(delay));
        for (int r = 0; r < m_options.stallRuns; ++r) {
            Quiet();
            const auto start = Clock::now();
            const int mapsBefore = PopupMaps(m_x, pid);
            const double cpuBefore = MainThreadCpuSeconds(pid);
            const double stall = TypeWithPings(*main);
            const std::string key = mode + "." + std::to_string(delay);
            m_samples.Add("stall.typing." + key, stall);
            m_samples.Add("typing.main-cpu." + key, 1000 * (MainThreadCpuSeconds(pid) - cpuBefore));
            m_samples.Add("typing.requests." + key, SuggestionRequests(m_server, start));
            m_samples.Add("typing.lists." + key, PopupMaps(m_x, pid) - mapsBefore);
            // An empty box for the next run; emptying it closes the list.
            m_x.Key("a", true);
            m_x.Key("BackSpace");
            Settle(milliseconds(300));
        }
    }
    m_server.SetDelay(milliseconds(0));
}
