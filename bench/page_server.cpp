#include "page_server.h"

#include "heavy_pages.h"

#include <arpa/inet.h>
#include <glib.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string_view>

namespace {

bool SendAll(int connection, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = send(connection, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string Response(int status, const char* reason, const std::string& type, const std::string& cache,
                     const std::string& body) {
    return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Type: " + type +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nCache-Control: " + cache + "\r\n\r\n" +
           body;
}

// What an engine's suggestions address answers (OpenSearch suggestions JSON):
// the query and eight completions of it, about the size of a real answer.
std::string SuggestionsJson(std::string encoded) {
    std::replace(encoded.begin(), encoded.end(), '+', ' ');
    gchar* decoded = g_uri_unescape_string(encoded.c_str(), nullptr);
    std::string query = decoded != nullptr ? decoded : "";
    g_free(decoded);
    std::erase_if(query, [](char c) { return c == '"' || c == '\\'; }); // nothing to escape in the JSON
    std::string json = "[\"" + query + "\",[";
    const char* endings[] = {"",      " hotels",       " weather", " map", " restaurants",
                             " news", " things to do", " events"};
    for (const char* ending : endings)
        json += "\"" + query + ending + "\",";
    json.back() = ']';
    return json + ",[],[]]";
}

} // namespace

PageServer::PageServer(PageSet set) {
    constexpr std::string_view Marker = "999999999";
    for (int page = 0; page < ResultPageCount; ++page) {
        const std::string marked =
            set == PageSet::Heavy ? HeavyPageHtml(page, 999999999) : ResultPageHtml(page, 999999999);
        std::vector<std::string> pieces;
        std::size_t start = 0;
        for (auto at = marked.find(Marker); at != std::string::npos; at = marked.find(Marker, start)) {
            pieces.push_back(marked.substr(start, at - start));
            start = at + Marker.size();
        }
        pieces.push_back(marked.substr(start));
        m_pages.push_back(std::move(pieces));
        if (set == PageSet::Heavy)
            continue;
        for (const char* name :
             {"style-%d.css", "app-%d.js", "logo-%d.png", "thumb1-%d.png", "thumb2-%d.png"}) {
            char file[32];
            std::snprintf(file, sizeof file, name, page);
            m_assets[file] = *ResultPageAsset(file);
        }
    }
    if (set == PageSet::Heavy)
        m_assets = HeavyPageAssets();
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0)
        throw std::runtime_error("page server: no socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 128) != 0)
        throw std::runtime_error("page server: cannot listen on 127.0.0.1");
    socklen_t length = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { AcceptLoop(); });
}

PageServer::~PageServer() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        for (int connection : m_connections)
            shutdown(connection, SHUT_RDWR);
    }
    shutdown(m_listener, SHUT_RDWR);
    close(m_listener);
    m_acceptor.join();
    for (auto& worker : m_workers)
        worker.join();
}

void PageServer::SetHosts(std::vector<std::string> hosts) {
    std::lock_guard lock(m_mutex);
    m_hosts = std::move(hosts);
}

long PageServer::LastSerial() const {
    std::lock_guard lock(m_mutex);
    return m_serial;
}

int PageServer::PageOfHost(const std::string& host) const {
    const auto known = std::find(m_hosts.begin(), m_hosts.end(), host);
    if (known != m_hosts.end())
        return static_cast<int>((known - m_hosts.begin()) % ResultPageCount);
    return static_cast<int>(std::hash<std::string>{}(host) % ResultPageCount);
}

std::vector<PageServer::Arrival> PageServer::ArrivalsSince(Clock::time_point since) const {
    std::lock_guard lock(m_mutex);
    const auto first = std::find_if(m_arrivals.begin(), m_arrivals.end(),
                                    [&](const Arrival& arrival) { return arrival.at >= since; });
    return std::vector<Arrival>(first, m_arrivals.end());
}

std::optional<std::map<int, PageServer::Clock::time_point>>
PageServer::WaitForLoads(long afterSerial, const std::set<int>& pages,
                         std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    std::map<int, Clock::time_point> found;
    const bool done = m_loaded.wait_for(lock, timeout, [&] {
        found.clear();
        for (auto it = m_loads.upper_bound(afterSerial); it != m_loads.end(); ++it) {
            if (pages.count(it->second.page) && !found.count(it->second.page))
                found[it->second.page] = it->second.at;
        }
        return found.size() == pages.size();
    });
    if (!done)
        return std::nullopt;
    return found;
}

void PageServer::AcceptLoop() {
    for (;;) {
        const int connection = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        std::lock_guard lock(m_mutex);
        if (connection < 0 || m_stopping) {
            if (connection >= 0)
                close(connection);
            return;
        }
        const int on = 1;
        setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        m_connections.push_back(connection);
        m_workers.emplace_back([this, connection] { Serve(connection); });
    }
}

