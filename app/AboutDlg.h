#pragma once

#include <QDialog>
#include <functional>

// The About box (template 100, English in both interface languages): the icon, the
// version line, five lines about the maker and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // Runs the box modally, or through the modal hook when one is installed.
    int DoModal();

    // Tests answer the box through this hook in place of the user; empty: the modal run.
    using ModalHook = std::function<int(CAboutDlg&)>;
    static void SetModalHook(ModalHook hook);
};
