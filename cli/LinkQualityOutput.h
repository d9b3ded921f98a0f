#pragma once

#include <QJsonObject>
#include <optional>
#include <ostream>

#include "cli/OutputFormat.h"

#include "traffic/LinkQuality.h"

// The run's link figures after pv and continuous: LinkQualityText for people, then the
// line's diagnosis when some exchange failed ("Line: ..."); with json one last line,
// LinkSummaryJson with "line_diagnosis" (null when every exchange was answered).
void WriteLinkQuality(std::ostream& out, const traffic::CLinkQuality::Figures& figures, bool json,
                      const std::optional<LineVerdict>& line);

// The figures as numbers: {"summary": true, "exchanges", "answered", "retried", "no_reply",
// "incomplete", "bad_checksum", "line_errors", "busy", "answer_ms_median", "answer_ms_p95",
// "answer_ms_max"}; the answer times null when no answer was timed.
QJsonObject LinkSummaryJson(const traffic::CLinkQuality::Figures& figures);
