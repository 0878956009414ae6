#include "recording_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace {

std::string ReadHeaders(int connection) {
    std::string data;
    char buffer[4096];
    while (data.find("\r\n\r\n") == std::string::npos && data.size() < 1 << 20) {
        const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return data;
}

void SendAll(int connection, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = send(connection, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
}

std::string HtmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Origin(const std::string& url) {
    const auto scheme = url.find("://");
    if (scheme == std::string::npos)
        return url;
    const auto path = url.find('/', scheme + 3);
    return path == std::string::npos ? url : url.substr(0, path);
}

} // namespace

RecordingProxy::RecordingProxy() {
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    if (m_listener < 0)
        throw std::runtime_error("proxy: socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 64) != 0)
        throw std::runtime_error("proxy: cannot listen on 127.0.0.1");
    socklen_t length = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { AcceptLoop(); });
}

RecordingProxy::~RecordingProxy() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    shutdown(m_listener, SHUT_RDWR);
    close(m_listener);
    m_acceptor.join();
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
    const std::string origin = Origin(url);
    Response response;
    response.body = "<!doctype html><html><head><title>" + HtmlEscape(url) +
                    "</title></head><body><h1 id=\"url\">" + HtmlEscape(url) +
                    "</h1><p><a id=\"next\" href=\"" + origin + "/next\">next</a> <a id=\"blank\" href=\"" +
                    origin + "/blank\" target=\"_blank\">blank</a></p></body></html>";
    return response;
}

void RecordingProxy::AcceptLoop() {
    for (;;) {
        const int connection = accept(m_listener, nullptr, nullptr);
        std::lock_guard lock(m_mutex);
        if (connection < 0 || m_stopping) {
            if (connection >= 0)
                close(connection);
            return;
        }
        m_workers.emplace_back([this, connection] { Serve(connection); });
    }
}

void RecordingProxy::Serve(int connection) {
    timeval timeout{5, 0};
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    const std::string headers = ReadHeaders(connection);
    const auto firstSpace = headers.find(' ');
    const auto secondSpace = headers.find(' ', firstSpace + 1);
    if (firstSpace == std::string::npos || secondSpace == std::string::npos) {
        close(connection);
        return;
    }
    const std::string url = headers.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    Responder responder;
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(url);
        responder = m_responder;
    }
    const Response response = responder ? responder(url) : DefaultPage(url);
    if (response.delay.count() > 0)
        std::this_thread::sleep_for(response.delay);
    if (response.status == 0) { // a server that hangs up without an answer
        close(connection);
        return;
    }
    SendAll(connection, "HTTP/1.1 " + std::to_string(response.status) +
                            " OK\r\nContent-Type: " + response.contentType +
                            "\r\nContent-Length: " + std::to_string(response.body.size()) +
                            "\r\nCache-Control: no-store\r\nConnection: close\r\n" + response.headers +
                            "\r\n" + response.body);
    shutdown(connection, SHUT_WR);
    close(connection);
}
