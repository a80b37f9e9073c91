// The process a script starts with a verb: it sends the verb to the running
// Panorel, says what it must, and leaves with the answer as its exit code.
#include "app/app.h"
#include "app/verbs.h"

#include <cstring>

namespace {

bool writeAll(HANDLE out, const char* text) {
    DWORD written = 0;
    const DWORD length = static_cast<DWORD>(std::strlen(text));
    return WriteFile(out, text, length, &written, nullptr) != FALSE && written == length;
}

bool writeLine(HANDLE out, const char* text) { return writeAll(out, text) && writeAll(out, "\r\n"); }

// Output redirected to a file or a pipe comes as a handle; otherwise the
// console of the program that started this one, if it has one. A program
// started from a window (a shortcut, a launcher) has neither and says
// nothing.
void printLine(const char* text) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE && writeLine(out, text)) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    out = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return;
    writeLine(out, text);
    CloseHandle(out);
}

// Windows keeps a lower-rights process from sending to a higher-rights
// Panorel, and the send then fails: that Panorel could not be asked.
DWORD sendVerb(const VerbRecord& record) {
    if (!panorelRunning()) return VerbNoPanorel;
    HWND viewer = findRunningViewer();
    if (viewer == nullptr) return VerbNotNow;
    VerbRecord copy = record;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    stamp(copy, now.QuadPart);
    COPYDATASTRUCT data = {VerbRecordTag, sizeof copy, &copy};
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(viewer, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                            SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT, VerbAnswerTimeoutMs, &answer) == 0) {
        return VerbNotNow;
    }
    return exitCodeOfAnswer(answer);
}

}  // namespace

bool runScriptVerb(const char* commandLine, DWORD& exitCode) {
    VerbRecord record;
    switch (parseVerbLine(commandLine, record)) {
    case VerbLine::None:
        return false;
    case VerbLine::Bad:
        printLine(VerbUsage);
        exitCode = VerbUnknown;
        return true;
    case VerbLine::Verb:
        break;
    }
    exitCode = sendVerb(record);
    const bool answered = record.verb == static_cast<std::uint32_t>(Verb::Current) && exitCode >= 1 &&
                          exitCode <= DesktopCount;
    if (answered) {
        char number[] = "0";
        number[0] = static_cast<char>('0' + exitCode);
        printLine(number);
    }
    return true;
}
