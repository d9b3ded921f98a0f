#pragma once

#include <QDateTime>
#include <functional>

// How a command prints its results: lines for people, or JSON for scripts (one object for
// poll, one object a line for pv and continuous); and the wall clock its timestamps come
// from, which tests set to follow their virtual clock.
struct OutputFormat {
    bool json = false;
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
};
