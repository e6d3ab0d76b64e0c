#pragma once

#include <string>

// A shared library that the program loads only when a command first calls
// into it. Loading libxml2, libxlsxwriter, libarchive and their own
// dependencies costs a command-line call several times what reading a
// customer file costs, so the program is not linked against them: a small
// source file beside each user defines the library's functions with the
// signatures of the library's own header and forwards every call to the
// function found here.
class Bibliothek {
  public:
    // Loads the library by its soname. A library that is missing or cannot be
    // loaded raises a MessageException that names it.
    explicit Bibliothek(const char* soname);

    // The library stays loaded until the program ends: the forwarded
    // functions may be called as long as it runs.
    Bibliothek(const Bibliothek&) = delete;
    Bibliothek& operator=(const Bibliothek&) = delete;

    // The function `name` of the library, with the type its header declares.
    // A library without it raises a MessageException.
    template <typename Funktion>
    Funktion* Symbol(const char* name) const {
        return reinterpret_cast<Funktion*>(Adresse(name));
    }

  private:
    void* Adresse(const char* name) const;

    std::string soname_;
    void* handle_ = nullptr;
};

// One member of a forwarding table: the pointer to the library function
// `name`, typed by the library's declaration of `name`. The table holds a
// Bibliothek named `bibliothek` declared before its functions, so that all
// of them are looked up together, when the first of them is called.
#define REBKONTOR_FUNKTION(name) \
    decltype(&::name) const name = bibliothek.Symbol<decltype(::name)>(#name)
