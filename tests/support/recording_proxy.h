#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// An HTTP proxy on 127.0.0.1 (http_proxy) recording each absolute URL the web views ask for and answering
// with a small page: a test sees exactly what each view asked for, and no request leaves the machine.
class RecordingProxy {
public:
    struct Response {
        int status = 200; // 0: the connection is closed with no answer
        std::string contentType = "text/html; charset=utf-8";
        std::string body{};
        std::string headers{}; // further header lines, each ending in CR LF
        std::chrono::milliseconds delay{0};
    };
    using Responder = std::function<Response(const std::string& url)>;

    RecordingProxy();
    ~RecordingProxy();

    std::string Address() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    std::vector<std::string> Requests() const; // every absolute URL requested so far, in arrival order
    void ClearRequests();
    void SetResponder(Responder responder); // nullptr for DefaultPage
    // A page naming its URL, with a link "next" to a further page on the same host.
    static Response DefaultPage(const std::string& url);

private:
    void Serve(int connection);

    int m_listener = -1;
    int m_port = 0;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    Responder m_responder;
    std::vector<std::thread> m_workers;
    std::thread m_acceptor;
};
