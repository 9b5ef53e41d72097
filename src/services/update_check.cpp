#include "services/update_check.h"

#include "services/scrambled.h"

#include "engine/suite.h"
#include "services/system_calls.h"
#include "services/wait_cursor.h"

#include <windows.h>
#include <wininet.h>

#include <cstdlib>

namespace kk {
namespace {

constexpr Scrambled kServer("http://update.marrowby.com/kestrelkit/");
constexpr Scrambled kVersionPath("latest.php?v=");
constexpr Scrambled kDownloadPath("download.html");

std::string Server() {
    const char* override = std::getenv("KESTRELKIT_UPDATE_SERVER");
    if (override && *override) {
        std::string server = override;
        if (server.back() != '/') server += '/';
        return server;
    }
    return kServer.Plain();
}

struct InternetHandle {
    HINTERNET h = nullptr;
    explicit InternetHandle(HINTERNET handle) : h(handle) {}
    ~InternetHandle() {
        if (h) InternetCloseHandle(h);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
};

std::string Trimmed(std::string text) {
    auto junk = [](char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\0'; };
    size_t first = 0, last = text.size();
    while (first < last && junk(text[first])) ++first;
    while (last > first && junk(text[last - 1])) --last;
    return text.substr(first, last - first);
}

}  // namespace

std::string UpdateAddress() { return Server() + kVersionPath.Plain(); }
std::string DownloadPageAddress() { return Server() + kDownloadPath.Plain(); }

std::string FetchUrlText(const std::string& address) {
    InternetHandle session(InternetOpenA("vb wininet", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session.h) return {};
    // A server that accepts and then says nothing must not hold the panel forever.
    DWORD timeout = 30000;
    InternetSetOptionA(session.h, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
    InternetSetOptionA(session.h, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);

    InternetHandle request(InternetOpenUrlA(session.h, address.c_str(), nullptr, 0,
                                            INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD, 0));
    if (!request.h) return {};

    DWORD status = 0, size = sizeof status;
    if (HttpQueryInfoA(request.h, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) &&
        status != 200)
        return {};  // an error page is no version text

    std::string body;
    char chunk[128];
    DWORD got = 0;
    const size_t kLimit = 64 * 1024;  // a version text is a few bytes
    while (InternetReadFile(request.h, chunk, sizeof chunk, &got) && got > 0) {
        body.append(chunk, got);
        if (body.size() > kLimit) return {};
    }
    return Trimmed(body);
}

void CheckForUpdate(bool automatic, bool fromHelp) {
    const std::string current = CurrentVersionText();
    std::string reply;
    {
        WaitCursor wait;
        reply = FetchUrlText(UpdateAddress() + current);
    }

    const char* title = "Check For Newer Version";
    const int help = fromHelp ? 0 : MB_HELP;

    if (reply.empty()) {
        // An automatic check stays quiet when the server cannot be reached.
        if (automatic) return;
        ShowMessage(std::string("Sorry, I can't connect to the Marrowby website to check for a newer version.  "
                                "Make sure you're connected to the Internet, and then try again.\r\n\r\n"
                                "If you can't connect because of a proxy server or a corporate firewall, you can "
                                "get the latest version of the software at ") +
                        kMakerAddress + ".",
                    title, MB_ICONHAND | help, kTopicGeneral);
        return;
    }
    if (reply == current) {
        if (automatic) return;
        ShowMessage("Congratulations!  You currently have the latest version of Marrowby Kestrelkit!", title,
                    MB_ICONASTERISK | help, kTopicGeneral);
        return;
    }
    std::string text = "You're using version " + current + " of Marrowby Kestrelkit.\r\n\r\nThere's a newer version, " +
                       reply + ", available.  Do you want to get it now?";
    if (automatic) text += "\r\n\r\n(To turn off automatic updates, click Help.)";
    if (ShowMessage(text, title, MB_ICONASTERISK | MB_YESNO | help, kTopicGeneral) == IDYES)
        System().shellOpen(DownloadPageAddress(), ModuleFolder());
}

}  // namespace kk
