#include "services/update_check.h"

#include "services/scrambled.h"

#include "engine/handles.h"
#include "engine/registry.h"
#include "engine/suite.h"
#include "services/pending_messages.h"
#include "services/system_calls.h"
#include "services/wait_cursor.h"

#include <wininet.h>

#include <cstdlib>
#include <memory>
#include <mutex>

namespace kk {
namespace {

constexpr Scrambled kServer("http://update.marrowby.com/kestrelkit/");
constexpr Scrambled kVersionPath("latest.php?v=");
constexpr Scrambled kDownloadPath("download.html");
constexpr DWORD kHttpOk = 200;
constexpr DWORD kChunkBytes = 128;
constexpr size_t kReplyLimit = 64 * 1024;  // a version text is a few bytes
// Line breaks, blanks and NULs around the version text.
constexpr char kReplyJunk[] = {'\r', '\n', ' ', '\0'};

std::string Server() {
    const char* override = std::getenv("KESTRELKIT_UPDATE_SERVER");
    if (override && *override) {
        std::string server = override;
        if (server.back() != '/') server += '/';
        return server;
    }
    return kServer.Plain();
}

// What the waiting thread and the fetch's worker share. The handles are
// closed once, by whichever side comes first: the worker when it is done,
// or the waiting side at the deadline, which makes a blocked call return.
struct Fetch {
    explicit Fetch(std::string url) : address(std::move(url)) {}
    const std::string address;
    std::mutex lock;
    HINTERNET session = nullptr;
    HINTERNET request = nullptr;
    bool abandoned = false;
    std::string reply;
};

// Call with the lock held.
void CloseFetchHandles(Fetch& fetch) {
    for (HINTERNET* handle : {&fetch.request, &fetch.session}) {
        if (*handle) InternetCloseHandle(*handle);
        *handle = nullptr;
    }
}

// Records a handle the worker just got, where the waiting side can close
// it; one that arrives after the deadline is closed at once.
bool Keep(Fetch& fetch, HINTERNET& slot, HINTERNET handle) {
    std::lock_guard<std::mutex> hold(fetch.lock);
    if (handle && !fetch.abandoned) {
        slot = handle;
        return true;
    }
    if (handle) InternetCloseHandle(handle);
    return false;
}

std::string ReadBody(HINTERNET request) {
    DWORD status = 0, size = sizeof status;
    if (HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) &&
        status != kHttpOk)
        return {};  // an error page is no version text
    std::string body;
    char chunk[kChunkBytes];
    DWORD got = 0;
    while (InternetReadFile(request, chunk, sizeof chunk, &got) && got > 0) {
        body.append(chunk, got);
        if (body.size() > kReplyLimit) return {};
    }
    return body;
}

DWORD WINAPI FetchWorker(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Fetch>> owner(static_cast<std::shared_ptr<Fetch>*>(parameter));
    Fetch& fetch = **owner;
    std::string body;
    HINTERNET session = InternetOpenA("vb wininet", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (Keep(fetch, fetch.session, session)) {
        HINTERNET request = InternetOpenUrlA(session, fetch.address.c_str(), nullptr, 0,
                                             INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD, 0);
        if (Keep(fetch, fetch.request, request)) body = ReadBody(request);
    }
    std::lock_guard<std::mutex> hold(fetch.lock);
    if (!fetch.abandoned) fetch.reply = TrimCharacters(body, std::string(kReplyJunk, sizeof kReplyJunk));
    CloseFetchHandles(fetch);
    return 0;
}

}  // namespace

std::string UpdateAddress() { return Server() + kVersionPath.Plain(); }
std::string DownloadPageAddress() { return Server() + kDownloadPath.Plain(); }

std::string FetchUrlText(const std::string& address, DWORD deadlineMs) {
    // The worker keeps the shared part alive for as long as it runs, even
    // past the deadline.
    auto fetch = std::make_shared<Fetch>(address);
    auto parameter = std::make_unique<std::shared_ptr<Fetch>>(fetch);
    UniqueKernel worker(CreateThread(nullptr, 0, FetchWorker, parameter.get(), 0, nullptr));
    if (!worker) return {};
    parameter.release();  // the worker's now
    WaitAnsweringMessages(worker.get(), deadlineMs);
    std::lock_guard<std::mutex> hold(fetch->lock);
    fetch->abandoned = true;
    CloseFetchHandles(*fetch);
    return fetch->reply;
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
