// Asks the maker's update server for the latest version and offers the
// download page when it differs from ours.
#pragma once
#include <windows.h>

#include <string>

namespace kk {

// However the network and the system's time-outs behave, a fetch gives up
// after this long: an unseen check at log-on must not stay behind, and the
// About page must not freeze.
inline constexpr DWORD kFetchDeadlineMs = 30000;

// The body of an HTTP GET with surrounding line breaks, blanks and NULs
// removed; "" on any failure, an HTTP error status and the deadline
// included. The calling thread's windows keep answering meanwhile.
std::string FetchUrlText(const std::string& address, DWORD deadlineMs = kFetchDeadlineMs);

// automatic: not asked for by the user (silent when up to date or offline).
// fromHelp: started from the help file (its boxes then carry no Help button).
void CheckForUpdate(bool automatic, bool fromHelp);

// The addresses in use. The environment variable KESTRELKIT_UPDATE_SERVER,
// when set, replaces the server part (for example "http://127.0.0.1:8080/").
std::string UpdateAddress();
std::string DownloadPageAddress();

}  // namespace kk
