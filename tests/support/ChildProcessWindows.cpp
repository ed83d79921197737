// Starting, watching and stopping the programs that tests run against, on
// Windows. Windows has no signals between programs: Stop with anything but
// SIGKILL sets the program's stop event (StopEventName), which the simulator
// watches, and terminates the program when it has not ended within the grace.
// Exit code C is reported as the wait status C << 8, a terminated program as
// killed by SIGKILL (see windows/sys/wait.h).
#include <windows.h>

#include <sys/wait.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "ChildProcess.h"
#include "gateway-sim/StopRequest.h"

struct ChildProcess::WindowsParts {
    HANDLE Process = nullptr;
    HANDLE StopEvent = nullptr;
    HANDLE LogReader =
        INVALID_HANDLE_VALUE; // a handle of its own: its position is not the program's
    int Status = -1;
    std::thread PipeReader;
    std::mutex Lock;
    std::condition_variable Changed;
    std::string Received; // guarded
    bool Ended = true;    // guarded: the pipe's end, or no pipe at all

    ~WindowsParts() {
        if (PipeReader.joinable()) PipeReader.join();
        for (const HANDLE handle : {Process, StopEvent})
            if (handle != nullptr) ::CloseHandle(handle);
        if (LogReader != INVALID_HANDLE_VALUE) ::CloseHandle(LogReader);
    }
};

namespace {

// One argument as the C runtime's command-line parser reads it back: quoted
// when it holds blanks or quotes, a quote escaped with a backslash, and the
// backslashes before a quote doubled.
std::string Quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string text = "\"";
    size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        text.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        text += c;
    }
    text.append(backslashes * 2, '\\');
    return text + "\"";
}

