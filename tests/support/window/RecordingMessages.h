// Records the boxes the window would have shown, instead of showing them.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "app/UserMessages.h"

struct TShownBox {
    bool IsException; // the application's exception display, else a plain message
    QString Text;
    QString Observed; // what Observe returned while the box was "open"
};

class TRecordingMessages : public TUserMessages {
public:
    void ShowException(const QString& message) override { Record(true, message); }
    void ShowMessage(const QString& text) override { Record(false, text); }

    std::vector<TShownBox> Shown;
    // Looks at the window while a box is open, e.g. at a field's text.
    std::function<QString()> Observe;

private:
    void Record(bool isException, const QString& text) {
        Shown.push_back({isException, text, Observe ? Observe() : QString()});
    }
};
