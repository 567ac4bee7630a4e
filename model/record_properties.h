// A time record as the records database holds it: its seven properties, and the key a record
// added now starts from. The program and the store tool's import write records through these,
// so that an imported record is stored as one typed in.
#pragma once

#include "model/record_list.h"
#include "platform/windbase.h"

// The key of a record added now: day, hour, minute and second written one after the other
// ("9", "7", "5", "3" give 9753). Such keys repeat; the writer takes the next free number.
DWORD KeyFromLocalTime();
// The seven properties of `node` under `key`, in their stored order; the texts are the node's
// own. A node without a memo is written with the blank one.
void BuildRecordProperties(const RecordNode* node, DWORD key, CEPROPVAL (&props)[7]);
