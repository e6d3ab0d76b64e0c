#pragma once

#include "storage/GenericList.h"

class Rechnung;

// What the invoice list shows is found by whoever opens it: the filter
// dialog by date, the search by number or amount, the customer dialog by
// customer. The list hands its (emptied) result list over and shows what
// comes back, in that order.
class RechnungsServer {
  public:
    virtual ~RechnungsServer() = default;

    // Appends the invoices to show; `nurOffene` asks for unpaid ones only,
    // which a server may ignore (the search by number or amount does).
    virtual void RechnungenLiefern(GenericList<Rechnung>& liste, bool nurOffene) = 0;
};
