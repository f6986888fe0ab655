// A player in a window, driven line by line from standard input, for the
// checks that need the outside world (recordings of the sound card,
// screenshots of the display). Each command answers one line on standard
// output that starts with "ok" or "error".
//
//   open PATH | play | pause | stop | volume X | resize W H
//   wait MS | waitpos SECONDS | waitframes COUNT | info | cpu | quit
//
// The window is at the top-left corner of the screen; the video host is at
// (40, 40) with the size given on the command line (default 320 x 240).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "engine/media_engine_player.h"
#include "wine_support.h"

namespace zav2 {
namespace {

constexpr UINT kCommandMessage = WM_APP + 1;

// Runs one command; false for "quit".
bool run(MediaEnginePlayer& player, const test::HostWindow& window, const std::string& line) {
    std::istringstream words(line);
    std::string command;
    std::string argument;  // the rest of the line
    std::getline(words >> command >> std::ws, argument);
    const double number = std::atof(argument.c_str());
    auto reply = [](HRESULT hr) {
        std::printf(SUCCEEDED(hr) ? "ok %08lx\n" : "error %08lx\n", static_cast<unsigned long>(hr));
    };
    if (command == "open") {
        reply(test::openAndWait(player, test::fromUtf8(argument)));
    } else if (command == "play") {
        reply(player.Play());
    } else if (command == "pause") {
        reply(player.Pause());
    } else if (command == "stop") {
        reply(player.Stop());
    } else if (command == "volume") {
        reply(player.SetVolume(number));
    } else if (command == "resize") {
        int width = 0;
        int height = 0;
        std::istringstream(argument) >> width >> height;
        player.ResizeSurface(width, height);
        reply(S_OK);
    } else if (command == "wait") {
        test::pumpFor(static_cast<DWORD>(number));
        reply(S_OK);
    } else if (command == "waitpos") {
        const bool reached = test::pumpUntil([&] { return player.GetPosition() >= number; }, 20000);
        std::printf("%s %.3f\n", reached ? "ok" : "error", player.GetPosition());
    } else if (command == "waitframes") {
        const bool reached =
            test::pumpUntil([&] { return player.PresentedFrames() >= number; }, 20000);
        std::printf("%s %llu\n", reached ? "ok" : "error",
                    static_cast<unsigned long long>(player.PresentedFrames()));
    } else if (command == "info") {
        POINT origin{0, 0};
        ClientToScreen(window.host(), &origin);
        RECT surface{};
        GetClientRect(player.SurfaceWindow(), &surface);
        std::printf("ok frames=%llu host=%ld,%ld surface=%ldx%ld swapchain=%d failed=%d\n",
                    static_cast<unsigned long long>(player.PresentedFrames()), origin.x, origin.y,
                    surface.right, surface.bottom, player.HasSwapChain() ? 1 : 0,
                    player.HasFailed() ? 1 : 0);
    } else if (command == "cpu") {
        std::printf("ok cpu=%.4f frames=%llu position=%.3f\n", player.FrameThreadCpuSeconds(),
                    static_cast<unsigned long long>(player.PresentedFrames()),
                    player.GetPosition());
    } else if (command == "quit") {
        const ULONGLONG start = GetTickCount64();
        player.Shutdown();
        std::printf("ok shutdown_ms=%llu\n", GetTickCount64() - start);
        return false;
    } else {
        std::printf("error unknown command\n");
    }
    return true;
}

}  // namespace
}  // namespace zav2

int main(int argc, char** argv) {
    using namespace zav2;
    const int width = argc > 2 ? std::atoi(argv[1]) : 320;
    const int height = argc > 2 ? std::atoi(argv[2]) : 240;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        test::HostWindow window(width, height);
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
                running = run(player, window, *line);
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
