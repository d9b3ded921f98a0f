#pragma once

#include <QtGlobal>  // QT_TRANSLATE_NOOP, the marker lupdate collects the texts by
#include <initializer_list>
#include <string>

// A troubleshooter text in the interface language. `source` is the English text, marked
// at its call site with QT_TRANSLATE_NOOP("Troubleshooter", ...) so that lupdate finds it;
// %1 to %9 in it stand for the facts, in order. Facts are put in once, as they are: a path
// that itself holds "%2" stays as it is. Without a Chinese translator installed (tests, an
// English setting) the text is the English one.
std::string CheckText(const char* source, std::initializer_list<std::string> facts = {});
