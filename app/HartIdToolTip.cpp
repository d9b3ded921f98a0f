#include "app/HartIdToolTip.h"

namespace {

QString Hex(uint32_t value, int digits) {
    return QStringLiteral("0x") + QString::number(value, 16).rightJustified(digits, '0').toUpper();
}

}  // namespace

QString HartIdToolTip(uint32_t hartId, const CHartLink& link, const QString& format) {
    if (hartId == 0) return {};
    return format.arg(Hex(hartId, 6), Hex(link.m_nManufacturer, 2), Hex(link.m_nDeviceType, 2),
                      QString::number(link.m_nUniversalRev));
}
