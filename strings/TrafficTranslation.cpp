#include "strings/TrafficTranslation.h"

#include <QCoreApplication>
#include <string>
#include <vector>

namespace traffictext {

namespace {

constexpr const char* kContext = "Traffic";

// The texts traffic/ (all but HART's own names) and hart/LinkResultName.cpp hand to their
// translate hook, here so that lupdate, which does not read those plain C++ folders, finds
// them. The CTest test traffic_texts_are_all_in_the_translation_list keeps the two alike.
constexpr const char* kSources[] = {
    // The decode.
    QT_TRANSLATE_NOOP("Traffic", "no frame"),
    QT_TRANSLATE_NOOP("Traffic", "request"),
    QT_TRANSLATE_NOOP("Traffic", "answer"),
    QT_TRANSLATE_NOOP("Traffic", "answer (device in burst mode)"),
    QT_TRANSLATE_NOOP("Traffic", "burst"),
    QT_TRANSLATE_NOOP("Traffic", "other master's request"),
    QT_TRANSLATE_NOOP("Traffic", "other master's request (primary)"),
    QT_TRANSLATE_NOOP("Traffic", "unknown frame (delimiter 0x%02X)"),
    QT_TRANSLATE_NOOP("Traffic", "poll address %u"),
    QT_TRANSLATE_NOOP("Traffic", "manufacturer %s, type %s, id %s"),
    QT_TRANSLATE_NOOP("Traffic", "communication error"),
    QT_TRANSLATE_NOOP("Traffic", "communication error: %s"),
    QT_TRANSLATE_NOOP("Traffic", "response %u %s"),
    QT_TRANSLATE_NOOP("Traffic", "response %u"),
    QT_TRANSLATE_NOOP("Traffic", "status ok"),
    QT_TRANSLATE_NOOP("Traffic", "status %s"),
    QT_TRANSLATE_NOOP("Traffic", "%s %.6g (unit %u)"),
    QT_TRANSLATE_NOOP("Traffic",
                      "device type %s, universal revision %u, device revision %u, device id %s "
                      "(older layout)"),
    QT_TRANSLATE_NOOP("Traffic",
                      "manufacturer %s, device type %s, preambles %u, universal revision %u, "
                      "device revision %u, device id %s"),
    QT_TRANSLATE_NOOP("Traffic", "loop current %.3f mA"),
    QT_TRANSLATE_NOOP("Traffic", "tag \"%s\""),
    QT_TRANSLATE_NOOP("Traffic", ", descriptor \"%s\""),
    QT_TRANSLATE_NOOP("Traffic", ", date %04u-%02u-%02u"),
    QT_TRANSLATE_NOOP("Traffic", "checksum good"),
    QT_TRANSLATE_NOOP("Traffic", "checksum bad (0x%02X, should be 0x%02X)"),
    QT_TRANSLATE_NOOP("Traffic", "no checksum"),
    QT_TRANSLATE_NOOP("Traffic", "cut short in the header"),
    QT_TRANSLATE_NOOP("Traffic", "cut short: %u of %u data bytes"),
    QT_TRANSLATE_NOOP("Traffic", "%u preamble bytes"),
    QT_TRANSLATE_NOOP("Traffic", "command %u %s"),
    QT_TRANSLATE_NOOP("Traffic", "command %u"),
    QT_TRANSLATE_NOOP("Traffic", "byte count %u"),
    QT_TRANSLATE_NOOP("Traffic", "data %s"),
    QT_TRANSLATE_NOOP("Traffic", "%u more bytes after the checksum"),
    QT_TRANSLATE_NOOP("Traffic", "result %u %s"),
    // The result column.
    QT_TRANSLATE_NOOP("Traffic", "checksum bad"),
    QT_TRANSLATE_NOOP("Traffic", "incomplete"),
    // The link's results.
    QT_TRANSLATE_NOOP("Traffic", "ok"),
    QT_TRANSLATE_NOOP("Traffic", "port error"),
    QT_TRANSLATE_NOOP("Traffic", "checksum mismatch"),
    QT_TRANSLATE_NOOP("Traffic", "data incomplete"),
    QT_TRANSLATE_NOOP("Traffic", "write incomplete"),
    QT_TRANSLATE_NOOP("Traffic", "no reply"),
    QT_TRANSLATE_NOOP("Traffic", "interrupted"),
    QT_TRANSLATE_NOOP("Traffic", "already open"),
    QT_TRANSLATE_NOOP("Traffic", "bad port number"),
    QT_TRANSLATE_NOOP("Traffic", "bad baud rate"),
    QT_TRANSLATE_NOOP("Traffic", "no buffer"),
    QT_TRANSLATE_NOOP("Traffic", "unknown"),
    // The wire notes.
    QT_TRANSLATE_NOOP("Traffic", "echo discarded: %u bytes"),
    QT_TRANSLATE_NOOP("Traffic", "noise: %u bytes before the preamble"),
    QT_TRANSLATE_NOOP("Traffic", "noise: %u bytes without a frame"),
    QT_TRANSLATE_NOOP("Traffic", "echo dropped: %u bytes"),
    QT_TRANSLATE_NOOP("Traffic", "parity or framing error at frame byte %u"),
    QT_TRANSLATE_NOOP("Traffic", "parity or framing error at byte %u of the reception"),
    QT_TRANSLATE_NOOP("Traffic", "incomplete frame: %u bytes"),
    QT_TRANSLATE_NOOP("Traffic", "bad checksum: %u bytes"),
    QT_TRANSLATE_NOOP("Traffic", "discarded after the reception: %u bytes"),
    // The line's diagnosis and the run's link figures.
    QT_TRANSLATE_NOOP("Traffic",
                      "Nothing came back, not even the echo of the requests: check that the modem "
                      "is powered and connected, the loop power, and the 250 Ω load."),
    QT_TRANSLATE_NOOP("Traffic",
                      "Only the echo of the requests came back: the modem sends, but no device "
                      "answers. Check the device's polling address and the loop wiring."),
    QT_TRANSLATE_NOOP("Traffic",
                      "Only noise came back, with no preamble: check the loop wiring and its "
                      "shielding, and that the modem is connected across the 250 Ω load."),
    QT_TRANSLATE_NOOP("Traffic",
                      "Replies came with bad checksums, cut short or with parity errors: noise on "
                      "the loop, a second master, or wrong line settings."),
    QT_TRANSLATE_NOOP("Traffic",
                      "Answers came from another address than the one polled: check the device's "
                      "polling address and what else is on the loop."),
    QT_TRANSLATE_NOOP("Traffic",
                      "The device answered busy: another master or a running command occupies it. "
                      "Wait, then test again."),
    QT_TRANSLATE_NOOP("Traffic",
                      "Link: %llu exchange, %llu answered (%llu after a retry), %llu no reply, "
                      "%llu bad checksum, %llu incomplete, %llu with line errors, %llu busy"),
    QT_TRANSLATE_NOOP("Traffic",
                      "Link: %llu exchanges, %llu answered (%llu after a retry), %llu no reply, "
                      "%llu bad checksum, %llu incomplete, %llu with line errors, %llu busy"),
    QT_TRANSLATE_NOOP("Traffic", "; answer %llu/%llu/%llu ms (median/95%%/max)"),
};

// The conversions of a printf format, each as written ("%02X", "%.6g"); "%%" is none.
std::vector<std::string> Conversions(const char* format) {
    std::vector<std::string> conversions;
    for (const char* at = format; *at; ++at) {
        if (*at != '%') continue;
        if (at[1] == '%') {
            ++at;
            continue;
        }
        const char* end = at + 1;
        while (*end &&
               std::string_view("-+ #0123456789.*hlLqjzt").find(*end) != std::string_view::npos)
            ++end;
        conversions.emplace_back(at, *end ? end + 1 : end);
        if (!*end) break;
        at = end;
    }
    return conversions;
}

}  // namespace

bool SameConversions(const char* english, const char* translated) {
    return Conversions(english) == Conversions(translated);
}

std::function<std::string(const char* english)> InterfaceLanguage() {
    return [](const char* english) {
        const std::string translated = QCoreApplication::translate(kContext, english).toStdString();
        return SameConversions(english, translated.c_str()) ? translated : std::string(english);
    };
}

std::span<const char* const> Sources() { return kSources; }

}  // namespace traffictext
