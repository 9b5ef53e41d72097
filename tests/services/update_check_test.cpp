// The fetch of the update check in-process, against the stand-in update
// server. The checks' answers, their boxes and the download page they open
// are driven end to end in tests/e2e/startup_e2e_test.cpp.
#include "services/update_check.h"

#include "support/update_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace kk;

namespace {

TEST(UpdateCheck, FetchTrimsLineBreaksBlanksAndNulsAndGivesNothingForBadReplies) {
    kktest::UpdateServer server;
    ASSERT_FALSE(server.BaseUrl().empty()) << "the stand-in server did not start";
    server.Reply(200, std::string("\r\n  4.3.0 \0\r\n", 12));
    EXPECT_EQ(FetchUrlText(server.BaseUrl() + "x"), "4.3.0");
    const std::string longReply(300, 'v');  // more than one 128-byte chunk
    server.Reply(200, longReply + "\n");
    EXPECT_EQ(FetchUrlText(server.BaseUrl() + "x"), longReply);
    server.Reply(404, "Not Found");
    EXPECT_EQ(FetchUrlText(server.BaseUrl() + "x"), "");
    server.Reply(200, std::string(70000, '9'));
    EXPECT_TRUE(FetchUrlText(server.BaseUrl() + "x").empty()) << "no version text is that long";
    EXPECT_EQ(FetchUrlText(kktest::kNoServer), "");
}

std::atomic<int> g_ticks{0};
// Named: a lambda has no stdcall form for the 32-bit build.
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

TEST(UpdateCheck, AStalledServerCostsOnlyTheDeadlineAndTheThreadKeepsAnswering) {
    kktest::UpdateServer server;
    ASSERT_FALSE(server.BaseUrl().empty()) << "the stand-in server did not start";
    const DWORD deadline = 1000, stall = 4000, slack = 1000;
    g_ticks = 0;
    // A timer of this thread and a message sent from another must be handled during the wait.
    const UINT_PTR timer = SetTimer(nullptr, 0, deadline / 4, CountTick);
    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    std::atomic<bool> answered{false};
    std::thread sender([&] {
        DWORD_PTR result = 0;
        Sleep(deadline / 4);
        answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, stall, &result) != 0;
    });
    server.StaySilent(stall);
    const DWORD start = GetTickCount();
    EXPECT_EQ(FetchUrlText(server.BaseUrl() + "x", deadline), "");
    const DWORD took = GetTickCount() - start;
    sender.join();
    KillTimer(nullptr, timer);
    DestroyWindow(window);
    EXPECT_GE(took + slack / 10, deadline) << "it gave up before its time";
    EXPECT_LT(took, deadline + slack) << "the stalled server held the fetch";
    EXPECT_TRUE(answered) << "a message sent during the wait went unanswered";
    EXPECT_GT(g_ticks, 0) << "the timer waited too";
    // The abandoned worker is still blocked; the next fetch does not mind.
    server.Reply(200, "4.3.0");
    EXPECT_EQ(FetchUrlText(server.BaseUrl() + "x", deadline), "4.3.0");
}

}  // namespace
