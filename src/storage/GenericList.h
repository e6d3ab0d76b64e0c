#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "storage/ByteReader.h"
#include "storage/ByteWriter.h"
#include "storage/File.h"
#include "storage/MessageException.h"
#include "storage/Oeffnungsfehler.h"
#include "storage/Zugriff.h"

// An array of records of one type, optionally mirrored in a binary file of
// fixed-size records. The file holds nothing but Count() records of
// T::DiskSize bytes each, in list order.
//
// T needs a default constructor, copy assignment, a static DiskSize, and
//   ByteWriter& operator<<(ByteWriter&, const T&)
//   ByteReader& operator>>(ByteReader&, T&)
// writing and reading the fields in declaration order.
//
// Additions are appended to the file at once. Every rewrite of the file
// (Flush, Empty, Delete, Sort) replaces it atomically, so a crash leaves the
// old or the new file and never a truncated one, and a failed rewrite leaves
// the old file as it was.
template <typename T>
class GenericList {
  public:
    static constexpr unsigned kInitialCapacity = 8;
    static constexpr float kGrowthFactor = 1.2f;

    // With a file name: loads the file and keeps it open for write-through.
    // Without: a memory-only list.
    // A file-backed list of a data set opened for reading only
    // (Zugriff::NurLesen) loads the file and never opens, creates or writes
    // it; every change raises Schreibverbot.
    explicit GenericList(const char* fileName = nullptr,
                         unsigned initialCapacity = kInitialCapacity,
                         float growthFactor = kGrowthFactor, Zugriff zugriff = Zugriff::Schreiben);
    GenericList(const char* fileName, Zugriff zugriff)
        : GenericList(fileName, kInitialCapacity, kGrowthFactor, zugriff) {}
    virtual ~GenericList();

    GenericList(const GenericList&) = delete;
    GenericList& operator=(const GenericList&) = delete;

    // Every record of the file, in order, decoded as a list loads them (into
    // one reused record, so that a partial last record keeps the values of
    // the one before it where its bytes end), without keeping them: for a
    // reader that needs each record once. `anzahl` hears the number of
    // records first. A missing file has none; one that cannot be read raises
    // the German message of the failure.
    template <typename Anzahl, typename F>
    static void JederSatz(const std::string& fileName, Anzahl&& anzahl, F&& f);

    int Add(const T& record);
    void Delete(int index);
    T& operator[](unsigned index);
    const T& operator[](unsigned index) const;
    unsigned Count() const { return count_; }
    unsigned Capacity() const { return capacity_; }
    void Empty();
    void Flush();
    // Replaces every record by `records`, in memory and in the file, in one
    // atomic step: should the file not be written, list and file stay as
    // they were (and the flush error is raised). For imports, which must
    // not leave half of the new data over none of the old.
    void Assign(const std::vector<T>& records);
    // Makes a change made in place through operator[] durable at once: the
    // record is written over its own slot and synced (or, when the file does
    // not match the list record for record, the whole file is replaced).
    void Store(unsigned index);
    // Makes room for n records in one step, for result lists whose size is
    // known before they are filled (growth by the factor would copy every
    // record several times over).
    void Reserve(unsigned n);

    bool IsFileBacked() const { return !fileName_.empty(); }
    bool IsReadOnly() const { return zugriff_ == Zugriff::NurLesen; }
    const std::string& FileName() const { return fileName_; }

    static constexpr const char* kOpenError =
        "File could not be opened in GenericList::GenericList()";
    static constexpr const char* kRangeError =
        "attempt to access an index out of range in GenericList<T>::operator[]";
    static constexpr const char* kEmptyError =
        "File could not be cleared in GenericList<T>::Empty()";
    static constexpr const char* kFlushError =
        "couldn't open file in GenericList<T>::Flush() for output";
    static constexpr const char* kAddError =
        "Der Datensatz konnte nicht in die Datei geschrieben werden (GenericList<T>::Add())";

  protected:
    // Records 0 .. Count()-1 as the file image.
    std::string Image() const;
    // Replaces the file with the image of the list; raises `error` on failure.
    void Rewrite(const char* error);
    // Replaces the file with bytes; raises `error` when that fails.
    void Replace(const std::string& bytes, const char* error);
    // Opens the file anew after a replacement, which holds `length` bytes.
    void Reopen(std::size_t length);
    void Grow();
    void Reallocate(unsigned newCapacity);
    // Raises Schreibverbot for a list opened for reading only.
    void MayWrite(const char* operation) const;

    File file_;
    std::string fileName_;
    unsigned count_ = 0;
    unsigned capacity_ = 0;
    unsigned initialCapacity_;
    float growthFactor_;
    bool writeThrough_ = false;
    // Set once the file is loaded, so that loading itself may add.
    Zugriff zugriff_ = Zugriff::Schreiben;
    std::unique_ptr<T[]> records_;
    // Length of the file as last written; an append is only written in place
    // while the file holds exactly the records before it.
    std::int64_t fileLength_ = 0;
};

