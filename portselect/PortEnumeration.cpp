#include "portselect/PortEnumeration.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "serial/ComPortMap.h"

namespace {

constexpr std::string_view kCom = "COM";
constexpr size_t kMaxEntryCharacters = 99;

bool IsTrailingSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Cuts a UTF-8 text after at most `limit` characters, never inside a character.
void TruncateCharacters(std::string& text, size_t limit) {
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == limit) {
            text.resize(i);
            return;
        }
    }
}

std::optional<std::string> EntryText(const std::string& friendlyName) {
    if (friendlyName.find(kCom) == std::string::npos) return std::nullopt;
    std::string text;
    std::copy_if(friendlyName.begin(), friendlyName.end(), std::back_inserter(text),
                 [](char c) { return c != '(' && c != ')'; });
    // Removing the brackets can join a new "COM" ("CO(M"), so search again.
    const size_t com = text.find(kCom);
    if (com == std::string::npos) return std::nullopt;
    text.erase(0, com);
    while (!text.empty() && IsTrailingSpace(text.back())) text.pop_back();
    TruncateCharacters(text, kMaxEntryCharacters);
    return text;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

bool Listed(const std::vector<PortEntry>& entries, const std::string& text) {
    return std::any_of(entries.begin(), entries.end(),
                       [&](const PortEntry& entry) { return EqualIgnoringCase(entry.text, text); });
}

// Stable, so equal numbers keep the order in which the system enumerated them.
void SortByNumber(std::vector<PortEntry>& entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const PortEntry& a, const PortEntry& b) { return a.number < b.number; });
}

std::string Trimmed(std::string_view text) {
    while (!text.empty() && IsTrailingSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsTrailingSpace(text.back())) text.remove_suffix(1);
    return std::string(text);
}

// "USB Serial Port (COM6)" -> "USB Serial Port": the name before its last bracket that
// opens with "COM"; nothing when there is none.
std::string TitleOfName(const std::string& name) {
    const size_t open = name.rfind("(COM");
    if (open == std::string::npos) return {};
    return Trimmed(std::string_view(name).substr(0, open));
}

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
    if (part.empty()) return true;
    if (part.size() > text.size()) return false;
    for (size_t i = 0; i + part.size() <= text.size(); ++i) {
        if (EqualIgnoringCase(text.substr(i, part.size()), part)) return true;
    }
    return false;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string PortDescription(const PortDetails& details, const PortWords& words) {
    const auto word = [&](const char* english) {
        return words ? words(english) : std::string(english);
    };
    // Only the titles this program gives are its own to translate; a device's are its own.
    const bool ownTitle = details.title == kComPortTitle || details.title == kVirtualPortTitle;
    std::string text = ownTitle                   ? word(details.title.c_str())
                       : !details.title.empty()   ? details.title
                       : !details.product.empty() ? details.product
                                                  : details.driver;
    if (!details.product.empty() && !ContainsIgnoringCase(text, details.product)) {
        text += " (" + details.product + ")";
    }
    if (!details.manufacturer.empty() && !ContainsIgnoringCase(text, details.manufacturer)) {
        text += (text.empty() ? "" : " - ") + details.manufacturer;
    }
    if (!details.serial.empty())
        text += (text.empty() ? "" : ", ") + word("serial") + " " + details.serial;
    return text;
}

std::string PortLocation(const PortDetails& details) {
    std::string text = details.device;
    if (!details.byId.empty())
        text += (text.empty() ? "by-id " : ", by-id ") + BaseName(details.byId);
    return text;
}

PortEnumeration EnumeratePorts(const IPortSource& source, const ConsoleRoots& consoleRoots) {
    std::vector<PortRecord> records;
    PortEnumeration result;
    result.complete = source.ReadPorts(records);
    const KernelConsoles consoles = KernelConsoles::Read(consoleRoots);
    for (PortRecord& record : records) {
        std::optional<std::string> text = EntryText(record.friendlyName);
        if (!text || Listed(result.entries, *text)) continue;
        PortEntry entry;
        entry.number = ListedPortNumber(*text);
        entry.devicePath = DeviceForComNumber(PortNumberFromText(*text)).value_or("");
        if (!entry.devicePath.empty() && consoles.Contains(entry.devicePath)) continue;
        entry.text = std::move(*text);
        entry.details = std::move(record.details);
        if (entry.details.title.empty()) entry.details.title = TitleOfName(record.friendlyName);
        // What choosing the entry opens, whatever the source believed.
        entry.details.device = entry.devicePath.empty() ? "" : FinalPath(entry.devicePath);
        result.entries.push_back(std::move(entry));
    }
    if (result.complete) SortByNumber(result.entries);
    return result;
}
