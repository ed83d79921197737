// The window's one way of putting a modal box in front of the operator; the
// tests record what would have been shown instead of opening boxes.
#pragma once

#include <QString>

class TUserMessages {
public:
    virtual ~TUserMessages() = default;

    // The application's exception display: error icon, application title.
    virtual void ShowException(const QString& message) = 0;
    // A plain message: no icon, application title, one OK button.
    virtual void ShowMessage(const QString& text) = 0;
};