template <typename T>
template <typename Anzahl, typename F>
void GenericList<T>::JederSatz(const std::string& fileName, Anzahl&& anzahl, F&& f) {
    Ergebnis<File> datei = File::OpenReadOnly(fileName);
    if (!datei) {
        if (datei.Ursache().Fehlt()) {
            return;
        }
        throw MessageException(Oeffnungsfehler(datei.Ursache()));
    }
    const Ergebnis<std::int64_t> laenge = datei->Size();
    if (laenge && *laenge > 0) {
        anzahl(static_cast<unsigned>((static_cast<std::uint64_t>(*laenge) + T::DiskSize - 1) /
                                     T::DiskSize));
    }
    T buffer;
    constexpr std::size_t kStueck = std::max<std::size_t>(256 * 1024 / T::DiskSize, 1);
    const Ergebnis<void> gelesen =
        datei->ReadPieces(kStueck * T::DiskSize, [&](std::string_view stueck) {
            for (std::size_t pos = 0; pos < stueck.size(); pos += T::DiskSize) {
                ByteReader reader(stueck.substr(pos, T::DiskSize));
                reader >> buffer;
                f(static_cast<const T&>(buffer));
            }
        });
    if (!gelesen) {
        throw MessageException(Oeffnungsfehler(gelesen.Ursache()));
    }
}

template <typename T>
GenericList<T>::GenericList(const char* fileName, unsigned initialCapacity, float growthFactor,
                            Zugriff zugriff)
    : initialCapacity_(initialCapacity), growthFactor_(growthFactor) {
    if (fileName == nullptr) {
        return;
    }
    // The name must fit the 256-byte field; a cut name would open another file.
    fileName_.assign(fileName, ::strnlen(fileName, 256));
    if (fileName_.empty() || fileName_.size() > 255) {
        throw MessageException(kOpenError);
    }
    if (zugriff == Zugriff::Schreiben) {
        File::RemoveStaleTemp(fileName_);
    }

    // Only a missing file is an empty list. A file that cannot be read is
    // not: taken for empty, it would be written over with nothing at the end.
    writeThrough_ = false;
    // The records straight from pieces of the file, into slots made once: no
    // copy of the whole file, no record copied on growth.
    JederSatz(
        fileName_, [this](unsigned anzahl) { Reserve(anzahl); },
        [this](const T& satz) { Add(satz); });

    if (zugriff == Zugriff::NurLesen) {
        // A missing file is an empty list, and stays missing.
        zugriff_ = zugriff;
        return;
    }
    Ergebnis<File> file = File::OpenReadWrite(fileName_);
    if (!file) {
        throw MessageException(Oeffnungsfehler(file.Ursache()));
    }
    file_ = std::move(*file);
    const Ergebnis<std::int64_t> size = file_.Size();
    fileLength_ = size ? *size : -1;
    writeThrough_ = true;
}

template <typename T>
void GenericList<T>::MayWrite(const char* operation) const {
    if (IsFileBacked()) {
        Schreibverbot::Pruefen(zugriff_, fileName_, operation);
    }
}

template <typename T>
GenericList<T>::~GenericList() {
    if (IsReadOnly()) {
        return;
    }
    try {
        Flush();
    } catch (const MessageException&) {
        // The file keeps its last good contents; there is no one left to tell.
    }
}

template <typename T>
void GenericList<T>::Grow() {
    unsigned newCapacity =
        capacity_ == 0 ? initialCapacity_
                       : static_cast<unsigned>(static_cast<float>(capacity_) * growthFactor_);
    if (newCapacity <= capacity_) {
        newCapacity = capacity_ + 1;
    }
    Reallocate(newCapacity);
}

template <typename T>
void GenericList<T>::Reserve(unsigned n) {
    if (n > capacity_) {
        Reallocate(n);
    }
}

template <typename T>
void GenericList<T>::Reallocate(unsigned newCapacity) {
    auto grown = std::make_unique<T[]>(newCapacity);
    for (unsigned i = 0; i < count_; ++i) {
        grown[i] = std::move(records_[i]);
    }
    records_ = std::move(grown);
    capacity_ = newCapacity;
}

template <typename T>
int GenericList<T>::Add(const T& record) {
    MayWrite("Add");
    if (count_ + 1 > capacity_) {
        Grow();
    }
    records_[count_] = record;
    ++count_;
    if (IsFileBacked() && writeThrough_) {
        const std::int64_t offset = static_cast<std::int64_t>(count_ - 1) * T::DiskSize;
        if (file_.IsOpen() && fileLength_ == offset) {
            std::string bytes;
            ByteWriter writer(bytes);
            writer << record;
            // On the disk before the call returns: a confirmed record, and
            // perhaps the record that others will point to.
            Ergebnis<void> written = file_.WriteAt(offset, bytes);
            if (written) {
                written = file_.DataSync();
            }
            if (!written) {
                // Take back whatever reached the file, so that it still
                // matches the list, and do not pretend the record was stored.
                (void)file_.Truncate(offset);
                --count_;
                throw MessageException(kAddError, written.Ursache());
            }
            fileLength_ = offset + static_cast<std::int64_t>(bytes.size());
        } else {
            // The file ends in a partial record (or lost its descriptor):
            // rewrite it whole, so that record positions and list indices
            // agree again.
            try {
                Rewrite(kAddError);
            } catch (...) {
                --count_;
                throw;
            }
        }
    }
    return static_cast<int>(count_ - 1);
}

