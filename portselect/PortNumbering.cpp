#include "portselect/PortNumbering.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

#include "paths/ConfigPaths.h"
#include "portselect/TtyDevice.h"
#include "serial/ComPortMap.h"

namespace {

// One COM<n> entry of the ports folder.
struct FolderLink {
    unsigned number = 0;
    std::string path;
    std::optional<std::string> target;  // the link's text; nothing for a file that is no link
    bool opens = false;                 // it leads to something
    bool serialTty = false;             // that something is a serial port or a pty
    std::string finalPath;              // what it leads to, links followed
};

std::map<unsigned, FolderLink> ReadPortsFolder(const std::string& folder) {
    std::map<unsigned, FolderLink> links;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) return links;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        const auto number = ExactPortNumber(it->path().filename().string());
        if (!number) continue;
        FolderLink link;
        link.number = *number;
        link.path = it->path().string();
        struct stat info {};
        if (lstat(link.path.c_str(), &info) != 0) continue;  // gone meanwhile
        if (S_ISLNK(info.st_mode)) link.target = LinkText(link.path);
        link.opens = stat(link.path.c_str(), &info) == 0;
        if (link.opens) link.finalPath = FinalPath(link.path);
        link.serialTty = link.opens && IsSerialTty(link.finalPath);
        links.emplace(*number, std::move(link));
    }
    return links;
}

// A device as it is being numbered.
struct Candidate {
    const SerialDevice* device = nullptr;
    std::string finalPath;
    std::string identity;                  // the /dev/serial name that is its own, if any
    std::optional<unsigned> kernelNumber;  // /dev/ttyUSB0 -> 33
    std::optional<ComRange> range;
    std::optional<unsigned> number;  // what it is listed as
    std::string byId;                // its by-id name when that leads to it
};

bool LeadsTo(const std::string& link, const std::string& finalPath) {
    return !link.empty() && FinalPath(link) == finalPath;
}

// Gives out link numbers: one symlink() each, which never replaces anything.
class LinkMaker {
public:
    LinkMaker(std::map<unsigned, FolderLink>& links, std::set<unsigned>& held)
        : m_links(links), m_held(held) {}

    bool Free(unsigned number) const {
        return !m_links.contains(number) && !m_held.contains(number);
    }

    // Makes COM<number> name `identity`. True when COM<number> is now that link; false when
    // the number was taken meanwhile (it is then held) or nothing can be made (Stopped()).
    bool Make(unsigned number, const std::string& identity) {
        if (m_stopped || !Free(number)) return false;
        if (!OpenFolder()) return false;
        const std::string name = PortTextFromNumber(number);
        if (symlinkat(identity.c_str(), m_folder, name.c_str()) == 0) {
            m_held.insert(number);
            return true;
        }
        m_held.insert(number);
        if (errno != EEXIST) {
            m_stopped = true;
            return false;
        }
        // Made meanwhile: by another Tralvo for this very adapter, or for something else.
        std::string target(identity.size() + 1, '\0');
        const ssize_t length = readlinkat(m_folder, name.c_str(), target.data(), target.size());
        return length >= 0 && static_cast<size_t>(length) == identity.size() &&
               target.compare(0, identity.size(), identity) == 0;
    }

    bool Stopped() const { return m_stopped; }

    ~LinkMaker() {
        if (m_folder >= 0) close(m_folder);
    }
    LinkMaker(const LinkMaker&) = delete;
    LinkMaker& operator=(const LinkMaker&) = delete;

private:
    // The links are made relative to the folder opened once, so that every one of them
    // lands in the same folder whatever happens to its path meanwhile.
    bool OpenFolder() {
        if (m_folder >= 0) return true;
        const std::string folder = PortLinksFolder();
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        m_folder = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_folder < 0) m_stopped = true;
        return m_folder >= 0;
    }

    std::map<unsigned, FolderLink>& m_links;
    std::set<unsigned>& m_held;
    int m_folder = -1;
    bool m_stopped = false;
};

