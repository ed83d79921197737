// Copying proxy settings between clients.
#include "net/tcp/IdSocksInfo.h"

#include <typeinfo>

#include "runtime/Exception.h"

void TSocksInfo::Assign(const TObject& source) {
    const auto* other = dynamic_cast<const TSocksInfo*>(&source);
    if (other == nullptr)
        throw EConvertError(std::string("Cannot assign a ") + typeid(source).name() +
                            " to a TSocksInfo.");
    if (other == this) return;
    Authentication = other->Authentication;
    Host = other->Host;
    Password = other->Password;
    Port = other->Port;
    UserID = other->UserID;
    Version = other->Version;
}
