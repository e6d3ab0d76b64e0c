#include "model/Wein.h"

#include "storage/Datum.h"
#include "storage/Zeit.h"

Wein::Wein()
    : datum(static_cast<std::int32_t>(Datum::Heute().Julian())), zeit(Zeit::Jetzt().Seconds()) {}
