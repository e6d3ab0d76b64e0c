#include "Journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <utility>

namespace {

void AllesSchreiben(int fd, const std::string& text) {
    std::size_t fertig = 0;
    while (fertig < text.size()) {
        const ssize_t n = ::write(fd, text.data() + fertig, text.size() - fertig);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            std::perror("journal");
            std::exit(3);
        }
        fertig += static_cast<std::size_t>(n);
    }
}

}  // namespace

Journal::Journal(std::string pfad) : pfad_(std::move(pfad)) {
    fd_ = ::open(pfad_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        std::perror(pfad_.c_str());
        std::exit(3);
    }
}

Journal::~Journal() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void Journal::Anhaengen(const std::string& zeile) {
    AllesSchreiben(fd_, zeile + "\n");
    if (::fsync(fd_) != 0) {
        std::perror("journal fsync");
        std::exit(3);
    }
}

std::vector<std::string> Journal::Lesen(const std::string& pfad) {
    std::ifstream in(pfad, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> zeilen;
    std::size_t start = 0;
    for (std::size_t ende = text.find('\n'); ende != std::string::npos;
         ende = text.find('\n', start)) {
        zeilen.push_back(text.substr(start, ende - start));
        start = ende + 1;
    }
    return zeilen;
}

void Journal::Ersetzen(const std::string& pfad, const std::vector<std::string>& zeilen) {
    const std::string neu = pfad + ".neu";
    const int fd = ::open(neu.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        std::perror(neu.c_str());
        std::exit(3);
    }
    std::string text;
    for (const std::string& zeile : zeilen) {
        text += zeile + "\n";
    }
    AllesSchreiben(fd, text);
    if (::fsync(fd) != 0 || ::close(fd) != 0 || ::rename(neu.c_str(), pfad.c_str()) != 0) {
        std::perror("journal ersetzen");
        std::exit(3);
    }
}
