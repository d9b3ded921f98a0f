#pragma once

#include <QString>
#include <QtGlobal>
#include <cstdint>

#include "hart/HartLink.h"

// The HART ID box's tooltip: the identifier (IdentityText.h), with the manufacturer, device type
// and universal revision that the link recorded for the device; empty while no single device has
// been polled (hartId 0). format: kHartIdToolTip in the window's language.
QString HartIdToolTip(uint32_t hartId, const CHartLink& link, const QString& format);

inline constexpr const char* kHartIdToolTip = QT_TRANSLATE_NOOP(
    "CTralvoDlg", "HART ID %1\nmanufacturer %2, device type %3, universal revision %4");
