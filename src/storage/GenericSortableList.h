#pragma once

#include <cstdint>

#include "storage/GenericList.h"

// A record list that sorts itself by the record's leading number field,
// returned by T::Key() as a signed 32-bit value.
template <typename T>
class GenericSortableList : public GenericList<T> {
  public:
    explicit GenericSortableList(const char* fileName = nullptr,
                                 unsigned initialCapacity = GenericList<T>::kInitialCapacity,
                                 float growthFactor = GenericList<T>::kGrowthFactor)
        : GenericList<T>(fileName, initialCapacity, growthFactor) {}
    GenericSortableList(const char* fileName, Zugriff zugriff)
        : GenericList<T>(fileName, zugriff) {}

    // 0 ascending, 1 descending; any other value leaves Sort without effect.
    void SetSortOrder(int order) { sortOrder_ = order; }
    int SortOrder() const { return sortOrder_; }

    // A stable bubble sort: records with equal keys keep their order. Then the
    // file is rewritten in the new order.
    void Sort();

  private:
    bool OutOfOrder(std::int32_t earlier, std::int32_t later) const {
        return (sortOrder_ == 0 && later < earlier) || (sortOrder_ == 1 && later > earlier);
    }

    int sortOrder_ = 0;
};

template <typename T>
void GenericSortableList<T>::Sort() {
    // Sorting a list of the file rewrites the file.
    this->MayWrite("Sort");
    auto& self = *this;
    bool exchanged = true;
    while (exchanged && (sortOrder_ == 0 || sortOrder_ == 1)) {
        exchanged = false;
        for (unsigned j = this->count_ > 0 ? this->count_ - 1 : 0; j >= 1; --j) {
            if (OutOfOrder(self[j - 1].Key(), self[j].Key())) {
                T temp = self[j];
                self[j] = self[j - 1];
                self[j - 1] = temp;
                exchanged = true;
            }
        }
    }
    if (this->writeThrough_) {
        this->Flush();
    }
}
