// A player in a window, driven line by line from standard input: the start
// latency scenario times the engine's own open and play beside the program's
// from the sound card's recording. Each command answers one line on standard
// output that starts with "ok" or "error".
//
//   open PATH | play | stop | quit
#include <windows.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "engine/media_engine_player.h"
#include "platform/text.h"
#include "wine_support.h"

namespace zav2 {
namespace {

constexpr UINT kCommandMessage = WM_APP + 1;

// Runs one command; false for "quit".
bool run(MediaEnginePlayer& player, const std::string& line) {
    std::istringstream words(line);
    std::string command;
    std::string argument;  // the rest of the line
    std::getline(words >> command >> std::ws, argument);
    auto reply = [](HRESULT hr) {
        std::printf(SUCCEEDED(hr) ? "ok %08lx\n" : "error %08lx\n", static_cast<unsigned long>(hr));
    };
    if (command == "open") {
        reply(test::openAndWait(player, utf8ToUtf16(argument)));
    } else if (command == "play") {
        reply(player.Play());
    } else if (command == "stop") {
        reply(player.Stop());
    } else if (command == "quit") {
        player.Shutdown();
        std::puts("ok");
        return false;
    } else {
        std::printf("error unknown command\n");
    }
    return true;
}

}  // namespace
}  // namespace zav2

int main() {
    using namespace zav2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        test::HostWindow window(320, 240);
        MediaEnginePlayer player;
        if (FAILED(player.Initialize(window.host()))) {
            std::puts("error initialize");
            return 1;
        }
        // Standard input is read on a thread of its own so that the window
        // keeps its messages flowing; each line goes to the window thread.
        const DWORD mainThread = GetCurrentThreadId();
        std::thread reader([mainThread] {
            char buffer[4096];
            while (std::fgets(buffer, sizeof buffer, stdin) != nullptr) {
                auto* line = new std::string(buffer);
                while (!line->empty() && (line->back() == '\n' || line->back() == '\r'))
                    line->pop_back();
                PostThreadMessageW(mainThread, kCommandMessage, 0, reinterpret_cast<LPARAM>(line));
            }
            PostThreadMessageW(mainThread, kCommandMessage, 0,
                               reinterpret_cast<LPARAM>(new std::string("quit")));
        });
        std::puts("ok ready");
        std::fflush(stdout);
        MSG message;
        bool running = true;
        while (running && GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (message.hwnd == nullptr && message.message == kCommandMessage) {
                std::unique_ptr<std::string> line(reinterpret_cast<std::string*>(message.lParam));
                running = run(player, *line);
                std::fflush(stdout);  // each answer is awaited line by line
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // The reader may still wait for input that never comes.
        reader.detach();
    }
    CoUninitialize();
    ExitProcess(0);
}
