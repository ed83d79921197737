// The commands' bodies over a connected session, used by RunCommand.
#pragma once

#include "bqctl/BackupFile.h"
#include "bqctl/Commands.h"
#include "session/GatewaySession.h"

TOutcome RunInfo(TGatewaySession& session);
TOutcome RunBackup(TGatewaySession& session);
TOutcome RunWrite(TGatewaySession& session, const TCommand& command);
TOutcome RunRestore(TGatewaySession& session, const TBackup& backup, const TCommand& command);
// Compares the device with a backup (`name` in messages); ExitDevice on any difference.
TOutcome RunVerify(TGatewaySession& session, const TBackup& backup, const std::string& name);
