// The constant table of the five device memory fields the tool reads.
#include "protocol/FieldDescriptors.h"

TFieldDescriptors DefaultFieldDescriptors() {
    return TFieldDescriptors{
        .Mac = "01 00 08 00",
        .Address = "01 04 01 00",
        .Channel = "84 00 04 00",
        .PanId = "83 00 02 00",
        .Type = "87 00 01 00",
    };
}
