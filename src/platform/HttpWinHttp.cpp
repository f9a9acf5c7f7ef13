// Perform on Windows: WinHTTP, with the system's TLS, certificate store and
// proxy settings; nothing linked in beyond what Windows ships.
#include "platform/Http.h"

#include <windows.h>
#include <winhttp.h>

#include <chrono>
#include <memory>

namespace Http {

namespace {

struct CloseInternet {
    void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, CloseInternet>;

std::wstring Wide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    }
    return out;
}

// Plain ASCII is all a header of ours needs; anything else shows as '?'.
std::string Narrow(const std::wstring& text) {
    std::string out;
    for (const wchar_t c : text) {
        out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    return out;
}

std::string Why(DWORD code, int timeoutSeconds) {
    switch (code) {
    case ERROR_WINHTTP_TIMEOUT:
        return "no answer within " + std::to_string(timeoutSeconds) + " s";
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case ERROR_WINHTTP_CONNECTION_ERROR:
        return "could not connect to the server";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        return "could not find the server's name";
    case ERROR_WINHTTP_SECURE_FAILURE:
        return "the server's certificate was not accepted";
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
        return "the address is not one WinHTTP takes";
    case ERROR_WINHTTP_OPERATION_CANCELLED:
        return "given up as the game ends";
    default:
        return "WinHTTP error " + std::to_string(code);
    }
}

// A header of the answer, or "" without one.
std::wstring Header(HINTERNET request, DWORD which) {
    DWORD bytes = 0;
    WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                        &bytes, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) {
        return {};
    }
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &bytes,
                             WINHTTP_NO_HEADER_INDEX)) {
        return {};
    }
    value.resize(bytes / sizeof(wchar_t));
    return value;
}

} // namespace

Response Perform(const Request& request, const std::atomic<bool>& stop) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(request.timeoutSeconds);
    Response r;
    const auto fail = [&r, &request](DWORD code) {
        r = Response{};
        r.error = Why(code, request.timeoutSeconds);
        return r;
    };

    std::wstring url = Wide(request.url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) {
        return fail(GetLastError());
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

    const Handle session(WinHttpOpen(L"morvek", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                     WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) {
        return fail(GetLastError());
    }
    const int ms = 1000 * request.timeoutSeconds;
    WinHttpSetTimeouts(session.get(), ms, ms, ms, ms);
    const Handle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) {
        return fail(GetLastError());
    }
    const std::wstring method = Wide(request.method);
    const Handle req(WinHttpOpenRequest(connection.get(), method.c_str(), path.c_str(), nullptr,
                                        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                        secure ? WINHTTP_FLAG_SECURE : 0));
    if (!req) {
        return fail(GetLastError());
    }
    DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(req.get(), WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof noRedirects);
    const std::wstring headers =
        request.contentType.empty() ? L"" : Wide("Content-Type: " + request.contentType + "\r\n");
    const auto length = static_cast<DWORD>(request.body.size());
    if (!WinHttpSendRequest(
            req.get(), headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
            headers.empty() ? 0 : static_cast<DWORD>(-1L),
            length > 0 ? const_cast<char*>(request.body.data()) : nullptr, length, length, 0) ||
        !WinHttpReceiveResponse(req.get(), nullptr)) {
        return fail(GetLastError());
    }

    DWORD status = 0;
    DWORD size = sizeof status;
    WinHttpQueryHeaders(req.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    r.retryAfter = RetryAfterSeconds(Narrow(Header(req.get(), WINHTTP_QUERY_RETRY_AFTER)));
    for (;;) {
        if (stop) {
            return fail(ERROR_WINHTTP_OPERATION_CANCELLED);
        }
        if (Clock::now() > deadline) {
            return fail(ERROR_WINHTTP_TIMEOUT);
        }
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(req.get(), &available)) {
            return fail(GetLastError());
        }
        if (available == 0) {
            break;
        }
        if (r.body.size() + available > request.maxAnswer) {
            r = Response{};
            r.error = "the answer is larger than " + std::to_string(request.maxAnswer / 1024) +
                      " KiB and was cut off";
            return r;
        }
        const std::size_t at = r.body.size();
        r.body.resize(at + available);
        DWORD read = 0;
        if (!WinHttpReadData(req.get(), r.body.data() + at, available, &read)) {
            return fail(GetLastError());
        }
        r.body.resize(at + read);
    }
    r.status = static_cast<int>(status);
    if (status >= 300 && status < 400) {
        r.error = RedirectError(r.status, Narrow(Header(req.get(), WINHTTP_QUERY_LOCATION)));
    }
    return r;
}

} // namespace Http
