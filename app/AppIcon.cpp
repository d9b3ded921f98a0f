#include "app/AppIcon.h"

QIcon TralvoIcon() {
    // Rendered sizes rather than the drawing itself: no image plugin is needed for them.
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/tralvo-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}