// One connection, kept alive for as many requests as the client sends.
void PageServer::Serve(int connection) {
    std::string buffer;
    char chunk[16384];
    for (;;) {
        std::size_t end;
        while ((end = buffer.find("\r\n\r\n")) == std::string::npos) {
            const ssize_t n = recv(connection, chunk, sizeof chunk, 0);
            if (n <= 0 || buffer.size() > (1u << 20))
                goto done;
            buffer.append(chunk, static_cast<std::size_t>(n));
        }
        Request request;
        {
            const std::string head = buffer.substr(0, end);
            std::size_t lineEnd = head.find("\r\n");
            const std::string line = head.substr(0, lineEnd);
            const auto first = line.find(' '), second = line.find(' ', first + 1);
            if (first == std::string::npos || second == std::string::npos)
                goto done;
            request.method = line.substr(0, first);
            request.target = line.substr(first + 1, second - first - 1);
            request.close = line.substr(second + 1) == "HTTP/1.0";
            while (lineEnd != std::string::npos && lineEnd < head.size()) {
                const std::size_t next = head.find("\r\n", lineEnd + 2);
                const std::string header = head.substr(
                    lineEnd + 2, next == std::string::npos ? std::string::npos : next - lineEnd - 2);
                const auto colon = header.find(':');
                if (colon != std::string::npos) {
                    const std::string name = Lower(header.substr(0, colon));
                    std::string value = header.substr(colon + 1);
                    value.erase(0, value.find_first_not_of(' '));
                    if (name == "content-length")
                        request.contentLength = std::stoul(value);
                    else if (name == "host" && request.host.empty())
                        request.host = Lower(value);
                    else if ((name == "connection" || name == "proxy-connection") && Lower(value) == "close")
                        request.close = true;
                }
                lineEnd = next;
            }
        }
        buffer.erase(0, end + 4);
        while (buffer.size() < request.contentLength) {
            const ssize_t n = recv(connection, chunk, sizeof chunk, 0);
            if (n <= 0)
                goto done;
            buffer.append(chunk, static_cast<std::size_t>(n));
        }
        buffer.erase(0, request.contentLength);

        // Through a proxy the target is the absolute address.
        request.path = request.target;
        if (const auto scheme = request.target.find("://"); scheme != std::string::npos) {
            const auto path = request.target.find('/', scheme + 3);
            request.host = Lower(request.target.substr(
                scheme + 3, path == std::string::npos ? std::string::npos : path - scheme - 3));
            request.path = path == std::string::npos ? "/" : request.target.substr(path);
        }
        if (const auto port = request.host.find(':'); port != std::string::npos)
            request.host.erase(port);
        // No tunnels: everything is plain HTTP here.
        if (request.method == "CONNECT")
            request.close = true;

        if (!SendAll(connection, Answer(request)) || request.close)
            break;
    }
done:
    std::lock_guard lock(m_mutex);
    std::erase(m_connections, connection);
    close(connection);
}

std::string PageServer::Answer(const Request& request) {
    const auto now = Clock::now();
    static const std::string reportPath = "/__bench/loaded?serial=";
    if (request.path.rfind(reportPath, 0) == 0) {
        const long serial = std::atol(request.path.c_str() + reportPath.size());
        {
            std::lock_guard lock(m_mutex);
            const auto page = m_pageOfSerial.find(serial);
            if (page != m_pageOfSerial.end() && !m_loads.count(serial))
                m_loads[serial] = Load{page->second, now};
        }
        m_loaded.notify_all();
        return Response(204, "No Content", "text/plain", "no-store", "");
    }
    {
        std::lock_guard lock(m_mutex);
        m_arrivals.push_back({now, request.method, request.host, request.path});
    }
    if (request.method == "CONNECT")
        return Response(405, "Method Not Allowed", "text/plain", "no-store", "no tunnels");

    ++m_busy;
    std::this_thread::sleep_for(std::chrono::milliseconds(m_delayMs.load()));
    std::string answer;
    static const std::string assetPath = "/__bench/";
    if (request.path.rfind(SuggestionsPath, 0) == 0) {
        answer = Response(200, "OK", "application/x-suggestions+json", "no-store",
                          SuggestionsJson(request.path.substr(SuggestionsPath.size())));
    } else if (request.path.rfind(assetPath, 0) == 0) {
        if (const auto asset = m_assets.find(request.path.substr(assetPath.size())); asset != m_assets.end())
            answer =
                Response(200, "OK", asset->second.contentType, "public, max-age=86400", asset->second.body);
        else
            answer = Response(404, "Not Found", "text/plain", "no-store", "not here");
    } else if (request.path == "/favicon.ico") {
        answer = Response(404, "Not Found", "text/plain", "no-store", "not here");
    } else {
        long serial;
        int page;
        {
            std::lock_guard lock(m_mutex);
            serial = ++m_serial;
            page = PageOfHost(request.host);
            m_pageOfSerial[serial] = page;
        }
        const std::string serialText = std::to_string(serial);
        std::string html = m_pages[page].front();
        for (std::size_t piece = 1; piece < m_pages[page].size(); ++piece)
            html += serialText + m_pages[page][piece];
        answer = Response(200, "OK", "text/html; charset=utf-8", "no-store", html);
    }
    --m_busy;
    return answer;
}
