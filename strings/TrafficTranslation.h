#pragma once

#include <functional>
#include <span>
#include <string>

// The line traffic's decode and wire notes in the interface language: the English printf
// formats of traffic/ looked up in the installed translation (context "Traffic").
namespace traffictext {

// The hook traffic/ takes as its Translate (traffic/WireText.h), spelt out so that the
// string table needs nothing from the layer beside it. A translation is used only where it
// takes the same printf arguments as its English; else the English stays, so a faulty
// translation can never misread the arguments.
std::function<std::string(const char* english)> InterfaceLanguage();

// Whether two printf formats take the same conversions in the same order.
bool SameConversions(const char* english, const char* translated);

// Every English text the decode and the notes may pass through the hook.
std::span<const char* const> Sources();

}  // namespace traffictext
