// The operator's message boxes as modal QMessageBox dialogs.
#pragma once

#include "app/UserMessages.h"

class TQtMessageBoxes : public TUserMessages {
public:
    void ShowException(const QString& message) override;
    void ShowMessage(const QString& text) override;
};