void GiveNumbers(std::vector<Candidate>& candidates, std::map<unsigned, FolderLink>& links) {
    // Numbers that devices without an identity are listed as in the kernel's order.
    std::set<unsigned> held;
    for (const Candidate& candidate : candidates) {
        if (candidate.identity.empty() && candidate.kernelNumber)
            held.insert(*candidate.kernelNumber);
    }
    std::vector<Candidate*> waiting;
    for (Candidate& candidate : candidates) {
        if (!candidate.number && !candidate.identity.empty() && candidate.range) {
            waiting.push_back(&candidate);
        }
    }
    std::map<unsigned, FolderLink> made;
    {
        LinkMaker maker(links, held);
        auto give = [&](Candidate& candidate, unsigned number) {
            if (!maker.Make(number, candidate.identity)) return false;
            candidate.number = number;
            FolderLink link;
            link.number = number;
            link.path = PortLinkPath(number);
            link.target = candidate.identity;
            link.opens = true;
            link.finalPath = candidate.finalPath;
            made.emplace(number, std::move(link));
            return true;
        };
        // First the number each has in the kernel's order, so that a port stored before
        // adapters had numbers of their own goes on naming the same adapter; then the
        // lowest free one of its range.
        for (Candidate* candidate : waiting) {
            if (candidate->kernelNumber) give(*candidate, *candidate->kernelNumber);
        }
        for (Candidate* candidate : waiting) {
            for (unsigned number = candidate->range->first;
                 !candidate->number && number <= candidate->range->last && !maker.Stopped();
                 ++number) {
                give(*candidate, number);
            }
        }
    }
    links.merge(made);
}

}  // namespace

std::string FriendlyName(const std::string& title, unsigned number) {
    std::string text;
    for (char c : title) {
        if (c != '(' && c != ')') text += c;
    }
    for (size_t at = text.find("COM"); at != std::string::npos; at = text.find("COM", at)) {
        text.replace(at, 3, "Com");
    }
    return (text.empty() ? "" : text + " ") + "(" + PortTextFromNumber(number) + ")";
}

void AppendPortRecords(const std::vector<SerialDevice>& devices, NumberAssignment assignment,
                       std::vector<PortRecord>& records) {
    std::map<unsigned, FolderLink> links = ReadPortsFolder(PortLinksFolder());

    std::vector<Candidate> candidates;
    for (const SerialDevice& device : devices) {
        Candidate candidate;
        candidate.device = &device;
        candidate.finalPath = FinalPath(device.node);
        candidate.kernelNumber = ComNumberForDevice("/dev/" + device.name);
        candidate.range = ComRangeOfDevice("/dev/" + device.name);
        if (LeadsTo(device.details.byId, candidate.finalPath)) candidate.byId = device.details.byId;
        if (device.usb) {
            if (!candidate.byId.empty() && !device.details.serial.empty()) {
                candidate.identity = candidate.byId;
            } else if (LeadsTo(device.byPath, candidate.finalPath)) {
                candidate.identity = device.byPath;
            }
        }
        candidates.push_back(std::move(candidate));
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) {
                         return a.kernelNumber.value_or(0) < b.kernelNumber.value_or(0);
                     });

    // 1. Own links.
    for (Candidate& candidate : candidates) {
        if (candidate.identity.empty()) continue;
        for (const auto& [number, link] : links) {
            if (link.opens && link.target == candidate.identity) {
                candidate.number = number;
                break;
            }
        }
    }
    // 2. New links.
    if (assignment == NumberAssignment::Assign) GiveNumbers(candidates, links);
    // 3. Other links, 4. the kernel's order.
    std::set<std::string> reached;
    for (Candidate& candidate : candidates) {
        if (!candidate.number) {
            for (const auto& [number, link] : links) {
                if (link.opens && link.finalPath == candidate.finalPath) {
                    candidate.number = number;
                    break;
                }
            }
        }
        if (!candidate.number && candidate.kernelNumber &&
            !links.contains(*candidate.kernelNumber)) {
            candidate.number = candidate.kernelNumber;
        }
        reached.insert(candidate.finalPath);
    }

    std::vector<const Candidate*> listed;
    std::set<unsigned> numbersListed;
    for (const Candidate& candidate : candidates) {
        if (candidate.number && numbersListed.insert(*candidate.number).second) {
            listed.push_back(&candidate);
        }
    }
    std::stable_sort(listed.begin(), listed.end(), [](const Candidate* a, const Candidate* b) {
        return *a->number < *b->number;
    });
    for (const Candidate* candidate : listed) {
        PortRecord record;
        record.details = candidate->device->details;
        record.details.device = candidate->finalPath;
        record.details.byId = candidate->byId;
        record.friendlyName = FriendlyName(record.details.title, *candidate->number);
        records.push_back(std::move(record));
    }
    for (const auto& [number, link] : links) {
        if (!link.serialTty || numbersListed.contains(number) ||
            !reached.insert(link.finalPath).second) {
            continue;
        }
        PortRecord record;
        record.details.title = kVirtualPortTitle;
        record.details.device = link.finalPath;
        record.friendlyName = FriendlyName(record.details.title, number);
        records.push_back(std::move(record));
    }
}
