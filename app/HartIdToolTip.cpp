#include "app/HartIdToolTip.h"

#include "hart/IdentityText.h"

QString HartIdToolTip(uint32_t hartId, const CHartLink& link, const QString& format) {
    if (hartId == 0) return {};
    return format.arg(QString::fromStdString(HartIdText(hartId)),
                      QString::fromStdString(IdentityCodeText(link.m_nManufacturer)),
                      QString::fromStdString(IdentityCodeText(link.m_nDeviceType)),
                      QString::number(link.m_nUniversalRev));
}
