// The tool's side of the gateway's command language over a Telnet client:
// command lines typed as a person types them, each logged before it goes,
// and received chunks taken as answers or acknowledged with Enter. The
// window model and the headless session both talk to the gateway through it.
// Texts are Windows-1251 byte strings, as on the wire.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "net/telnet/IdTelnetInterface.h"
#include "protocol/MemoryAnswer.h"
#include "protocol/MemoryFields.h"

// The data of a write line for `text` as the field shows it: device address
// and PAN ID as byte lists of the field's bytes, the channel ("0x" + text,
// which raises EConvertError for a text that is no number) as its mask.
std::string WriteData(TMemoryField field, const std::string& text);

class TGatewayDialogue {
public:
    using TLog = std::function<void(const std::string& entry)>;

    // `log` receives every line typed and every chunk taken, one entry each.
    TGatewayDialogue(TIdTelnetInterface& client, TLog log);

    // Logs `line`, then hands each character and a carriage return to the
    // client, one call each. The client's exceptions pass through.
    void TypeLine(const std::string& line);
    // The five read lines, in table order, without waiting for answers.
    void ReadAll(const std::string& gateway);
    void Write(const std::string& gateway, TMemoryField field, const std::string& text);
    void Reset(const std::string& gateway);

    // One received chunk: trimmed and logged; the answer it carries, or
    // nothing after one carriage return has gone back. Also fed whole lines
    // by a caller that reassembles them.
    std::optional<TMemoryAnswer> TakeChunk(const std::string& gateway, const std::string& chunk);

private:
    TIdTelnetInterface& Client;
    TLog Log;
};
