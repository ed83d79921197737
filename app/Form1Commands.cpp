// The main window's gateway commands: reading, writing and resetting a device,
// and the answers to reads.
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

#include "app/Cp1251.h"
#include "app/Form1.h"
#include "app/TypingLimit.h"
#include "protocol/CommandLines.h"
#include "protocol/FieldEncodings.h"
#include "protocol/MemoryAnswer.h"
#include "runtime/IntConversion.h"

std::string TForm1::Gateway() const {
    return ToCp1251(Ui.Edit8->text());
}

void TForm1::SendCommand(const std::string& line) {
    // Logged first, so the operator sees the line even when typing it fails.
    Log(line);
    // Typed as a person would: every character is a network write of its own.
    for (char ch : line)
        IdTelnet1->TransmitChar(ch);
    IdTelnet1->TransmitChar('\r');
}

void TForm1::Button2Click() {
    try {
        for (const std::string* descriptor :
             {&MacDescriptor, &AddressDescriptor, &ChannelDescriptor, &PanIdDescriptor,
              &TypeDescriptor})
            SendCommand(ReadMemoryLine(Gateway(), *descriptor));
    } catch (const EIdException& e) {
        Log(e.Message);
    }
}

void TForm1::Button3Click() {
    try {
        SendCommand(WriteMemoryLine(Gateway(), AddressDescriptor,
                                    HexToByteList(ToCp1251(Ui.Edit4->text()))));
        // The channel field shows a hexadecimal number; a text that is none
        // stops the sequence and reaches the operator's box, not the log.
        const int32_t channel = StrToInt("0x" + ToCp1251(Ui.Edit5->text()));
        SendCommand(WriteMemoryLine(Gateway(), ChannelDescriptor, ChannelToMask(channel)));
        SendCommand(
            WriteMemoryLine(Gateway(), PanIdDescriptor, HexToByteList(ToCp1251(Ui.Edit6->text()))));
    } catch (const EIdException& e) {
        Log(e.Message);
    }
}

void TForm1::Button4Click() {
    try {
        SendCommand(ResetLine(Gateway()));
    } catch (const EIdException& e) {
        Log(e.Message);
    }
}

QLineEdit* TForm1::AnswerField(TMemoryField field) const {
    switch (field) {
    case TMemoryField::Mac:
        return Ui.Edit3;
    case TMemoryField::Address:
        return Ui.Edit4;
    case TMemoryField::Channel:
        return Ui.Edit5;
    case TMemoryField::PanId:
        return Ui.Edit6;
    case TMemoryField::Type:
        return Ui.Edit7;
    }
    return nullptr;
}

void TForm1::IdTelnet1DataAvailable(const std::string& Buffer) {
    // Status texts the reader raised before handing this chunk over (the
    // peer's close) wait as posted events; they go first, or a chunk queued
    // right behind another would overtake them in the log.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    const std::string trimmed = TrimControls(Buffer);
    Log(trimmed);
    const std::optional<TMemoryAnswer> answer = RecogniseMemoryAnswer(trimmed, Gateway());
    if (!answer) {
        // Prompts, banners and echoes are answered as a terminal user would: Enter.
        IdTelnet1->TransmitChar('\r');
        return;
    }
    // Set directly: a value from the gateway is not checked like a typed one.
    QLineEdit* field = AnswerField(answer->Field);
    TTypingLimit::ShowWindowText(field, FromCp1251(answer->Text));
    field->setEnabled(true);
    if (answer->Field == TMemoryField::Mac) Ui.Button3->setEnabled(true);
}
