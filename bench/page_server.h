#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "result_pages.h"

// Which five pages the server answers with: the first set (result_pages.h)
// or the heavy one (heavy_pages.h).
enum class PageSet { Plain, Heavy };

// The web as the benchmarks see it: an HTTP proxy on 127.0.0.1 that the web
// views are pointed at (http_proxy), so the engines' real addresses reach it
// and nothing leaves the machine. Every host is answered with one of the five
// result pages, each request after the delay set; the pages' style sheets,
// scripts and pictures may be cached, the pages themselves not, as with a
// real engine. A page reports its load event back (see result_pages.h).
class PageServer {
public:
    using Clock = std::chrono::steady_clock;

    explicit PageServer(PageSet set = PageSet::Plain);
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    // Any host's address under this path answers as an engine's suggestions
    // do: PATH + the encoded query gets the query and eight completions.
    static inline const std::string SuggestionsPath = "/__bench/suggest?q=";

    std::string ProxyAddress() const { return "http://127.0.0.1:" + std::to_string(m_port); }

    // Hosts that get pages 0, 1, 2, ... in this order; any other host gets
    // one by a hash of its name.
    void SetHosts(std::vector<std::string> hosts);
    void SetDelay(std::chrono::milliseconds delay) { m_delayMs = static_cast<int>(delay.count()); }

    // Pages served so far carry the serials 1 to LastSerial().
    long LastSerial() const;
    // Requests being answered right now (the reports excepted).
    int Busy() const { return m_busy; }

    // Every request but the load reports, as it arrived.
    struct Arrival {
        Clock::time_point at;
        std::string method, host, path;
    };
    std::vector<Arrival> ArrivalsSince(Clock::time_point since) const;

    // Waits until each of the given pages, served with a serial above
    // afterSerial, has reported its load; the time each report arrived.
    std::optional<std::map<int, Clock::time_point>> WaitForLoads(long afterSerial, const std::set<int>& pages,
                                                                 std::chrono::milliseconds timeout) const;

private:
    struct Request {
        std::string method, target, host, path;
        std::size_t contentLength = 0;
        bool close = false;
    };
    struct Load {
        int page;
        Clock::time_point at;
    };

    void AcceptLoop();
    void Serve(int connection);
    std::string Answer(const Request& request);
    int PageOfHost(const std::string& host) const;

    int m_listener = -1;
    int m_port = 0;
    std::atomic<int> m_delayMs{0};
    std::atomic<int> m_busy{0};
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_loaded;
    std::vector<std::string> m_hosts;
    // Made once: the pages cut where their serial goes, and their files.
    std::vector<std::vector<std::string>> m_pages;
    std::map<std::string, PageAsset> m_assets;
    long m_serial = 0;
    std::map<long, int> m_pageOfSerial;
    std::map<long, Load> m_loads; // by serial
    std::vector<Arrival> m_arrivals;
    std::vector<int> m_connections;
    std::vector<std::thread> m_workers;
    std::thread m_acceptor;
    bool m_stopping = false;
};