template <typename T>
void GenericList<T>::Delete(int index) {
    MayWrite("Delete");
    T last = (*this)[count_ - 1];
    T& slot = (*this)[static_cast<unsigned>(index)];
    T removed = slot;
    slot = last;
    --count_;
    if (IsFileBacked() && writeThrough_) {
        // A patch of the slot followed by a truncation would leave a second
        // copy of the moved record if the program died in between; a whole
        // replacement cannot.
        try {
            Rewrite(kFlushError);
        } catch (...) {
            ++count_;
            records_[count_ - 1] = last;
            records_[static_cast<unsigned>(index)] = removed;
            throw;
        }
    }
}

template <typename T>
T& GenericList<T>::operator[](unsigned index) {
    if (index >= count_) {
        throw MessageException(kRangeError);
    }
    return records_[index];
}

template <typename T>
const T& GenericList<T>::operator[](unsigned index) const {
    if (index >= count_) {
        throw MessageException(kRangeError);
    }
    return records_[index];
}

template <typename T>
void GenericList<T>::Empty() {
    MayWrite("Empty");
    if (IsFileBacked()) {
        Replace({}, kEmptyError);
    }
    records_.reset();
    capacity_ = 0;
    count_ = 0;
}

template <typename T>
void GenericList<T>::Flush() {
    MayWrite("Flush");
    if (IsFileBacked()) {
        // A file that already holds the list keeps its modification time.
        const std::string image = Image();
        const Ergebnis<bool> replaced = File::ReplaceIfChanged(fileName_, image);
        if (!replaced) {
            throw MessageException(kFlushError, replaced.Ursache());
        }
        // The old descriptor names a replaced file; follow the name.
        if (*replaced || !file_.IsOpen()) {
            Reopen(image.size());
        }
    }
}

template <typename T>
void GenericList<T>::Assign(const std::vector<T>& records) {
    MayWrite("Assign");
    if (IsFileBacked()) {
        std::string bytes;
        bytes.reserve(records.size() * T::DiskSize);
        ByteWriter writer(bytes);
        for (const T& record : records) {
            writer << record;
        }
        Replace(bytes, kFlushError);
    }
    records_.reset();
    capacity_ = 0;
    count_ = 0;
    const bool writeThrough = writeThrough_;
    writeThrough_ = false;
    for (const T& record : records) {
        Add(record);
    }
    writeThrough_ = writeThrough;
}

template <typename T>
void GenericList<T>::Store(unsigned index) {
    MayWrite("Store");
    const T& record = (*this)[index];
    if (!IsFileBacked() || !writeThrough_) {
        return;
    }
    const std::int64_t aligned = static_cast<std::int64_t>(count_) * T::DiskSize;
    if (!file_.IsOpen() || fileLength_ != aligned) {
        Rewrite(kFlushError);
        return;
    }
    std::string bytes;
    ByteWriter writer(bytes);
    writer << record;
    // A confirmed change must survive a power cut too, hence the sync. A
    // failed overwrite may have left part of the record; a whole replacement
    // leaves either the old or the new file.
    if (!file_.WriteAt(static_cast<std::int64_t>(index) * T::DiskSize, bytes) ||
        !file_.DataSync()) {
        Rewrite(kFlushError);
    }
}

template <typename T>
std::string GenericList<T>::Image() const {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(count_) * T::DiskSize);
    ByteWriter writer(bytes);
    for (unsigned i = 0; i < count_; ++i) {
        writer << records_[i];
    }
    return bytes;
}

template <typename T>
void GenericList<T>::Rewrite(const char* error) {
    Replace(Image(), error);
}

template <typename T>
void GenericList<T>::Replace(const std::string& bytes, const char* error) {
    if (const Ergebnis<void> replaced = File::ReplaceAtomically(fileName_, bytes); !replaced) {
        throw MessageException(error, replaced.Ursache());
    }
    // The old descriptor names the replaced file; follow the name.
    Reopen(bytes.size());
}

template <typename T>
void GenericList<T>::Reopen(std::size_t length) {
    // Should the open fail, the data is safely on disk all the same, and the
    // next write replaces the file again instead of appending.
    file_ = File::OpenReadWrite(fileName_).WertOder(File());
    fileLength_ = file_.IsOpen() ? static_cast<std::int64_t>(length) : -1;
}
