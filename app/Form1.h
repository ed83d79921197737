// The main window: wires the controls to the Telnet client and the gateway's
// command lines. Handlers keep the names of their control and event.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "app/Form1Ui.h"
#include "net/telnet/IdTelnetInterface.h"
#include "protocol/MemoryFields.h"

class QLineEdit;
class TUserMessages;

class TForm1 : public QWidget {
    Q_OBJECT

public:
    // `messages` shows the operator's boxes and must outlive the window.
    TForm1(std::unique_ptr<TIdTelnetInterface> client, TUserMessages& messages,
           QWidget* parent = nullptr);
    ~TForm1() override;

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Memo1KeyUp();
    void FormDestroy();
    // Any thread: texts raised elsewhere are handed to the GUI thread in order.
    void IdTelnet1Status(TObject* axSender, TIdStatus axStatus, const std::string& asStatusText);
    void IdTelnet1DataAvailable(const std::string& Buffer);
    void Edit4Enter();
    void Edit5Enter();
    void Edit6Enter();
    void Edit4Exit();
    void Edit5Exit();
    void Edit6Exit();

    // Logs `line`, then types it into the session followed by a carriage return.
    void SendCommand(const std::string& line);

    TForm1Ui Ui;
    const std::string MacDescriptor;
    const std::string AddressDescriptor;
    const std::string ChannelDescriptor;
    const std::string PanIdDescriptor;
    const std::string TypeDescriptor;
    // The text of the parameter field entered last, restored when its new text is refused.
    QString SavedText;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConnectSignals();
    void Log(const std::string& text);
    std::string Gateway() const;
    void ExitRangedField(QLineEdit* field, int32_t lowest, int32_t highest, const QString& message);
    void ExitField(QLineEdit* field);
    std::optional<int32_t> ConvertField(QLineEdit* field);
    QLineEdit* AnswerField(TMemoryField field) const;

    // The parameter field whose Enter ran last and whose Exit has not yet run.
    QLineEdit* EnteredField = nullptr;
    TUserMessages& Messages;
    std::unique_ptr<TIdTelnetInterface> IdTelnet1;
};
