// Parsing a script's verb and checking the record it sends.
#include "app/verbs.h"

#include <cstring>

namespace {

struct VerbName {
    const char* name;
    Verb verb;
    bool takesDesktop;
};

const VerbName VerbNames[] = {
    {"goto", Verb::Goto, true},        {"next", Verb::Next, false},       {"previous", Verb::Previous, false},
    {"move", Verb::Move, true},        {"current", Verb::Current, false}, {"exit", Verb::Exit, false},
};

// Room for the longest verb with its "--" and a little more: anything
// longer is no verb.
constexpr std::size_t WordBytes = 16;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The next word, with the quotes a launcher may put around it dropped.
// False when it does not fit.
bool nextWord(const char*& at, char (&word)[WordBytes]) {
    while (isBlank(*at)) ++at;
    std::size_t length = 0;
    bool quoted = false;
    for (; *at != '\0' && (quoted || !isBlank(*at)); ++at) {
        if (*at == '"') {
            quoted = !quoted;
            continue;
        }
        if (length + 1 >= sizeof word) return false;
        word[length++] = lower(*at);
    }
    word[length] = '\0';
    return true;
}

const char* withoutPrefix(const char* word) {
    if (word[0] == '/') return word + 1;
    if (word[0] == '-' && word[1] == '-') return word + 2;
    return word;
}

const VerbName* findVerb(const char* name) {
    for (const VerbName& v : VerbNames) {
        if (std::strcmp(v.name, name) == 0) return &v;
    }
    return nullptr;
}

// Digits only, 1..DesktopCount; leading zeros are still that number.
DesktopId desktopNumber(const char* word) {
    if (*word == '\0') return 0;
    DesktopId d = 0;
    for (; *word != '\0'; ++word) {
        if (*word < '0' || *word > '9') return 0;
        d = d * 10 + static_cast<DesktopId>(*word - '0');
        if (d > DesktopCount) return 0;
    }
    return d;
}

bool takesDesktop(std::uint32_t verb) {
    return verb == static_cast<std::uint32_t>(Verb::Goto) || verb == static_cast<std::uint32_t>(Verb::Move);
}

}  // namespace

VerbLine parseVerbLine(const char* line, VerbRecord& record) {
    char word[WordBytes];
    if (line == nullptr) return VerbLine::None;
    if (!nextWord(line, word)) return VerbLine::Bad;
    if (word[0] == '\0') return *line == '\0' ? VerbLine::None : VerbLine::Bad;
    const VerbName* verb = findVerb(withoutPrefix(word));
    if (verb == nullptr) return VerbLine::Bad;
    record = VerbRecord{VerbRecordVersion, static_cast<std::uint32_t>(verb->verb), 0, 0, 0};
    if (verb->takesDesktop) {
        if (!nextWord(line, word)) return VerbLine::Bad;
        record.desktop = desktopNumber(word);
        if (record.desktop == 0) return VerbLine::Bad;
    }
    if (!nextWord(line, word) || word[0] != '\0') return VerbLine::Bad;
    return VerbLine::Verb;
}

bool checkVerbRecord(std::uintptr_t tag, const void* data, std::size_t bytes, VerbRecord& record) {
    if (tag != VerbRecordTag || data == nullptr || bytes != sizeof record) return false;
    VerbRecord r;
    std::memcpy(&r, data, sizeof r);  // the data need not be aligned
    if (r.version != VerbRecordVersion || r.verb == 0 || r.verb > LastVerbNumber) return false;
    const bool desktopFits = takesDesktop(r.verb) ? r.desktop >= 1 && r.desktop <= DesktopCount : r.desktop == 0;
    if (!desktopFits) return false;
    record = r;
    return true;
}

DWORD exitCodeOfAnswer(std::uintptr_t answer) {
    constexpr std::uintptr_t CodeMask = 0xFFFF;
    if ((answer & ~CodeMask) != VerbAnswerMark) return VerbNotNow;
    const DWORD code = static_cast<DWORD>(answer & CodeMask);
    return code <= DesktopCount ? code : VerbNotNow;
}
