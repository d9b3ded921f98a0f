#pragma once

#include <string>
#include <utility>
#include <vector>

#include "portselect/PortSource.h"

// A port source that names the ports a test gives it.
class FakePortSource : public IPortSource {
public:
    explicit FakePortSource(std::vector<std::string> names, bool complete = true)
        : m_names(std::move(names)), m_complete(complete) {}

    bool ReadFriendlyNames(std::vector<std::string>& names) const override {
        names.insert(names.end(), m_names.begin(), m_names.end());
        return m_complete;
    }

private:
    std::vector<std::string> m_names;
    bool m_complete;
};
