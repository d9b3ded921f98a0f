#include <QApplication>

#include "app/TralvoApp.h"

namespace {

CTralvoApp theApp;

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The store keeps the name "Tralvo" whatever the executable file is called.
    QApplication::setApplicationName(QStringLiteral("Tralvo"));
    QApplication::setOrganizationName(QStringLiteral("Brenlow"));
    theApp.InitInstance();
    return 0;
}
