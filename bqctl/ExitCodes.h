// bqctl's exit statuses, also the status of each row of a fleet run.
#pragma once

enum TExitCode {
    ExitDone = 0,    // done; for write and restore: the read-back matched
    ExitDevice = 1,  // the device answered wrongly or not at all, a read-back or verify differed
    ExitUsage = 2,   // usage or input error; nothing was sent
    ExitNetwork = 3, // network error, naming the endpoint and the cause
    ExitOutput = 4,  // the result could not be written (output, backup or transcript file);
                     // an older backup file is left as it was
};
