// The controls of the main window, built from the design table: positions and
// sizes in pixels at 120 pixels per inch, scaled to the screen's logical
// resolution.
#pragma once

#include <array>

#include "window/WindowLayout.h"

class QLineEdit;
class QPushButton;
class QWidget;
class TLogView;

struct TForm1Ui {
    // Indexed by TControl; the window itself at Form1.
    std::array<QWidget*, 21> Controls{};

    void SetupUi(QWidget* form);

    QWidget* Control(TControl control) const { return Controls[static_cast<size_t>(control)]; }
    QLineEdit* Edit(TControl control) const;
    QPushButton* Button(TControl control) const;
    TLogView* Memo1() const;
};

// Pixels at the design resolution of 120 pixels per inch, on `widget`'s screen.
int DesignToScreen(const QWidget* widget, int designPixels);
