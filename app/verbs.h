// Verbs from the command line: a script asks the running Panorel to switch,
// move a window, name the current desktop or end. The sending process parses
// its command line into a record; the running Panorel checks the record it
// receives before acting. Both halves are plain logic, tested on the host.
#pragma once

#include "app/app_state.h"

#include <cstddef>
#include <cstdint>

// The sending process's exit codes; `current` answers 1..DesktopCount.
constexpr DWORD VerbDone = 0;
constexpr DWORD VerbNoPanorel = 10;
constexpr DWORD VerbUnknown = 11;  // an unknown verb or a bad number
constexpr DWORD VerbNotNow = 12;

// Numbers on the wire: never reuse one for another meaning.
enum class Verb : std::uint32_t { Goto = 1, Next = 2, Previous = 3, Move = 4, Current = 5, Exit = 6 };
constexpr std::uint32_t LastVerbNumber = 6;

// 32-bit words only, so that the 32-bit and the 64-bit program read each
// other's records alike. `desktop` is 1..DesktopCount for Goto and Move and
// 0 for every other verb. The performance counter when it was sent (the same
// clock in every process): a record that reaches a Panorel only after the
// sender has given up on the answer is not acted on, since the script was
// told that it could not be done.
struct VerbRecord {
    std::uint32_t version;
    std::uint32_t verb;
    std::uint32_t desktop;
    std::uint32_t sentAtLow;
    std::uint32_t sentAtHigh;
};
inline std::int64_t sentAt(const VerbRecord& r) {
    return static_cast<std::int64_t>((std::uint64_t{r.sentAtHigh} << 32) | r.sentAtLow);
}
inline void stamp(VerbRecord& r, std::int64_t count) {
    r.sentAtLow = static_cast<std::uint32_t>(static_cast<std::uint64_t>(count));
    r.sentAtHigh = static_cast<std::uint32_t>(static_cast<std::uint64_t>(count) >> 32);
}
constexpr std::uint32_t VerbRecordVersion = 1;
// WM_COPYDATA's dwData for a verb record: another program's WM_COPYDATA
// carries something else.
constexpr std::uintptr_t VerbRecordTag = 0x50414E56;  // "PANV"

// How long the sending process waits for the answer; a Panorel stuck behind a
// program that does not answer gives VerbNotNow then.
constexpr DWORD VerbAnswerTimeoutMs = 4000;

constexpr char VerbUsage[] = "Usage: Panorel.exe goto N | next | previous | move N | current | exit  (N: 1 to 4)";

enum class VerbLine { None, Verb, Bad };
// The text after the program's name. Blank: None, a start as any other. A
// verb, case-insensitive, bare or after "/" or "--", with its number where
// it takes one: Verb, and the record to send, still to be stamped. Anything
// else: Bad.
VerbLine parseVerbLine(const char* line, VerbRecord& record);

// Whether a WM_COPYDATA's tag, data and size make a record a Panorel of
// this version acts on, its age aside; the record is copied out when they do.
bool checkVerbRecord(std::uintptr_t tag, const void* data, std::size_t bytes, VerbRecord& record);

// The answer goes back as the message's result, marked so that a window that
// merely returned a number (or 0, for a message it ignored) is not taken for
// a Panorel that answered.
constexpr std::uintptr_t VerbAnswerMark = 0x5A3C0000;
constexpr std::uintptr_t verbAnswer(DWORD code) { return VerbAnswerMark | code; }
// The exit code an answer carries: done or a desktop's number. VerbNotNow
// for anything else, unmarked answers included.
DWORD exitCodeOfAnswer(std::uintptr_t answer);
