#pragma once

#include <QDialog>
#include <functional>

// The About box (template 100, English in both interface languages): the icon, the
// version line, five lines about the maker and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // Runs the box modally, or through `answer` when given (tests, in place of the user).
    using ModalAnswer = std::function<int(CAboutDlg&)>;
    int DoModal(const ModalAnswer& answer = {});
};
