// The main window as a Qt view of the window model: widgets built from the
// design table, their events forwarded to the model, the model's requests
// shown, the client's status texts handed over to the GUI thread.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "app/Form1Ui.h"
#include "net/telnet/IdTelnetInterface.h"
#include "window/WindowModel.h"
#include "window/WindowView.h"

class QLineEdit;
class TUserMessages;

class TForm1 : public QWidget, private TWindowView {
    Q_OBJECT

public:
    // `messages` shows the operator's boxes and must outlive the window.
    TForm1(std::unique_ptr<TIdTelnetInterface> client, TUserMessages& messages,
           QWidget* parent = nullptr);
    ~TForm1() override;

    TForm1Ui Ui;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConnectSignals();
    // Any thread: texts raised elsewhere are handed to the GUI thread in order.
    void IdTelnet1Status(const std::string& text);
    void IdTelnet1DataAvailable(const std::string& buffer);

    std::string Text(TControl control) const override;
    void SetText(TControl control, const std::string& text) override;
    void SetEnabled(TControl control, bool enabled) override;
    void AppendLog(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void ShowException(const std::string& message) override;
    void SetToolTip(TControl control, const std::string& text) override;

    // The parameter field whose Enter ran last and whose Exit has not yet run.
    QLineEdit* EnteredField = nullptr;
    TUserMessages& Messages;
    std::unique_ptr<TIdTelnetInterface> IdTelnet1;
    TWindowModel Model;
};
