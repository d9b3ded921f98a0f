#pragma once

#include <QDateTime>
#include <functional>
#include <optional>
#include <string>

// What the line showed in a run that failed: the class word for scripts and the text with
// the check to make.
struct LineVerdict {
    std::string key;
    std::string text;
};

// How a command prints its results: lines for people, or JSON for scripts (one object for
// poll, one object a line for pv and continuous); and the wall clock its timestamps come
// from, which tests set to follow their virtual clock.
struct OutputFormat {
    bool json = false;
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    // The verdict on the line so far; nothing when it has none (or no one keeps it).
    std::function<std::optional<LineVerdict>()> lineVerdict = [] {
        return std::optional<LineVerdict>();
    };
};
