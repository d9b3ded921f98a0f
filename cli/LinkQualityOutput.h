#pragma once

#include <QJsonObject>
#include <ostream>

#include "hart/LinkQuality.h"

// The run's link figures after pv and continuous: LinkQualityLine for people, and with
// json one line {"link_quality": LinkQualityJson}.
void WriteLinkQuality(std::ostream& out, const CLinkQuality& quality, bool json);

// The figures as numbers:
//   exchanges, answered, retried
//   errors   [{"result": 5, "name": "no reply", "count": 1}, ...], lowest result first
//   reply_complete_ms  {"min", "mean", "max"}, from the end of the request to the end of
//            the reply; null when no reply was timed
QJsonObject LinkQualityJson(const CLinkQuality& quality);