SECURITY_ATTRIBUTES Inheritable() {
    return SECURITY_ATTRIBUTES{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
}

// A log file in the temporary folder, gone once every handle on it is closed.
std::string NewLogPath() {
    static std::atomic<unsigned> counter{0};
    char folder[MAX_PATH + 1] = {};
    ::GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "bqtest-log-" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(counter++);
}

// Starts the program suspended, inheriting only the three standard handles.
bool Start(std::string commandLine, HANDLE input, HANDLE output, HANDLE errors,
           PROCESS_INFORMATION& started) {
    HANDLE inherited[3] = {input, output, errors};
    const DWORD count = output == errors ? 2 : 3;
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::string storage(size, '\0');
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
    if (!::InitializeProcThreadAttributeList(attributes, 1, 0, &size)) return false;
    const bool listed =
        ::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                    count * sizeof(HANDLE), nullptr, nullptr) != 0;
    STARTUPINFOEXA info{};
    info.StartupInfo.cb = sizeof info;
    info.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    info.StartupInfo.hStdInput = input;
    info.StartupInfo.hStdOutput = output;
    info.StartupInfo.hStdError = errors;
    info.lpAttributeList = listed ? attributes : nullptr;
    const DWORD flags =
        CREATE_SUSPENDED | CREATE_NO_WINDOW | (listed ? EXTENDED_STARTUPINFO_PRESENT : 0);
    const bool ok = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, flags,
                                     nullptr, nullptr, &info.StartupInfo, &started) != 0;
    ::DeleteProcThreadAttributeList(attributes);
    return ok;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, Streams streams)
    : Windows(std::make_shared<WindowsParts>()) {
    std::string commandLine;
    for (const std::string& argument : argv)
        commandLine += (commandLine.empty() ? "" : " ") + Quoted(argument);

    SECURITY_ATTRIBUTES inheritable = Inheritable();
    const std::string logPath = NewLogPath();
    constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    Windows->LogReader = ::CreateFileA(logPath.c_str(), GENERIC_READ, shareAll, nullptr, CREATE_NEW,
                                       FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    // Appending only, so that what the program writes always goes to the end.
    const HANDLE logWriter = ::CreateFileA(logPath.c_str(), FILE_APPEND_DATA, shareAll,
                                           &inheritable, OPEN_EXISTING, 0, nullptr);
    const HANDLE input =
        ::CreateFileA("NUL", GENERIC_READ, shareAll, &inheritable, OPEN_EXISTING, 0, nullptr);
    if (Windows->LogReader == INVALID_HANDLE_VALUE || logWriter == INVALID_HANDLE_VALUE ||
        input == INVALID_HANDLE_VALUE)
        throw std::runtime_error("no log file for a child process");
    HANDLE pipeRead = nullptr;
    HANDLE pipeWrite = nullptr;
    if (streams != Streams::BothToLog) {
        if (!::CreatePipe(&pipeRead, &pipeWrite, &inheritable, 0))
            throw std::runtime_error("no pipe for a child process");
        ::SetHandleInformation(pipeRead, HANDLE_FLAG_INHERIT, 0);
    }
    const HANDLE output = streams == Streams::BothToLog ? logWriter : pipeWrite;
    const HANDLE errors = streams == Streams::BothPiped ? pipeWrite : logWriter;

    PROCESS_INFORMATION started{};
    const bool running = Start(commandLine, input, output, errors, started);
    for (const HANDLE handle : {logWriter, input, pipeWrite})
        if (handle != nullptr) ::CloseHandle(handle);
    if (!running) {
        // As a program that cannot be run on POSIX systems: ended at once with 127.
        if (pipeRead != nullptr) ::CloseHandle(pipeRead);
        OutputEnded = Exited = true;
        Windows->Status = 127 << 8;
        return;
    }
    Pid = static_cast<pid_t>(started.dwProcessId);
    Windows->Process = started.hProcess;
    Windows->StopEvent =
        ::CreateEventA(nullptr, TRUE, FALSE, StopEventName(started.dwProcessId).c_str());
    ::ResumeThread(started.hThread);
    ::CloseHandle(started.hThread);
    if (pipeRead == nullptr) {
        OutputEnded = true;
        return;
    }
    Windows->Ended = false;
    Windows->PipeReader = std::thread([parts = Windows.get(), pipeRead] {
        char buffer[4096];
        DWORD got = 0;
        // Each pass reads something; the pipe ends when every writer has gone.
        while (::ReadFile(pipeRead, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            const std::lock_guard lock(parts->Lock);
            parts->Received.append(buffer, got);
            parts->Changed.notify_all();
        }
        ::CloseHandle(pipeRead);
        const std::lock_guard lock(parts->Lock);
        parts->Ended = true;
        parts->Changed.notify_all();
    });
}

namespace {

// A Windows program's text-mode streams end each line with CR LF; the kit
// hands text over with the LF alone, as the same program writes it on Linux.
std::string UnixLineEnds(std::string text) {
    std::string::size_type kept = 0;
    for (std::string::size_type at = 0; at < text.size(); ++at)
        if (!(text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n'))
            text[kept++] = text[at];
    text.resize(kept);
    return text;
}

} // namespace

bool ChildProcess::ReadAvailable() {
    std::lock_guard lock(Windows->Lock);
    OutputText = UnixLineEnds(Windows->Received);
    OutputEnded = Windows->Ended;
    return !OutputEnded;
}

bool ChildProcess::WaitForOutput(const std::string& text, std::chrono::milliseconds patience) {
    const Deadline deadline(patience);
    {
        std::unique_lock lock(Windows->Lock);
        Windows->Changed.wait_until(lock, deadline.When(), [&] {
            return Windows->Ended ||
                   UnixLineEnds(Windows->Received).find(text) != std::string::npos;
        });
    }
    ReadAvailable();
    return OutputText.find(text) != std::string::npos;
}

std::string ChildProcess::Log() const {
    std::string text;
    char buffer[4096];
    for (uint64_t at = 0; at < (uint64_t{1} << 30);) {
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(at);
        DWORD got = 0;
        if (!::ReadFile(Windows->LogReader, buffer, sizeof buffer, &got, &position) || got == 0)
            break;
        text.append(buffer, got);
        at += got;
    }
    return UnixLineEnds(std::move(text));
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds patience) {
    if (!Exited && Pid > 0 &&
        ::WaitForSingleObject(Windows->Process, static_cast<DWORD>(patience.count())) ==
            WAIT_OBJECT_0) {
        DWORD code = 0;
        ::GetExitCodeProcess(Windows->Process, &code);
        Windows->Status = static_cast<int>(code & 0xff) << 8;
        Exited = true;
    }
    ReadAvailable();
    return Exited;
}

int ChildProcess::Stop(int signal, std::chrono::milliseconds grace) {
    if (!Windows) return -1;
    if (Pid > 0 && !Exited) {
        if (signal != SIGKILL) {
            ::SetEvent(Windows->StopEvent);
            WaitForExit(grace);
        }
        if (!Exited) {
            ::TerminateProcess(Windows->Process, 1);
            ::WaitForSingleObject(Windows->Process, static_cast<DWORD>(Patience.count()));
            Windows->Status = SIGKILL;
            Exited = true;
        }
    }
    // The pipe ends once the program has gone.
    if (Windows->PipeReader.joinable()) Windows->PipeReader.join();
    ReadAvailable();
    const int status = Windows->Status;
    Pid = -1;
    Windows->Status = -1;
    return status;
}

int RunToCompletion(const std::vector<std::string>& argv, std::chrono::milliseconds patience) {
    ChildProcess program(argv);
    const bool ended = program.WaitForExit(patience);
    const int status = program.Stop();
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool IsExecutable(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
