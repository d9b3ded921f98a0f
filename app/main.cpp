#include <QApplication>

#include "app/TralvoDlg.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CTralvoDlg dlg;
    dlg.OnInitDialog();
    dlg.exec();
    return 0;
}
