#pragma once

#include <QJsonObject>
#include <QString>

#include "hart/HartLink.h"
#include "workflows/PollHartNetwork.h"
#include "workflows/TestView.h"

// How a poll test ended, as a word that stays the same in every interface language:
// "pass_single", "pass_multidrop", "failed", "port_error" or "cancelled".
const char* PollOutcomeWord(PollOutcome outcome);

// A tag without the blanks Packed ASCII pads a short one with: a script compares the tag
// itself.
QString TagWithoutPadding(QString tag);

// `poll --json`: the test's result as one object, with every key present whatever the
// outcome, null where the test learnt nothing:
//   status   the status line as the window shows it (in the interface language)
//   outcome  PollOutcomeWord
//   port     "COM<n>"
//   tag      the device's tag without its trailing blanks ("" when both reads failed);
//            null unless a single device passed
//   hart_id  the device identifier (number); null unless a single device passed
//   address  the address box: "0", or the multi-drop list "3, 12"; null unless passed
//   addresses  the answering polling addresses as numbers; [] unless passed
//   manufacturer, device_type, universal_rev  the single device's identity (numbers), else null
//   error    the message a failure showed (the port that did not open, and why), else null
// link: the link the test ran on (the device's identity); error: the last message shown.
QJsonObject PollResultJson(PollOutcome outcome, const TestMembers& members, const CHartLink& link,
                           const QString& error);
