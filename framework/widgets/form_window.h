// The Qt window of a form: a menu bar slot above a client area of fixed size, and the keys,
// close requests and minimising that the form handles its own way.
#pragma once

#include <QWidget>

class QVBoxLayout;
class TForm;

class FormWindow : public QWidget {
public:
    explicit FormWindow(TForm* form);

    QWidget* Client() const { return client_; }
    QVBoxLayout* Layout() const { return layout_; }
    // The form is going away; events no longer reach it.
    void Detach() { form_ = nullptr; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    TForm* form_;
    QWidget* client_;
    QVBoxLayout* layout_;
};
