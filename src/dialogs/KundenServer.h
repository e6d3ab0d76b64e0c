#pragma once

#include "model/Kunde.h"
#include "storage/GenericList.h"

// Whoever knows which customers a hit list shows: the list asks it each time
// it builds itself, so that it shows the customers that match now.
class KundenServer {
  public:
    virtual ~KundenServer() = default;

    // Appends the customers of the current search to `liste`, in file order.
    virtual void GetKunden(GenericList<Kunde>& liste) = 0;
};
