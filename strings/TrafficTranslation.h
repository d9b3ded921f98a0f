#pragma once

#include <span>

#include "traffic/WireText.h"

// The line traffic's decode and wire notes in the interface language: the English printf
// formats of traffic/ looked up in the installed translation (context "Traffic").
namespace traffictext {

// A translation is used only where it takes the same printf arguments as its English;
// else the English stays, so a faulty translation can never misread the arguments.
traffic::Translate InterfaceLanguage();

// Whether two printf formats take the same conversions in the same order.
bool SameConversions(const char* english, const char* translated);

// Every English text the decode and the notes may pass through the hook.
std::span<const char* const> Sources();

}  // namespace traffictext
