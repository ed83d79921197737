// The controls of the main window, built from its design: positions and sizes
// in pixels at 120 pixels per inch, scaled to the screen's logical resolution.
#pragma once

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class TLogView;

struct TForm1Ui {
    QPushButton* Button1 = nullptr; // "Connect"
    QLineEdit* Edit1 = nullptr;     // TCP port
    QLineEdit* Edit2 = nullptr;     // host
    QLabel* Label6 = nullptr;
    QLineEdit* Edit8 = nullptr; // gateway address
    TLogView* Memo1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Edit3 = nullptr;     // MAC address
    QLineEdit* Edit4 = nullptr;     // device address
    QLineEdit* Edit5 = nullptr;     // channel number
    QLineEdit* Edit6 = nullptr;     // PAN ID
    QLineEdit* Edit7 = nullptr;     // device type
    QPushButton* Button2 = nullptr; // read
    QPushButton* Button3 = nullptr; // write
    QPushButton* Button4 = nullptr; // reset

    void SetupUi(QWidget* form);
};

// Pixels at the design resolution of 120 pixels per inch, on `widget`'s screen.
int DesignToScreen(const QWidget* widget, int designPixels);
