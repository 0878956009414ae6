#include "recording_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

RecordingProxy::RecordingProxy() {
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 64) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("the recording proxy cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] {
        for (int connection; (connection = accept(m_listener, nullptr, nullptr)) >= 0;)
            m_workers.emplace_back([this, connection] { Serve(connection); });
    });
}

RecordingProxy::~RecordingProxy() {
    shutdown(m_listener, SHUT_RDWR);
    close(m_listener);
    m_acceptor.join(); // only the acceptor adds workers
    for (auto& worker : m_workers)
        worker.join();
}

std::vector<std::string> RecordingProxy::Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void RecordingProxy::ClearRequests() {
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

void RecordingProxy::SetResponder(Responder responder) {
    std::lock_guard lock(m_mutex);
    m_responder = std::move(responder);
}

RecordingProxy::Response RecordingProxy::DefaultPage(const std::string& url) {
    const auto path = url.find('/', url.find("://") + 3);
    Response page;
    page.body = "<!doctype html><title>" + url + "</title><h1>" + url + "</h1><a id=\"next\" href=\"" +
                url.substr(0, path) + "/next\">next</a>";
    return page;
}

void RecordingProxy::Serve(int connection) {
    timeval timeout{5, 0};
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string request;
    char buffer[4096];
    for (ssize_t n; request.find("\r\n\r\n") == std::string::npos &&
                    (n = recv(connection, buffer, sizeof buffer, 0)) > 0;)
        request.append(buffer, static_cast<std::size_t>(n));
    const auto first = request.find(' '), second = request.find(' ', first + 1);
    if (second != std::string::npos) {
        const std::string url = request.substr(first + 1, second - first - 1);
        Responder responder;
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(url);
            responder = m_responder;
        }
        const Response response = responder ? responder(url) : DefaultPage(url);
        std::this_thread::sleep_for(response.delay);
        if (response.status == 0) { // a server that hangs up without an answer
            close(connection);
            return;
        }
        const std::string reply = "HTTP/1.1 " + std::to_string(response.status) +
                                  " OK\r\nContent-Type: " + response.contentType +
                                  "\r\nContent-Length: " + std::to_string(response.body.size()) +
                                  "\r\nCache-Control: no-store\r\nConnection: close\r\n" + response.headers +
                                  "\r\n" + response.body;
        for (std::size_t sent = 0; sent < reply.size();) {
            const ssize_t n = send(connection, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += static_cast<std::size_t>(n);
        }
    }
    shutdown(connection, SHUT_WR);
    close(connection);
}
