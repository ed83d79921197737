// Typing command lines, their write encodings, and taking received chunks.
#include "dialogue/GatewayDialogue.h"

#include <algorithm>

#include "protocol/CommandLines.h"
#include "protocol/FieldEncodings.h"
#include "runtime/IntConversion.h"

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

std::string WriteData(TMemoryField field, const std::string& text) {
    if (field == TMemoryField::Channel) return ChannelToMask(StrToInt("0x" + text));
    // A shorter number fills the field's bytes: a PAN ID of FF is FF 00, not
    // a one-byte write that the device refuses. Other texts go as they stand.
    const size_t digits = FieldRow(field).DataBytes * 2;
    if (!text.empty() && text.size() < digits && std::all_of(text.begin(), text.end(), IsHexDigit))
        return HexToByteList(std::string(digits - text.size(), '0') + text);
    return HexToByteList(text);
}

TGatewayDialogue::TGatewayDialogue(TIdTelnetInterface& client, TLog log)
    : Client(client), Log(std::move(log)) {}

void TGatewayDialogue::TypeLine(const std::string& line) {
    // Logged first, so the operator sees the line even when typing it fails.
    Log(line);
    // Typed as a person would: every character is a network write of its own.
    for (const char ch : line)
        Client.TransmitChar(ch);
    Client.TransmitChar('\r');
}

void TGatewayDialogue::ReadAll(const std::string& gateway) {
    for (const TMemoryField field : AllMemoryFields)
        TypeLine(ReadMemoryLine(gateway, Descriptor(field)));
}

void TGatewayDialogue::Write(const std::string& gateway, TMemoryField field,
                             const std::string& text) {
    TypeLine(WriteMemoryLine(gateway, Descriptor(field), WriteData(field, text)));
}

void TGatewayDialogue::Reset(const std::string& gateway) {
    TypeLine(ResetLine(gateway));
}

std::optional<TMemoryAnswer> TGatewayDialogue::TakeChunk(const std::string& gateway,
                                                         const std::string& chunk) {
    const std::string trimmed = TrimControls(chunk);
    Log(trimmed);
    std::optional<TMemoryAnswer> answer = RecogniseMemoryAnswer(trimmed, gateway);
    // Prompts, banners and echoes are answered as a terminal user would: Enter.
    if (!answer) Client.TransmitChar('\r');
    return answer;
}
